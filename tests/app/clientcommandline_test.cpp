#include "clientcommandline.h"

#include <QTextStream>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// --version and --help answer without a window; everything else, Qt's own
// single-dash options included, starts the client.
TEST(ClientCommandLine, AnswersVersionAndHelpAndLeavesTheRestToTheWindow)
{
    struct Case
    {
        QStringList Arguments;
        bool Answered;
        QString OutputStart;
    };
    const QString version = u"tressalin 01.006\n"_s;
    const QString help = u"Uso: tressalin [opções]\n"_s;
    const QList<Case> cases = {
        {{}, false, {}},
        {{u"--version"_s}, true, version},
        {{u"-v"_s}, true, version},
        {{u"--help"_s}, true, help},
        {{u"-platform"_s, u"offscreen"_s, u"--version"_s}, true, version},
        // Read as compacted short options these would carry a "v" or an "h".
        {{u"-reverse"_s}, false, {}},
        {{u"-stylesheet"_s, u"a.qss"_s}, false, {}},
        {{u"--qwindowgeometry"_s, u"800x600"_s}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Arguments.join(QLatin1Char(' ')).toStdString());
        QString output;
        QTextStream out(&output);
        const std::optional<int> status =
            AnswerClientCommandLine(QStringList{u"tressalin"_s} + c.Arguments, out);
        EXPECT_EQ(status.has_value(), c.Answered);
        if (c.Answered) {
            EXPECT_EQ(*status, 0);
            EXPECT_TRUE(output.startsWith(c.OutputStart)) << output.toStdString();
        } else {
            EXPECT_TRUE(output.isEmpty()) << output.toStdString();
        }
    }
}
