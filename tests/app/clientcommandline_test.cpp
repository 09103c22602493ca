#include "clientcommandline.h"

#include <QTextStream>
#include <gtest/gtest.h>

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
    const QString version = QStringLiteral("tressalin 01.006\n");
    const QString help = QStringLiteral("Uso: tressalin [opções]\n");
    const QList<Case> cases = {
        {{}, false, {}},
        {{QStringLiteral("--version")}, true, version},
        {{QStringLiteral("-v")}, true, version},
        {{QStringLiteral("--help")}, true, help},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")},
         true,
         version},
        // Read as compacted short options these would carry a "v" or an "h".
        {{QStringLiteral("-reverse")}, false, {}},
        {{QStringLiteral("-stylesheet"), QStringLiteral("a.qss")}, false, {}},
        {{QStringLiteral("--qwindowgeometry"), QStringLiteral("800x600")}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Arguments.join(QLatin1Char(' ')).toStdString());
        QString output;
        QTextStream out(&output);
        const std::optional<int> status =
            AnswerClientCommandLine(QStringList{QStringLiteral("tressalin")} + c.Arguments, out);
        EXPECT_EQ(status.has_value(), c.Answered);
        if (c.Answered) {
            EXPECT_EQ(*status, 0);
            EXPECT_TRUE(output.startsWith(c.OutputStart)) << output.toStdString();
        } else {
            EXPECT_TRUE(output.isEmpty()) << output.toStdString();
        }
    }
}
