#include "clientcommandline.h"

#include "tappconfig.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

const QString kClientHelp =
    QStringLiteral("Uso: tressalin [opções]\n"
                   "\n"
                   "Cliente da estação Tressalin: registro de plantio e coleta de amostras.\n"
                   "Sem opções, abre a janela principal.\n"
                   "\n"
                   "Opções:\n"
                   "  -h, --help      mostra esta ajuda\n"
                   "  -v, --version   mostra a versão do programa\n");

} // namespace

QString ClientVersionText()
{
    return QStringLiteral("tressalin %1 (%2)")
        .arg(kProgramVersion, QStringLiteral(TRESSALIN_PACKAGE_VERSION));
}

std::optional<int> AnswerClientCommandLine(const QStringList& arguments, QTextStream& out)
{
    QCommandLineParser parser;
    // Qt's own options are single-dash words (-platform, -reverse); read as
    // compacted short options they would spell -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    // Unknown options are not an error here: the application object reads them.
    parser.parse(arguments);
    if (parser.isSet(help)) {
        out << kClientHelp;
        out.flush();
        return 0;
    }
    if (parser.isSet(version)) {
        out << ClientVersionText() << '\n';
        out.flush();
        return 0;
    }
    return std::nullopt;
}

std::optional<int> AnswerClientCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QTextStream out(stdout);
    return AnswerClientCommandLine(arguments, out);
}
