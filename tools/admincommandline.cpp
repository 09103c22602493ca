#include "admincommandline.h"

#include "clientconnection.h"
#include "csvimport.h"
#include "data/txtransaction.h"
#include "demodata.h"
#include "labelcommand.h"
#include "platemapcommand.h"
#include "servercommands.h"
#include "stationbuilder.h"
#include "stationrules.h"
#include "stationschema.h"
#include "stationverify.h"
#include "transmission.h"

#include "data/txconnection.h"
#include "xexception.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <functional>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const QString kProgram = QStringLiteral("tressalin-admin");

const QString kGeneralHelp = QStringLiteral(
    "Uso: tressalin-admin COMANDO [argumentos] [opções]\n"
    "\n"
    "Ferramenta de administração dos bancos de dados das estações Tressalin.\n"
    "\n"
    "Comandos:\n"
    "  create ARQUIVO --operacao plantio|coleta [--faixa INI FIM] [--ncc TIPO]\n"
    "         [--nc-plantio TIPO] [--lote DESCRICAO]\n"
    "                          cria um banco de dados de estação vazio\n"
    "  demo ARQUIVO --operacao plantio|coleta [--ncc TIPO] [--nc-plantio TIPO]\n"
    "                          cria um banco de dados com dados de demonstração\n"
    "  usuario add ARQUIVO CODIGO NOME [SENHA]\n"
    "                          cadastra um usuário\n"
    "  usuario check ARQUIVO CODIGO [SENHA]\n"
    "                          confere código e senha como o login da estação\n"
    "  import ARQUIVO TABELA CSV\n"
    "                          importa um arquivo CSV em uma tabela\n"
    "  verify ARQUIVO          faz a verificação do banco de dados que a estação faz\n"
    "  conexao set PROGRAMA ARQUIVO [--forcar]\n"
    "                          grava o arquivo de conexão do programa da estação\n"
    "  conexao show PROGRAMA   mostra o banco de dados do arquivo de conexão\n"
    "  transmitir ARQUIVO [--origem NOME]\n"
    "                          entrega como CSV o que falta transmitir e o marca\n"
    "                          como transmitido\n"
    "  placa mapa ARQUIVO (--placa CODIGO ... | --coletadas) --formato FORMATO\n"
    "         --saida ARQUIVO  exporta mapas de placas (xlsx, csv, pdf, brapi)\n"
    "  etiquetas (ARQUIVO | --servidor URL) (--plantas | --plantios | --placas)\n"
    "         --saida SAIDA.pdf|SAIDA.zpl\n"
    "         [--folha MODELO] imprime etiquetas com código de barras (PDF ou ZPL)\n"
    "\n"
    "Servidor central (PostgreSQL):\n"
    "%1"
    "\n"
    "Use \"tressalin-admin COMANDO --help\" para os detalhes de um comando.\n");

/** A command: its help text, its options and what it runs once parsed. */
struct Command
{
    QString Name;
    QString Help;
    QList<QCommandLineOption> Options;
    int Positionals = 0;
    int OptionalPositionals = 0; // the last ones, which may be left out
    std::function<int(const QCommandLineParser&, const QStringList&)> Run;
};

class UsageError : public XException
{
public:
    using XException::XException;
};

QCommandLineOption HelpOption()
{
    return QCommandLineOption(
        {QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("ajuda")},
        QStringLiteral("Mostra esta ajuda."));
}

QCommandLineOption Option(const char* name, const char* valueName)
{
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
}

StationOperation ParseOperation(const QCommandLineParser& parser)
{
    if (!parser.isSet(QStringLiteral("operacao")))
        throw UsageError(QStringLiteral("Informe a operação com --operacao plantio|coleta."));
    const QString value = parser.value(QStringLiteral("operacao")).trimmed().toLower();
    if (value == QLatin1String("plantio"))
        return StationOperation::Plantio;
    if (value == QLatin1String("coleta"))
        return StationOperation::Coleta;
    throw UsageError(QStringLiteral("Operação inválida: \"%1\". Use plantio ou coleta.")
                         .arg(parser.value(QStringLiteral("operacao"))));
}

