#include "servercommands.h"

#include "admincommandline.h"
#include "centralschema.h"
#include "labreport.h"
#include "labreportoutput.h"
#include "pgconnection.h"
#include "platemapexport.h"
#include "serverplates.h"
#include "serversync.h"
#include "stationbuilder.h"
#include "stationregistry.h"

#include "xexception.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

class UsageError : public XException
{
public:
    using XException::XException;
};

const QString kHelp = QStringLiteral(
    "  servidor criar URL [--reparar]\n"
    "                          cria (ou confere) o esquema do servidor central; com\n"
    "                          --reparar, repõe o que falta sem apagar dados\n"
    "  servidor estacao add URL NOME --operacao plantio|coleta --lote NOME\n"
    "         [--maquina COMPUTADOR] [--ncc TIPO] [--nc-plantio TIPO]\n"
    "                          cadastra uma estação e cria o seu papel no servidor\n"
    "  servidor import URL TABELA CSV [--lote NOME] [--ncc TIPO] [--nc-plantio TIPO]\n"
    "                          importa sub-lotes, plantas, placas, poços ou usuários\n"
    "  servidor demo URL       preenche o servidor com um laboratório de demonstração\n"
    "  servidor status URL     mostra a situação de cada estação\n"
    "  servidor relatorio URL [--saida ARQUIVO.xlsx|ARQUIVO.html] [--agora \"AAAA-MM-DD "
    "HH:MM:SS\"]\n"
    "                          progresso dos lotes, trabalho por estação, operador e dia,\n"
    "                          placas prontas para envio e estações sem transmitir; em\n"
    "                          texto, numa planilha ou numa página que abre sem rede\n"
    "  servidor placas URL (--prontas | --placa CODIGO ...) --formato FORMATO --saida ARQUIVO\n"
    "         [--cliente NOME] [--tipo-amostra DNA|RNA|Tissue]\n"
    "         [--organismo NOME --tecido NOME [--especie NOME]]\n"
    "                          os mapas das placas recebidas, todas num arquivo novo:\n"
    "                          xlsx, csv, pdf, brapi, amostras (Sample ID, Plate ID,\n"
    "                          Well, ...) ou dart (PlateID, Row, Column, Organism, ...)\n"
    "  servidor conflito listar URL\n"
    "                          lista os conflitos em aberto, com o número de cada um\n"
    "  servidor conflito resolver URL NUMERO...\n"
    "                          marca conflitos como resolvidos pelo responsável\n"
    "  preparar URL ESTACAO ARQUIVO\n"
    "                          cria o banco de dados da estação a partir do servidor\n"
    "  atualizar URL ARQUIVO   traz ao banco da estação o que o servidor recebeu depois\n"
    "  transmitir ARQUIVO --servidor URL\n"
    "                          envia ao servidor o que falta transmitir e o marca\n"
    "  URL: uma conexão do PostgreSQL (postgresql://usuario@maquina/banco?sslmode=...);\n"
    "  a senha vem de ~/.pgpass ou de PGPASSWORD, nunca da linha de comando.\n");

BarcodeType BarcodeOption(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.isSet(name))
        return BarcodeType::Ean13;
    BarcodeType type;
    if (!ParseBarcodeType(parser.value(name), &type))
        throw UsageError(
            QStringLiteral("Tipo de código inválido em --%1: \"%2\". Use EAN-8 ou EAN-13.")
                .arg(name, parser.value(name)));
    return type;
}

int CreateSchema(const QCommandLineParser& parser, const QStringList& args)
{
    PgConnection server(args[0]);
    const CentralSchemaReport report =
        CreateCentralSchema(server, parser.isSet(QStringLiteral("reparar")));
    for (const QString& table : report.Created)
        Out() << QStringLiteral("Tabela %1 criada.\n").arg(table);
    for (const QString& table : report.Checked)
        Out() << QStringLiteral("Tabela %1 já existia; conferida.\n").arg(table);
    for (const QString& repaired : report.Repaired)
        Out() << QStringLiteral("Reposto: %1\n").arg(repaired);
    if (!report.Migrated.isEmpty())
        Out() << report.Migrated << '\n';
    for (const QString& problem : report.Problems)
        Err() << problem << '\n';
    if (!report.Problems.isEmpty()) {
        Err() << QStringLiteral("O esquema do servidor não confere; nada foi apagado. Com"
                                " \"servidor criar URL --reparar\" o que falta é reposto.\n");
        return kExitFailure;
    }
    Out() << QStringLiteral("Esquema do servidor pronto.\n");
    return 0;
}

