#include "platemapcommand.h"

#include "data/txconnection.h"
#include "platemapexport.h"
#include "stationbuilder.h"
#include "xexception.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

QString PlateMapHelp()
{
    return QStringLiteral(
        "Uso: tressalin-admin placa mapa ARQUIVO (--placa CODIGO ... | --coletadas)\n"
        "       --formato xlsx|csv|pdf|brapi --saida ARQUIVO [--cliente NOME]\n"
        "       [--tipo-amostra DNA|RNA|Tissue]\n"
        "\n"
        "Exporta o mapa de placas da estação de coleta para o laboratório de genotipagem,\n"
        "em um arquivo novo (um arquivo existente nunca é sobrescrito). Só lê o banco.\n"
        "\n"
        "  --placa CODIGO         placa a exportar (repita para várias)\n"
        "  --coletadas            todas as placas com algum poço coletado\n"
        "  --formato FORMATO      xlsx: uma planilha por placa, no desenho da placa;\n"
        "                         csv: uma linha por poço, em ordem de coleta;\n"
        "                         brapi: envio de placas BrAPI v2 (JSON), só placas\n"
        "                         8 x 12 com poço coletado;\n"
        "                         pdf: uma página A4 por placa, com o código de barras da\n"
        "                         placa (o mesmo arquivo da tela \"Mapa da Placa\")\n"
        "  --saida ARQUIVO        arquivo a criar\n"
        "  --cliente NOME         clientId do envio BrAPI (padrão: o computador da estação)\n"
        "  --tipo-amostra TIPO    sampleType do envio BrAPI: DNA, RNA ou Tissue (padrão)\n");
}

QList<QCommandLineOption> PlateMapOptions()
{
    auto valued = [](const char* name, const char* value) {
        return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(value));
    };
    return {valued("placa", "CODIGO"),    QCommandLineOption(QStringLiteral("coletadas")),
            valued("formato", "FORMATO"), valued("saida", "ARQUIVO"),
            valued("cliente", "NOME"),    valued("tipo-amostra", "TIPO")};
}

int RunPlateMap(const QCommandLineParser& parser, const QStringList& args, QTextStream& out,
                QTextStream& err)
{
    constexpr int kFailure = 1;
    constexpr int kUsage = 2;
    const QStringList codes = parser.values(QStringLiteral("placa"));
    const bool collected = parser.isSet(QStringLiteral("coletadas"));
    TPlateMapFormat format;
    QString usage;
    if (codes.isEmpty() == !collected)
        usage = QStringLiteral("Informe --placa CODIGO (uma ou mais vezes) ou --coletadas.");
    else if (!ParsePlateMapFormat(parser.value(QStringLiteral("formato")), &format))
        usage = QStringLiteral("Informe o formato com --formato xlsx|csv|pdf|brapi.");
    else if (parser.value(QStringLiteral("saida")).isEmpty())
        usage = QStringLiteral("Informe o arquivo a criar com --saida ARQUIVO.");
    if (!usage.isEmpty()) {
        err << QStringLiteral("tressalin-admin: ") << usage << Qt::endl;
        return kUsage;
    }
    TPlateMapExportOptions options;
    if (parser.isSet(QStringLiteral("tipo-amostra"))) {
        const QString type = parser.value(QStringLiteral("tipo-amostra")).trimmed();
        options.SampleType.clear();
        for (const QString& known : kBrapiSampleTypes) {
            if (type.compare(known, Qt::CaseInsensitive) == 0)
                options.SampleType = known;
        }
        if (options.SampleType.isEmpty()) {
            err << QStringLiteral("tressalin-admin: Tipo de amostra inválido: \"%1\". Use DNA, RNA "
                                  "ou Tissue.")
                       .arg(type)
                << Qt::endl;
            return kUsage;
        }
    }
    const QString output = parser.value(QStringLiteral("saida"));
    if (QFileInfo::exists(output)) {
        err << QStringLiteral("tressalin-admin: erro: O arquivo %1 já existe.").arg(output)
            << Qt::endl;
        return kFailure;
    }

    auto connection = OpenStation(args[0]);
    const StationConfig config = ReadStationConfig(connection.get());
    const QString station = config.Maquina.isEmpty() ? StationComputerName() : config.Maquina;
    options.ClientId =
        parser.isSet(QStringLiteral("cliente")) ? parser.value(QStringLiteral("cliente")) : station;
    options.Printed = QDateTime::currentDateTime();
    const TPlateMapSource source{station, int(config.CbNcPlantio)};
    std::vector<TPlateMap> plates;
    for (const QString& code : collected ? CollectedPlateCodes(connection.get()) : codes) {
        TPlateMap plate;
        if (!LoadPlateMap(connection.get(), code, source, plate)) {
            err << QStringLiteral("tressalin-admin: erro: ") << UnknownPlateMessage(code).trimmed()
                << Qt::endl;
            return kFailure;
        }
        plates.push_back(std::move(plate));
    }
    if (plates.empty()) {
        err << QStringLiteral("tressalin-admin: erro: Nenhuma placa tem poço coletado.")
            << Qt::endl;
        return kFailure;
    }
    const auto progress = [&err](int done, int total) {
        if (total > 1)
            err << QStringLiteral("Placa %1 de %2\n").arg(done).arg(total) << Qt::flush;
    };
    try {
        ExportPlateMaps(format, plates, output, options, progress);
    } catch (const XException& error) {
        err << QStringLiteral("tressalin-admin: erro: ") << error.Message() << Qt::endl;
        return kFailure;
    }
    out << QStringLiteral("%1 placa(s) exportada(s): %2\n").arg(plates.size()).arg(output);
    return 0;
}