BarcodeType ParseBarcodeOption(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.isSet(name))
        return BarcodeType::Ean13;
    BarcodeType type;
    if (!ParseBarcodeType(parser.value(name), &type)) {
        throw UsageError(
            QStringLiteral("Tipo de código inválido em --%1: \"%2\". Use EAN-8 ou EAN-13.")
                .arg(name, parser.value(name)));
    }
    return type;
}

// A limit is written as a planting code: full (check digit verified) or without its check digit.
double ParseRangeLimit(const QString& text, BarcodeType type)
{
    const QString trimmed = text.trimmed();
    if (trimmed == QLatin1String("0"))
        return 0; // no limit on that side
    qint64 number = 0;
    QString error;
    if (!ParseCodeText(trimmed, type, &number, &error))
        throw XException(QStringLiteral("Limite de faixa inválido em --faixa: %1").arg(error));
    return double(number);
}

// QCommandLineParser takes one value per option; "--faixa INI FIM" takes two.
bool TakeRange(QStringList& arguments, QStringList* range)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--faixa"));
    if (at < 0)
        return false;
    if (at + 2 >= arguments.size())
        throw UsageError(QStringLiteral("--faixa precisa de dois valores: INI FIM."));
    *range = arguments.mid(at + 1, 2);
    arguments.remove(at, 3);
    if (arguments.contains(QStringLiteral("--faixa")))
        throw UsageError(QStringLiteral("--faixa informada mais de uma vez."));
    return true;
}

