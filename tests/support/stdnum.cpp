#include "stdnum.h"

#include <QProcess>
#include <gtest/gtest.h>

QStringList StdnumCheckDigits(const QStringList& prefixes)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import sys\nfrom stdnum import ean\n"
                                                       "for p in sys.stdin.read().split():\n"
                                                       "    print(ean.calc_check_digit(p))\n")});
    python.write(prefixes.join(QLatin1Char('\n')).toLatin1());
    python.closeWriteChannel();
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        ADD_FAILURE() << "python3 with stdnum: " << python.readAllStandardError().toStdString();
        return {};
    }
    const QStringList digits = QString::fromLatin1(python.readAllStandardOutput())
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(digits.size(), prefixes.size());
    return digits.size() == prefixes.size() ? digits : QStringList();
}