int AddStationCommand(const QCommandLineParser& parser, const QStringList& args)
{
    const QString operation = parser.value(QStringLiteral("operacao")).trimmed().toLower();
    if (operation != QLatin1String("plantio") && operation != QLatin1String("coleta"))
        throw UsageError(QStringLiteral("Informe a operação com --operacao plantio|coleta."));
    if (!parser.isSet(QStringLiteral("lote")))
        throw UsageError(QStringLiteral("Informe o lote da estação com --lote NOME."));
    RegisteredStation station;
    station.Nome = args[1];
    station.Operacao = operation == QLatin1String("coleta") ? 1 : 0;
    station.Lote = parser.value(QStringLiteral("lote"));
    station.Maquina = parser.value(QStringLiteral("maquina"));
    station.CbNcc = int(BarcodeOption(parser, QStringLiteral("ncc")));
    station.CbNcPlantio = int(BarcodeOption(parser, QStringLiteral("nc-plantio")));
    PgConnection server(args[0]);
    const RegisteredStation added = AddStation(server, station);
    Out() << QStringLiteral("Estação %1 cadastrada (%2, lote %3); papel no servidor: %4.\n")
                 .arg(added.Nome, operation, added.Lote, added.Papel);
    Out() << QStringLiteral("Defina a senha do papel no servidor (por exemplo, \\password %1 no"
                            " psql) e guarde-a no ~/.pgpass do computador da estação.\n")
                 .arg(added.Papel);
    return 0;
}

int ImportCommand(const QCommandLineParser& parser, const QStringList& args)
{
    ServerImportOptions options;
    options.Lote = parser.value(QStringLiteral("lote"));
    options.CbNcc = BarcodeOption(parser, QStringLiteral("ncc"));
    options.CbNcPlantio = BarcodeOption(parser, QStringLiteral("nc-plantio"));
    const ServerImportResult result = ImportCsvToServer(args[0], args[1], args[2], options);
    Out() << QStringLiteral("%1 registro(s) importado(s) na tabela %2; %3 já estava(m) no servidor"
                            " sem alteração.\n")
                 .arg(result.Inserted)
                 .arg(args[1])
                 .arg(result.Unchanged);
    return 0;
}

int DemoCommand(const QStringList& args)
{
    const DemoServer demo = FillDemoServer(args[0]);
    Out() << QStringLiteral("Servidor de demonstração pronto.\n");
    for (const QString& line : demo.Lines)
        Out() << line << '\n';
    return 0;
}

int StatusCommand(const QStringList& args)
{
    PgConnection server(args[0]);
    const QList<StationStatus> list = ReadStationStatus(server);
    if (list.isEmpty())
        Out() << QStringLiteral("Nenhuma estação cadastrada.\n");
    for (const StationStatus& status : list) {
        const QString last =
            status.UltimaTransmissao.isEmpty()
                ? QStringLiteral("nunca")
                : QStringLiteral("%1 (%2 enviado(s), %3 novo(s), %4 já presente(s), %5"
                                 " recusado(s))")
                      .arg(status.UltimaTransmissao)
                      .arg(status.Enviados)
                      .arg(status.Aceitos)
                      .arg(status.JaPresentes)
                      .arg(status.RecusadosUltima);
        Out() << QStringLiteral("%1 (%2, lote %3, computador %4): última transmissão %5;"
                                " %6 registro(s) recebido(s), %7 registro(s) distinto(s)"
                                " recusado(s), %8 conflito(s) em aberto.\n")
                     .arg(status.Nome,
                          status.Operacao == 1 ? QStringLiteral("coleta")
                                               : QStringLiteral("plantio"),
                          status.Lote,
                          status.Maquina.isEmpty() ? QStringLiteral("ainda não vinculado")
                                                   : status.Maquina,
                          last)
                     .arg(status.Recebidos)
                     .arg(status.Recusados)
                     .arg(status.ConflitosAbertos);
    }
    return 0;
}