/** Restores the terminal's echo when the password has been read. */
class EchoOff
{
public:
    EchoOff() : m_active(::tcgetattr(STDIN_FILENO, &m_saved) == 0)
    {
        if (!m_active)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff()
    {
        if (m_active)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios m_saved{};
    bool m_active;
};

QString PasswordLengthText()
{
    return QStringLiteral("senhas de até %1 caracteres sempre cabem; de %2 a %3, só algumas;"
                          " mais longas, nunca")
        .arg(kSafePasswordLength)
        .arg(kSafePasswordLength + 1)
        .arg(kMaxPasswordLength);
}

// A password on the command line stays in the shell history and the process list.
QString ReadPassword()
{
    std::string line;
    if (::isatty(STDIN_FILENO)) {
        Err() << QStringLiteral("Senha (%1): ").arg(PasswordLengthText());
        Err().flush();
        EchoOff echoOff;
        std::getline(std::cin, line);
        Err() << '\n';
        Err().flush();
    } else {
        std::getline(std::cin, line);
    }
    QString password = QString::fromStdString(line);
    if (password.endsWith(QLatin1Char('\r')))
        password.chop(1);
    return password;
}

QString PasswordArgument(const QStringList& args, qsizetype at)
{
    return at < args.size() ? args[at] : ReadPassword();
}

QString OperationText(StationOperation operation)
{
    return operation == StationOperation::Coleta ? QStringLiteral("coleta")
                                                 : QStringLiteral("plantio");
}

int RunCreate(const QCommandLineParser& parser, const QStringList& args, const QStringList& range)
{
    StationOptions options;
    options.Operation = ParseOperation(parser);
    options.CbNcc = ParseBarcodeOption(parser, QStringLiteral("ncc"));
    options.CbNcPlantio = ParseBarcodeOption(parser, QStringLiteral("nc-plantio"));
    if (!range.isEmpty()) {
        options.RelaInicial = ParseRangeLimit(range[0], options.CbNcPlantio);
        options.RelaFinal = ParseRangeLimit(range[1], options.CbNcPlantio);
    }
    options.DescricaoLote = parser.value(QStringLiteral("lote"));
    options.AlertSound = NewStationAlertSound();
    CreateStation(args[0], options);
    Out() << QStringLiteral("Banco de dados criado: %1 (estação de %2).\n")
                 .arg(args[0], OperationText(options.Operation));
    return 0;
}

int RunDemo(const QCommandLineParser& parser, const QStringList& args)
{
    const StationOptions options = DemoStationOptions(
        ParseOperation(parser), ParseBarcodeOption(parser, QStringLiteral("ncc")),
        ParseBarcodeOption(parser, QStringLiteral("nc-plantio")));
    CreateDemoStation(args[0], options);
    Out() << QStringLiteral("Banco de dados de demonstração criado: %1 (estação de %2).\n")
                 .arg(args[0], OperationText(options.Operation));
    Out() << QStringLiteral("Códigos para leitura: %1\n").arg(DemoCodesPath(args[0]));
    for (const DemoUser& user : DemoUsers())
        Out() << QStringLiteral("Usuário %1, senha %2\n").arg(user.Codigo, user.Senha);
    return 0;
}

int RunUserAdd(const QStringList& args)
{
    const QString password = PasswordArgument(args, 3);
    RequireWritableStation(args[0]);
    auto connection = OpenStation(args[0]);
    TXTransaction transaction(connection.get());
    const int id = AddUser(connection.get(), args[1], args[2], password);
    transaction.Commit();
    Out() << QStringLiteral("Usuário %1 cadastrado com ID_USER %2.\n")
                 .arg(LoginText(args[1]))
                 .arg(id);
    return 0;
}

int RunUserCheck(const QStringList& args)
{
    const QString password = PasswordArgument(args, 2);
    auto connection = OpenStation(args[0]);
    if (CheckUser(connection.get(), args[1], password)) {
        Out() << QStringLiteral("Usuário e senha aceitos.\n");
        return 0;
    }
    Err() << QStringLiteral("Usuário não cadastrado ou senha inválida.\n");
    return kExitFailure;
}

int RunImport(const QStringList& args)
{
    const int rows = ImportCsvFile(args[0], args[1], args[2]);
    Out() << QStringLiteral("%1 registro(s) importado(s) na tabela %2.\n").arg(rows).arg(args[1]);
    return 0;
}

int RunVerify(const QStringList& args)
{
    const StationVerification result = VerifyStation(args[0]);
    for (const QString& message : result.Messages)
        (result.Passed ? Out() : Err())
            << QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed()
            << '\n';
    if (!result.Passed) {
        Err() << QStringLiteral("Verificação falhou: %1\n").arg(args[0]);
        return kExitFailure;
    }
    Out() << QStringLiteral("Banco de dados verificado: %1\n").arg(args[0]);
    Out() << QStringLiteral("Versão, estrutura das tabelas e computador conferem.\n");
    if (result.Maquina.isEmpty()) {
        Out() << QStringLiteral("Ainda não vinculado a um computador; a estação %1 o vinculará ao"
                                " conectar.\n")
                     .arg(result.Computer);
    } else {
        Out() << QStringLiteral("Vinculado ao computador %1.\n").arg(result.Maquina);
    }
    return 0;
}

int RunConnectionSet(const QCommandLineParser& parser, const QStringList& args)
{
    const ClientConnection connection =
        SetClientConnection(args[0], args[1], parser.isSet(QStringLiteral("forcar")));
    if (!connection.BesideProgram) {
        Out() << QStringLiteral("A pasta do programa não permite gravação; o arquivo de conexão"
                                " foi gravado na pasta de configuração do usuário, onde a estação"
                                " também o procura.\n");
    }
    Out() << QStringLiteral("Arquivo de conexão gravado: %1\n").arg(connection.File);
    Out() << QStringLiteral("Banco de dados: %1\n").arg(connection.DatabasePath);
    return 0;
}

int RunConnectionShow(const QStringList& args)
{
    const ClientConnection connection = ReadClientConnection(args[0]);
    Out() << QStringLiteral("Arquivo de conexão: %1\n").arg(connection.File);
    Out() << QStringLiteral("Banco de dados: %1\n").arg(connection.DatabasePath);
    return 0;
}

int RunTransmit(const QCommandLineParser& parser, const QStringList& args)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        throw XException(QStringLiteral("Não foi possível escrever na saída padrão."));
    std::optional<QString> origem;
    if (parser.isSet(QStringLiteral("origem")))
        origem = parser.value(QStringLiteral("origem"));
    const int rows = TransmitStation(args[0], origem, &out);
    Err() << QStringLiteral("%1 registro(s) transmitido(s).\n").arg(rows);
    return 0;
}

QString ImportHelp()
{
    QString help = QStringLiteral(
        "Uso: tressalin-admin import ARQUIVO TABELA CSV\n"
        "\n"
        "Importa o arquivo CSV na tabela. O CSV é UTF-8, separado por \";\" (ponto e\n"
        "vírgula), com campos entre aspas quando preciso (\"\" para uma aspa). A primeira\n"
        "linha dá os nomes das colunas, em qualquer ordem; um campo vazio é nulo.\n"
        "\n"
        "Números: inteiros, só algarismos, sem separador de milhar nem casas decimais\n"
        "(\"5.033\" e \"5,000\" são recusados). Códigos NCC e NC_PLANTIO: como impressos na\n"
        "etiqueta, com o dígito verificador (8 dígitos em EAN-8, 13 em EAN-13, conforme o\n"
        "tipo configurado na estação), que é conferido e retirado, ou já sem ele (7 ou 12\n"
        "dígitos, com os zeros à esquerda); outro tamanho é recusado. Datas no formato\n"
        "aaaa-mm-dd hh:mm:ss. Um plantio precisa de sub-lote, planta e usuário\n"
        "cadastrados; um poço, de placa cadastrada; placas e poços só em estação de\n"
        "coleta. Em Usua a SENHA vem em texto puro e é gravada embaralhada (%1).\n"
        "\n"
        "Tudo ou nada: a primeira linha com erro é informada e nada é importado.\n"
        "\n"
        "Colunas de cada tabela ([ ] opcional):\n");
    help = help.arg(PasswordLengthText());
    for (const QString& name : ImportableTables()) {
        QStringList columns;
        for (const StationColumn& column : FindStationTable(name)->Columns)
            columns << (column.Nullable ? QLatin1Char('[') + column.Name + QLatin1Char(']')
                                        : column.Name);
        help += QStringLiteral("  %1: %2\n").arg(name, columns.join(QLatin1Char(';')));
    }
    return help;
}

QList<Command> Commands(const QStringList* range)
{
    const QCommandLineOption operacao = Option("operacao", "plantio|coleta");
    const QCommandLineOption ncc = Option("ncc", "TIPO");
    const QCommandLineOption ncPlantio = Option("nc-plantio", "TIPO");
    QList<Command> commands;
    commands.append(
        {QStringLiteral("create"),
         QStringLiteral(
             "Uso: tressalin-admin create ARQUIVO --operacao plantio|coleta [--faixa INI FIM]\n"
             "       [--ncc TIPO] [--nc-plantio TIPO] [--lote DESCRICAO]\n"
             "\n"
             "Cria um banco de dados de estação vazio: as nove tabelas e a linha de\n"
             "configuração (versão 01.000, sem computador vinculado, com o som de alerta\n"
             "de rejeição instalado com o programa). Não sobrescreve um arquivo existente.\n"
             "\n"
             "  --operacao plantio|coleta  trabalho da estação\n"
             "  --faixa INI FIM            faixa aceita de NC Plantio (padrão 0 0: sem limites);\n"
             "                             cada limite é um código de plantio, com o dígito\n"
             "                             verificador (que é conferido) ou sem ele, ou 0\n"
             "  --ncc TIPO                 tipo do código das plantas: EAN-8 ou EAN-13 (padrão)\n"
             "  --nc-plantio TIPO          tipo do código de plantio: EAN-8 ou EAN-13 (padrão)\n"
             "  --lote DESCRICAO           descrição do lote (até 20 caracteres)\n"),
         {operacao, ncc, ncPlantio, Option("lote", "DESCRICAO")},
         1,
         0,
         [range](const QCommandLineParser& parser, const QStringList& args) {
             return RunCreate(parser, args, *range);
         }});
    commands.append(
        {QStringLiteral("demo"),
         QStringLiteral(
             "Uso: tressalin-admin demo ARQUIVO --operacao plantio|coleta [--ncc TIPO]\n"
             "       [--nc-plantio TIPO]\n"
             "\n"
             "Cria um banco de dados de estação com dados de demonstração e, ao lado dele,\n"
             "ARQUIVO-codigos.txt com os códigos para leitura (com dígito verificador).\n"
             "Usuários: ADMIN (senha 1234) e OPERADOR (senha 4321).\n"
             "\n"
             "  --operacao plantio|coleta  trabalho da estação\n"
             "  --ncc TIPO                 tipo do código das plantas: EAN-8 ou EAN-13 (padrão)\n"
             "  --nc-plantio TIPO          tipo do código de plantio: EAN-8 ou EAN-13 (padrão)\n"),
         {operacao, ncc, ncPlantio},
         1,
         0,
         RunDemo});
    commands.append(
        {QStringLiteral("usuario add"),
         QStringLiteral(
             "Uso: tressalin-admin usuario add ARQUIVO CODIGO NOME [SENHA]\n"
             "\n"
             "Cadastra um usuário. Sem SENHA, ela é pedida (ou lida da entrada padrão),\n"
             "para não ficar no histórico do terminal. Código e senha são gravados sem\n"
             "espaços nas pontas e em maiúsculas, como o login da estação os lê; a senha é\n"
             "gravada embaralhada: ") +
             PasswordLengthText() +
             QStringLiteral(".\nSó caracteres do Windows-1252 (letras, algarismos e símbolos"
                            " comuns).\n"),
         {},
         4,
         1,
         [](const QCommandLineParser&, const QStringList& args) { return RunUserAdd(args); }});
    commands.append(
        {QStringLiteral("usuario check"),
         QStringLiteral("Uso: tressalin-admin usuario check ARQUIVO CODIGO [SENHA]\n"
                        "\n"
                        "Confere código e senha como o login da estação: termina com 0 quando o\n"
                        "login aceitaria o par e com 1 quando o recusaria. Sem SENHA, ela é\n"
                        "pedida (ou lida da entrada padrão).\n"),
         {},
         3,
         1,
         [](const QCommandLineParser&, const QStringList& args) { return RunUserCheck(args); }});
    commands.append(
        {QStringLiteral("import"),
         ImportHelp(),
         {},
         3,
         0,
         [](const QCommandLineParser&, const QStringList& args) { return RunImport(args); }});
    commands.append(
        {QStringLiteral("verify"),
         QStringLiteral(
             "Uso: tressalin-admin verify ARQUIVO\n"
             "\n"
             "Faz a verificação que a estação faz ao conectar: versão do banco (01.000),\n"
             "estrutura de cada tabela e o computador ao qual o banco está vinculado; depois\n"
             "confere os registros com as regras do import (códigos, datas, números,\n"
             "cadastros referidos). Não vincula nem altera nada. Termina com 1 quando a\n"
             "verificação falha.\n"),
         {},
         1,
         0,
         [](const QCommandLineParser&, const QStringList& args) { return RunVerify(args); }});
    commands.append(
        {QStringLiteral("conexao set"),
         QStringLiteral(
             "Uso: tressalin-admin conexao set PROGRAMA ARQUIVO [--forcar]\n"
             "\n"
             "Grava o arquivo de conexão do programa da estação que está em PROGRAMA, para\n"
             "que ele abra o banco de dados ARQUIVO ao iniciar: PROGRAMA.dat ao lado do\n"
             "programa ou, quando a pasta dele não permite gravação, na pasta de\n"
             "configuração do usuário (o caminho gravado é mostrado). O arquivo anterior\n"
             "fica como cópia \".bkp\". Um banco que não passa no verify é recusado.\n"
             "\n"
             "  --forcar  grava mesmo que o banco não passe no verify\n"),
         {QCommandLineOption(QStringLiteral("forcar"))},
         2,
         0,
         RunConnectionSet});
    commands.append(
        {QStringLiteral("conexao show"),
         QStringLiteral("Uso: tressalin-admin conexao show PROGRAMA\n"
                        "\n"
                        "Mostra onde está o arquivo de conexão do programa da estação que está em\n"
                        "PROGRAMA e qual banco de dados ele indica.\n"),
         {},
         1,
         0,
         [](const QCommandLineParser&, const QStringList& args) {
             return RunConnectionShow(args);
         }});
    commands.append(
        {QStringLiteral("transmitir"),
         QStringLiteral(
             "Uso: tressalin-admin transmitir ARQUIVO [--origem NOME]\n"
             "\n"
             "Faz o papel do servidor central: escreve na saída padrão, em CSV, os plantios\n"
             "(estação de plantio) ou os poços coletados (estação de coleta) ainda não\n"
             "transmitidos e os marca como transmitidos, tudo em uma transação.\n"
             "\n"
             "  --origem NOME  origem gravada (padrão: o computador vinculado ao banco;\n"
             "                 obrigatória enquanto o banco não estiver vinculado)\n"),
         {Option("origem", "NOME")},
         1,
         0,
         RunTransmit});
    commands.append({QStringLiteral("placa mapa"), PlateMapHelp(), PlateMapOptions(), 1, 0,
                     [](const QCommandLineParser& parser, const QStringList& args) {
                         return RunPlateMap(parser, args, Out(), Err());
                     }});
    commands.append({QStringLiteral("etiquetas"), LabelsHelp(), LabelsOptions(), 1, 1,
                     [](const QCommandLineParser& parser, const QStringList& args) {
                         return RunLabels(parser, args, Out(), Err());
                     }});
    return commands;
}

const Command* FindCommand(const QList<Command>& commands, const QString& name)
{
    for (const Command& command : commands) {
        if (command.Name == name)
            return &command;
    }
    return nullptr;
}

int RunParsed(const Command& command, QStringList arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOption(HelpOption());
    for (const QCommandLineOption& option : command.Options)
        parser.addOption(option);
    arguments.prepend(kProgram);
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            throw UsageError(
                QStringLiteral("Opção desconhecida: %1").arg(parser.unknownOptionNames().first()));
        }
        throw UsageError(QStringLiteral("Opção sem valor: %1").arg(parser.errorText()));
    }
    if (parser.isSet(QStringLiteral("help"))) {
        Out() << command.Help;
        return 0;
    }
    const QStringList positionals = parser.positionalArguments();
    if (positionals.size() > command.Positionals ||
        positionals.size() < command.Positionals - command.OptionalPositionals) {
        throw UsageError(QStringLiteral("Número de argumentos incorreto para %1.\n\n%2")
                             .arg(command.Name, command.Help));
    }
    return command.Run(parser, positionals);
}

