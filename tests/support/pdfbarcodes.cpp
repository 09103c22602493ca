#include "pdfbarcodes.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

} // namespace

QStringList PdfBarcodes(const QString& pdf)
{
    QTemporaryDir dir;
    if (!Run(QStringLiteral("pdftoppm"),
             {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
              QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("page"))}))
        return {};
    QStringList codes;
    for (const QString& page : QDir(dir.path()).entryList({QStringLiteral("*.png")})) {
        QByteArray output;
        // zbarimg exits with 4 when a page has no symbol: the list then lacks its codes.
        if (!Run(QStringLiteral("zbarimg"), {QStringLiteral("-q"), dir.filePath(page)}, &output))
            return {};
        codes += QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    }
    codes.sort();
    return codes;
}
