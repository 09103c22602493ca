#include "clientcommandline.h"

#include <QTextStream>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// --version and --help answer without a window; everything else, Qt's own
// single-dash options included, starts the client.
TEST(ClientCommandLine, AnswersVersionAndHelpAndLeavesTheRestToTheWindow)
{
    const QString version = u"tressalin 01.006 (1.6.0)\n"_s;
    // The arguments and how the answer starts (empty: no answer, the window starts).
    const QList<std::pair<QStringList, QString>> cases = {
        {{}, {}},
        {{u"--version"_s}, version},
        {{u"-v"_s}, version},
        {{u"--help"_s}, u"Uso: tressalin [opções]\n"_s},
        {{u"-platform"_s, u"offscreen"_s, u"--version"_s}, version},
        // Read as compacted short options these would carry a "v" or an "h".
        {{u"-reverse"_s}, {}},
        {{u"-stylesheet"_s, u"a.qss"_s}, {}},
        {{u"--qwindowgeometry"_s, u"800x600"_s}, {}},
    };
    for (const auto& [arguments, start] : cases) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        QString output;
        QTextStream out(&output);
        const std::optional<int> status =
            AnswerClientCommandLine(QStringList{u"tressalin"_s} + arguments, out);
        EXPECT_EQ(status, start.isEmpty() ? std::nullopt : std::optional<int>(0));
        EXPECT_EQ(output.isEmpty(), start.isEmpty());
        EXPECT_TRUE(output.startsWith(start)) << output.toStdString();
    }
}