int RunArguments(const QStringList& programArguments)
{
    QStringList arguments = programArguments.mid(1);
    try {
        if (arguments.isEmpty()) {
            Err() << kGeneralHelp.arg(ServerCommandsHelp());
            return kExitUsage;
        }
        const QString first = arguments.takeFirst();
        if (first == QLatin1String("-h") || first == QLatin1String("--help") ||
            first == QLatin1String("--ajuda") || first == QLatin1String("ajuda")) {
            Out() << kGeneralHelp.arg(ServerCommandsHelp());
            return 0;
        }
        QString name = first;
        const bool grouped = first == QLatin1String("usuario") ||
                             first == QLatin1String("conexao") || first == QLatin1String("placa");
        if (grouped && !arguments.isEmpty() && !arguments.first().startsWith(QLatin1Char('-'))) {
            name += QLatin1Char(' ') + arguments.takeFirst();
        }
        QStringList range;
        const QList<Command> commands = Commands(&range);
        const Command* command = FindCommand(commands, name);
        if (!command && grouped) {
            QString group;
            for (const Command& candidate : commands) {
                if (candidate.Name.startsWith(first + QLatin1Char(' ')))
                    group += candidate.Help + QLatin1Char('\n');
            }
            const bool help =
                !arguments.isEmpty() && (arguments.first() == QLatin1String("-h") ||
                                         arguments.first() == QLatin1String("--help"));
            (help ? Out() : Err()) << group;
            return help ? 0 : kExitUsage;
        }
        if (!command)
            throw UsageError(QStringLiteral("Comando desconhecido: %1\n\n%2")
                                 .arg(name, kGeneralHelp.arg(ServerCommandsHelp())));
        if (command->Name == QLatin1String("create"))
            TakeRange(arguments, &range);
        return RunParsed(*command, arguments);
    } catch (const UsageError& error) {
        Err() << kProgram << QStringLiteral(": ") << error.Message() << Qt::endl;
        return kExitUsage;
    } catch (const XException& error) {
        const QString explained = ExplainStationError(error.Message());
        Err() << kProgram << QStringLiteral(": erro: ")
              << (explained.isEmpty() ? error.Message() : explained) << Qt::endl;
        return kExitFailure;
    }
}

} // namespace

int RunAdminCommand(const QStringList& programArguments)
{
    if (IsServerCommand(programArguments))
        return RunServerCommand(programArguments);
    const int status = RunArguments(programArguments);
    Out().flush();
    Err().flush();
    return status;
}

QTextStream& Out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& Err()
{
    static QTextStream stream(stderr);
    return stream;
}
