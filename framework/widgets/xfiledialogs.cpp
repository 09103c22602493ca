#include "xfiledialogs.h"

#include "xmessages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

TXFileDialogHandler& Handler()
{
    static TXFileDialogHandler handler;
    return handler;
}

QString& LastFolder()
{
    static QString folder;
    return folder;
}

// The folder of the last file chosen in this run, or the user's documents the first time.
QString StartFolder(const TXFileDialogRequest& request)
{
    if (!request.Folder.isEmpty())
        return request.Folder;
    if (!LastFolder().isEmpty() && QFileInfo(LastFolder()).isDir())
        return LastFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString WithDefaultExt(const QString& path, const QString& defaultExt)
{
    QString ext = defaultExt;
    ext.remove(QLatin1Char('*'));
    if (path.isEmpty() || ext.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    if (!ext.startsWith(QLatin1Char('.')))
        ext.prepend(QLatin1Char('.'));
    return path + ext;
}

} // namespace

QString QtFileFilter(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString& text = parts.at(i);
        filters << (text.contains(patterns)
                        ? text
                        : text + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QString ExecFileDialog(QWidget* parent, TXFileDialogRequest request)
{
    request.Folder = StartFolder(request);
    QString chosen;
    if (Handler()) {
        chosen = Handler()(request);
    } else {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // The screens check existence themselves and say so in their own words.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDirectory(request.Folder);
        dialog.setNameFilter(QtFileFilter(request.Filter));
        if (!request.FileName.isEmpty())
            dialog.selectFile(request.FileName);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen.isEmpty())
        LastFolder() = QFileInfo(chosen).absolutePath();
    return WithDefaultExt(chosen, request.DefaultExt);
}

QString ChooseExistingFile(QWidget* parent, const QString& filter, const QString& defaultExt)
{
    TXFileDialogRequest request;
    request.Filter = filter;
    request.DefaultExt = defaultExt;
    const QString file = ExecFileDialog(parent, request);
    if (file.isEmpty())
        return {};
    if (!QFileInfo::exists(file)) {
        ShowErrorMessage(QStringLiteral(" Arquivo não Encontrado. "));
        return {};
    }
    return file;
}

QString ChooseNewFile(QWidget* parent, TXFileDialogRequest request)
{
    request.Save = true;
    const QString file = ExecFileDialog(parent, request);
    if (!file.isEmpty() && QFileInfo::exists(file)) {
        ShowErrorMessage(QStringLiteral("O arquivo ") + file + QStringLiteral(" já existe."));
        return {};
    }
    return file;
}

void SetFileDialogHandler(TXFileDialogHandler handler)
{
    Handler() = std::move(handler);
}