int ReportCommand(const QCommandLineParser& parser, const QStringList& args)
{
    const QString output = parser.value(QStringLiteral("saida"));
    const QString suffix = QFileInfo(output).suffix().toLower();
    const bool html = suffix == QLatin1String("html") || suffix == QLatin1String("htm");
    if (parser.isSet(QStringLiteral("saida")) && suffix != QLatin1String("xlsx") && !html)
        throw UsageError(QStringLiteral("O arquivo de --saida deve terminar em .xlsx ou .html."));
    const QString now = parser.value(QStringLiteral("agora")).trimmed();
    static const QRegularExpression moment(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"));
    if (parser.isSet(QStringLiteral("agora")) &&
        (!moment.match(now).hasMatch() ||
         !QDateTime::fromString(now, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid()))
        throw UsageError(QStringLiteral("Data inválida em --agora: \"%1\". Use AAAA-MM-DD"
                                        " HH:MM:SS.")
                             .arg(now));
    PgConnection server(args[0]);
    const LabReport report = ReadLabReport(server, now);
    if (output.isEmpty()) {
        Out() << LabReportText(report);
        return 0;
    }
    if (html)
        WriteLabReportHtml(report, output);
    else
        WriteLabReportXlsx(report, output);
    Out() << QStringLiteral("Relatório gravado em %1.\n").arg(output);
    return 0;
}

int PlatesCommand(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList codes = parser.values(QStringLiteral("placa"));
    const bool ready = parser.isSet(QStringLiteral("prontas"));
    if (codes.isEmpty() == !ready)
        throw UsageError(
            QStringLiteral("Informe --placa CODIGO (uma ou mais vezes) ou --prontas."));
    const QString format = parser.value(QStringLiteral("formato")).trimmed().toLower();
    TPlateMapFormat mapFormat = TPlateMapFormat::Csv;
    const bool sheet = format == QLatin1String("amostras") || format == QLatin1String("dart");
    if (!sheet && !ParsePlateMapFormat(format, &mapFormat))
        throw UsageError(QStringLiteral("Informe o formato com --formato"
                                        " xlsx|csv|pdf|brapi|amostras|dart."));
    const QString output = parser.value(QStringLiteral("saida"));
    if (output.isEmpty())
        throw UsageError(QStringLiteral("Informe o arquivo a criar com --saida ARQUIVO."));
    TPlateMapExportOptions options;
    options.ClientId = parser.value(QStringLiteral("cliente"));
    if (parser.isSet(QStringLiteral("tipo-amostra"))) {
        const QString type = parser.value(QStringLiteral("tipo-amostra")).trimmed();
        options.SampleType.clear();
        for (const QString& known : kBrapiSampleTypes)
            if (type.compare(known, Qt::CaseInsensitive) == 0)
                options.SampleType = known;
        if (options.SampleType.isEmpty())
            throw UsageError(
                QStringLiteral("Tipo de amostra inválido: \"%1\". Use DNA, RNA ou Tissue.")
                    .arg(type));
    }
    const DartOptions dart{parser.value(QStringLiteral("organismo")).trimmed(),
                           parser.value(QStringLiteral("especie")).trimmed(),
                           parser.value(QStringLiteral("tecido")).trimmed()};
    if (format == QLatin1String("dart") && (dart.Organism.isEmpty() || dart.Tissue.isEmpty()))
        throw UsageError(QStringLiteral("O formato dart precisa de --organismo e --tecido."));

    PgConnection server(args[0]);
    RequireCentralSchema(server);
    if (options.ClientId.isEmpty()) // the lab: its database on the server
        options.ClientId = server.Exec(QStringLiteral("SELECT current_database()")).Text(0, 0);
    const std::vector<TPlateMap> plates =
        ReadServerPlates(server, ready ? ReadyPlateCodes(server) : codes);
    if (plates.empty())
        throw XException(QStringLiteral("Nenhuma placa está pronta para envio."));
    if (sheet) {
        const QByteArray text =
            format == QLatin1String("dart") ? DartSheet(plates, dart) : SampleIdSheet(plates);
        WriteNewFile(output, [&text](const QString& temporary) {
            QFile file(temporary);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(text) != text.size() || !file.flush())
                throw XException(QStringLiteral("Não foi possível gravar %1: %2")
                                     .arg(temporary, file.errorString()));
        });
    } else {
        ExportPlateMaps(mapFormat, plates, output, options);
    }
    Out() << QStringLiteral("%1 placa(s) gravada(s) em %2.\n").arg(plates.size()).arg(output);
    return 0;
}

int ListConflictsCommand(const QStringList& args)
{
    PgConnection server(args[0]);
    const QList<OpenConflict> list = ReadOpenConflicts(server);
    if (list.isEmpty())
        Out() << QStringLiteral("Nenhum conflito em aberto.\n");
    for (const OpenConflict& conflict : list)
        Out() << QStringLiteral("%1: %2, %3 (%4): estação: %5; servidor: %6\n")
                     .arg(conflict.Id)
                     .arg(conflict.Estacao, conflict.Tabela, conflict.Motivo,
                          conflict.ValoresEstacao,
                          conflict.ValoresServidor.isEmpty() ? QStringLiteral("-")
                                                             : conflict.ValoresServidor);
    return 0;
}

int ResolveConflictsCommand(const QStringList& args)
{
    QList<qint64> ids;
    for (const QString& arg : args.mid(1)) {
        bool ok = false;
        ids << arg.toLongLong(&ok);
        if (!ok || ids.last() <= 0)
            throw UsageError(QStringLiteral("Número de conflito inválido: \"%1\".").arg(arg));
    }
    PgConnection server(args[0]);
    const int resolved = ResolveConflicts(server, ids);
    Out() << QStringLiteral("%1 conflito(s) marcado(s) como resolvido(s).\n").arg(resolved);
    return resolved == ids.size() ? 0 : kExitFailure;
}

void PrintCounts(const QList<TableCount>& counts, const QString& verb)
{
    for (const TableCount& count : counts)
        Out() << QStringLiteral("%1: %2 registro(s) %3.\n")
                     .arg(count.Table)
                     .arg(count.Rows)
                     .arg(verb);
}

int PrepareCommand(const QStringList& args)
{
    const QList<TableCount> counts = PrepareStation(args[0], args[1], args[2]);
    Out() << QStringLiteral("Banco de dados da estação %1 criado: %2\n")
                 .arg(args[1].toUpper(), args[2]);
    PrintCounts(counts, QStringLiteral("copiado(s)"));
    return 0;
}

int UpdateCommand(const QStringList& args)
{
    const QList<TableCount> counts = UpdateStation(args[0], args[1]);
    Out() << QStringLiteral("Banco de dados atualizado: %1\n").arg(args[1]);
    PrintCounts(counts, QStringLiteral("novo(s) ou atualizado(s)"));
    return 0;
}

int TransmitCommand(const QCommandLineParser& parser, const QStringList& args)
{
    const ServerTransmission result =
        TransmitToServer(args[0], parser.value(QStringLiteral("servidor")));
    Out() << QStringLiteral("Estação %1: %2 registro(s) enviado(s), %3 novo(s) no servidor, %4 que"
                            " o servidor já tinha; %5 marcado(s) como transmitido(s).\n")
                 .arg(result.Estacao)
                 .arg(result.Sent)
                 .arg(result.Inserted)
                 .arg(result.AlreadyPresent)
                 .arg(result.Marked);
    if (result.Conflicts.isEmpty())
        return 0;
    for (const TransmitConflict& conflict : result.Conflicts)
        Err() << QStringLiteral("Recusado (%1): estação: %2; servidor: %3\n")
                     .arg(conflict.Reason, conflict.StationValues,
                          conflict.ServerValues.isEmpty() ? QStringLiteral("-")
                                                          : conflict.ServerValues);
    Err() << QStringLiteral(
                 "%1 registro(s) recusado(s) pelo servidor e não marcado(s); ficam na lista"
                 " de conflitos do servidor para o responsável pelos dados.\n")
                 .arg(result.Conflicts.size());
    return kExitFailure;
}

QCommandLineOption ValueOption(const char* name, const char* valueName)
{
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
}

int Dispatch(QStringList arguments)
{
    const QString first = arguments.takeFirst();
    QString name = first;
    if (first == QLatin1String("servidor")) {
        if (arguments.isEmpty())
            throw UsageError(QStringLiteral("Informe o comando do servidor.\n\n") + kHelp);
        name += QLatin1Char(' ') + arguments.takeFirst();
        if ((name == QLatin1String("servidor estacao") ||
             name == QLatin1String("servidor conflito")) &&
            !arguments.isEmpty())
            name += QLatin1Char(' ') + arguments.takeFirst();
    }
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOption(QCommandLineOption(
        QStringList{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("ajuda")}));
    int positionals = 1;
    if (name == QLatin1String("servidor estacao add")) {
        positionals = 2;
        for (const char* option : {"operacao", "lote", "maquina", "ncc", "nc-plantio"})
            parser.addOption(ValueOption(option, "VALOR"));
    } else if (name == QLatin1String("servidor import")) {
        positionals = 3;
        for (const char* option : {"lote", "ncc", "nc-plantio"})
            parser.addOption(ValueOption(option, "VALOR"));
    } else if (name == QLatin1String("preparar")) {
        positionals = 3;
    } else if (name == QLatin1String("atualizar")) {
        positionals = 2;
    } else if (name == QLatin1String("servidor conflito resolver")) {
        positionals = -2; // the URL and at least one number
    } else if (name == QLatin1String("servidor relatorio")) {
        parser.addOption(ValueOption("saida", "ARQUIVO"));
        parser.addOption(ValueOption("agora", "DATA"));
    } else if (name == QLatin1String("servidor placas")) {
        for (const char* option : {"placa", "formato", "saida", "cliente", "tipo-amostra",
                                   "organismo", "especie", "tecido"})
            parser.addOption(ValueOption(option, "VALOR"));
        parser.addOption(QCommandLineOption(QStringLiteral("prontas")));
    } else if (name == QLatin1String("servidor criar")) {
        parser.addOption(QCommandLineOption(QStringLiteral("reparar")));
    } else if (name == QLatin1String("transmitir")) {
        parser.addOption(ValueOption("servidor", "URL"));
    } else if (name != QLatin1String("servidor demo") &&
               name != QLatin1String("servidor conflito listar") &&
               name != QLatin1String("servidor status")) {
        throw UsageError(QStringLiteral("Comando desconhecido: %1\n\n%2").arg(name, kHelp));
    }
    arguments.prepend(QStringLiteral("tressalin-admin"));
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        Out() << kHelp;
        return 0;
    }
    const QStringList args = parser.positionalArguments();
    if (positionals < 0 ? args.size() < -positionals : args.size() != positionals)
        throw UsageError(
            QStringLiteral("Número de argumentos incorreto para %1.\n\n%2").arg(name, kHelp));
    if (name == QLatin1String("servidor criar"))
        return CreateSchema(parser, args);
    if (name == QLatin1String("servidor estacao add"))
        return AddStationCommand(parser, args);
    if (name == QLatin1String("servidor import"))
        return ImportCommand(parser, args);
    if (name == QLatin1String("servidor demo"))
        return DemoCommand(args);
    if (name == QLatin1String("servidor status"))
        return StatusCommand(args);
    if (name == QLatin1String("servidor relatorio"))
        return ReportCommand(parser, args);
    if (name == QLatin1String("servidor placas"))
        return PlatesCommand(parser, args);
    if (name == QLatin1String("servidor conflito listar"))
        return ListConflictsCommand(args);
    if (name == QLatin1String("servidor conflito resolver"))
        return ResolveConflictsCommand(args);
    if (name == QLatin1String("preparar"))
        return PrepareCommand(args);
    if (name == QLatin1String("atualizar"))
        return UpdateCommand(args);
    return TransmitCommand(parser, args);
}

} // namespace

QString ServerCommandsHelp()
{
    return kHelp;
}

bool IsServerCommand(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return false;
    const QString& first = arguments[1];
    if (first == QLatin1String("servidor") || first == QLatin1String("preparar") ||
        first == QLatin1String("atualizar"))
        return true;
    return first == QLatin1String("transmitir") &&
           std::any_of(arguments.begin(), arguments.end(), [](const QString& argument) {
               return argument == QLatin1String("--servidor") ||
                      argument.startsWith(QLatin1String("--servidor="));
           });
}

int RunServerCommand(const QStringList& arguments)
{
    int status = 0;
    try {
        status = Dispatch(arguments.mid(1));
    } catch (const UsageError& error) {
        Err() << QStringLiteral("tressalin-admin: ") << error.Message() << Qt::endl;
        status = kExitUsage;
    } catch (const XException& error) {
        const QString explained = ExplainStationError(error.Message());
        Err() << QStringLiteral("tressalin-admin: erro: ")
              << (explained.isEmpty() ? error.Message() : explained) << Qt::endl;
        status = kExitFailure;
    }
    Out().flush();
    Err().flush();
    return status;
}
