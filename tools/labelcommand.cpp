#include "labelcommand.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "eancode.h"
#include "pgconnection.h"
#include "stationbuilder.h"
#include "stationregistry.h"
#include "tlabels.h"
#include "xexception.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;
constexpr int kMaxLabels = 100000;

const QString kPlantasSQL = QStringLiteral("SELECT NCC, NC, REP FROM Planta ORDER BY NCC");
const QString kPlantiosUsadosSQL =
    QStringLiteral("SELECT NC_PLANTIO FROM Plantio WHERE NC_PLANTIO BETWEEN :de AND :ate");
const QString kPlacasSQL =
    QStringLiteral("SELECT PLACA, CODIGO, TLINHA, TCOLUNA FROM Placa ORDER BY CODIGO");
// The same from the lab server, which holds the whole lab's plants and plates.
const QString kServerPlantasSQL = QStringLiteral("SELECT ncc, nc, rep FROM planta ORDER BY ncc");
const QString kServerPlantiosUsadosSQL = QStringLiteral(
    "SELECT nc_plantio FROM plantio WHERE nc_plantio BETWEEN $1::bigint AND $2::bigint");
const QString kServerPlacasSQL =
    QStringLiteral("SELECT placa, codigo, tlinha, tcoluna FROM placa ORDER BY codigo");

/** What labels are made of, read from a station file or from the lab server. */
struct LabelSource
{
    StationConfig Config;
    QString Where; // "nesta estação" or "no servidor"
    std::function<QList<QStringList>(const QString& stationSql, const QString& serverSql,
                                     const QList<qint64>& numbers)>
        Rows; // text cells, the numbers bound in order
};

LabelSource StationSource(TXConnection* connection)
{
    return {ReadStationConfig(connection), QStringLiteral("nesta estação"),
            [connection](const QString& sql, const QString&, const QList<qint64>& numbers) {
                auto query = NewQuery(connection);
                query->SetSQL(sql);
                const QStringList names{QStringLiteral("de"), QStringLiteral("ate")};
                for (qsizetype i = 0; i < numbers.size(); ++i)
                    query->ParamByName(names[i]).SetFloat(double(numbers[i]));
                query->Open();
                QList<QStringList> rows;
                for (; !query->Eof(); query->Next()) {
                    QStringList row;
                    for (int c = 0; c < query->FieldCount(); ++c)
                        row << query->Fields(c).AsString();
                    rows << row;
                }
                return rows;
            }};
}

// Without a station named, the codes are EAN-13 and a planting range must be given.
LabelSource ServerSource(PgConnection& server, const QString& estacao)
{
    LabelSource source{{}, QStringLiteral("no servidor"), {}};
    if (!estacao.isEmpty()) {
        const std::optional<RegisteredStation> station = FindStation(server, estacao);
        if (!station)
            throw XException(
                QStringLiteral("A estação %1 não está cadastrada no servidor.").arg(estacao));
        source.Config.RelaInicial = double(station->RelaInicial);
        source.Config.RelaFinal = double(station->RelaFinal);
        source.Config.CbNcc = BarcodeType(station->CbNcc);
        source.Config.CbNcPlantio = BarcodeType(station->CbNcPlantio);
        source.Config.DescricaoLote = station->Lote;
    }
    source.Rows = [&server](const QString&, const QString& sql, const QList<qint64>& numbers) {
        PgParams params;
        for (const qint64 number : numbers)
            params << QString::number(number);
        const PgResult result = server.Exec(sql, params);
        QList<QStringList> rows;
        for (int r = 0; r < result.Rows(); ++r) {
            QStringList row;
            for (int c = 0; c < result.Columns(); ++c)
                row << result.Text(r, c);
            rows << row;
        }
        return rows;
    };
    return source;
}

/** A usage mistake, reported with exit status 2. */
struct Usage
{
    QString Message;
};

// "AxB" in millimetres (a comma is the decimal separator, as the lab writes it).
std::pair<double, double> Pair(const QCommandLineParser& parser, const char* name,
                               std::pair<double, double> fallback)
{
    const QString option = QString::fromLatin1(name);
    if (!parser.isSet(option))
        return fallback;
    const QString text = parser.value(option).trimmed().toLower();
    if (text == QLatin1String("a4"))
        return {210, 297};
    if (text == QLatin1String("carta"))
        return {215.9, 279.4};
    const QStringList parts = text.split(u'x');
    bool okA = false, okB = false;
    const double a = parts.value(0).replace(u',', u'.').toDouble(&okA);
    const double b = parts.value(1).replace(u',', u'.').toDouble(&okB);
    if (parts.size() != 2 || !okA || !okB || a < 0 || b < 0)
        throw Usage{QStringLiteral("Valor inválido para --%1: %2 (use LARGURAxALTURA em mm)")
                        .arg(option, parser.value(option))};
    return {a, b};
}

int Whole(const QCommandLineParser& parser, const char* name, int fallback)
{
    const QString option = QString::fromLatin1(name);
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 1)
        throw Usage{
            QStringLiteral("Valor inválido para --%1: %2").arg(option, parser.value(option))};
    return value;
}

TSymbology EanSymbology(BarcodeType type)
{
    return type == BarcodeType::Ean8 ? TSymbology::Ean8 : TSymbology::Ean13;
}

QString Fill(QString line, const QList<std::pair<const char*, QString>>& fields)
{
    for (const auto& [name, value] : fields)
        line.replace(QLatin1Char('{') + QLatin1String(name) + QLatin1Char('}'), value);
    return line;
}

QStringList Lines(const QStringList& templates,
                  const QList<std::pair<const char*, QString>>& fields)
{
    QStringList lines;
    for (const QString& line : templates)
        lines << Fill(line, fields);
    return lines;
}

QString Integer(double value)
{
    return QString::number(qint64(value));
}

std::vector<TLabel> Plants(const LabelSource& source, const QStringList& templates,
                           const QString& list)
{
    const StationConfig& config = source.Config;
    QHash<qint64, QString> wanted; // the number, and the code as listed
    if (!list.isEmpty()) {
        QFile file(list);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            throw XException(
                QStringLiteral("Não foi possível ler %1: %2").arg(list, file.errorString()));
        for (const QByteArray& row : file.readAll().split('\n')) {
            const QString field = QString::fromUtf8(row)
                                      .section(QRegularExpression(QStringLiteral("[;,]")), 0, 0)
                                      .trimmed();
            bool ok = false;
            const qint64 number = field.toLongLong(&ok);
            if (!ok)
                continue; // a header or a blank line
            // A scanned code carries its check digit, a stored number does not.
            const bool code = field.size() == BarcodeLength(config.CbNcc);
            if (code && EanCheckDigit(field.chopped(1)) != field.back().digitValue()) {
                throw XException(
                    QStringLiteral("O dígito verificador do código %1 da lista não confere.")
                        .arg(field));
            }
            wanted.insert(code ? number / 10 : number, field);
        }
    }
    std::vector<TLabel> labels;
    for (const QStringList& row : source.Rows(kPlantasSQL, kServerPlantasSQL, {})) {
        const qint64 ncc = qint64(row[0].toDouble());
        if (!list.isEmpty() && !wanted.remove(ncc))
            continue;
        labels.push_back({EanSymbology(config.CbNcc), EanCode(ncc, config.CbNcc),
                          Lines(templates, {{"ncc", QString::number(ncc)},
                                            {"nc", Integer(row[1].toDouble())},
                                            {"rep", row[2]}})});
    }
    // A code of the list that is no plant here is a mistake to show, not a label to skip.
    if (!wanted.isEmpty()) {
        throw XException(QStringLiteral("O NCC %1 da lista não está cadastrado %2.")
                             .arg(wanted.cbegin().value(), source.Where));
    }
    return labels;
}

std::vector<TLabel> Plantings(const LabelSource& source, const QStringList& templates, qint64 from,
                              qint64 to, bool freeOnly)
{
    const StationConfig& config = source.Config;
    QSet<qint64> used;
    if (freeOnly) {
        for (const QStringList& row :
             source.Rows(kPlantiosUsadosSQL, kServerPlantiosUsadosSQL, {from, to}))
            used.insert(qint64(row[0].toDouble()));
    }
    if (to < from || to - from - used.size() >= kMaxLabels)
        throw XException(QStringLiteral("A faixa de %1 a %2 dá mais de %3 etiquetas (ou nenhuma).")
                             .arg(from)
                             .arg(to)
                             .arg(kMaxLabels));
    std::vector<TLabel> labels;
    for (qint64 n = from; n <= to; ++n) {
        if (!used.contains(n)) {
            labels.push_back({EanSymbology(config.CbNcPlantio), EanCode(n, config.CbNcPlantio),
                              Lines(templates, {{"lote", config.DescricaoLote}})});
        }
    }
    return labels;
}

std::vector<TLabel> Plates(const LabelSource& source, const QStringList& templates,
                           const QStringList& codes)
{
    std::vector<TLabel> labels;
    QSet<QString> found;
    for (const QStringList& row : source.Rows(kPlacasSQL, kServerPlacasSQL, {})) {
        const QString code = row[1];
        if (!codes.isEmpty() && !codes.contains(code))
            continue;
        found.insert(code);
        labels.push_back(
            {PlateSymbology(code), code,
             Lines(templates, {{"placa", row[0]},
                               {"codigo", code},
                               {"tamanho", QStringLiteral("%1 x %2").arg(row[2], row[3])}})});
    }
    for (const QString& code : codes) {
        if (!found.contains(code))
            throw XException(QStringLiteral("A placa %1 não está cadastrada.").arg(code));
    }
    return labels;
}

bool ParseSymbology(const QString& text, TSymbology* symbology)
{
    const QString key = text.trimmed().toLower().remove(u'-').remove(u' ');
    const std::pair<const char*, TSymbology> known[] = {{"ean13", TSymbology::Ean13},
                                                        {"ean8", TSymbology::Ean8},
                                                        {"code128", TSymbology::Code128},
                                                        {"datamatrix", TSymbology::DataMatrix},
                                                        {"qr", TSymbology::Qr}};
    for (const auto& [name, value] : known) {
        if (key == QLatin1String(name)) {
            *symbology = value;
            return true;
        }
    }
    return false;
}

QString PresetsHelp()
{
    QString text;
    for (const TLabelSheet& sheet : LabelSheetPresets()) {
        text += QStringLiteral("                           %1  %2 x %3 etiquetas de %4 x %5 mm\n")
                    .arg(sheet.Name, -10)
                    .arg(sheet.Columns)
                    .arg(sheet.Rows)
                    .arg(QString::number(sheet.LabelWidth).replace(u'.', u','),
                         QString::number(sheet.LabelHeight).replace(u'.', u','));
    }
    return text;
}

} // namespace

QString LabelsHelp()
{
    return QStringLiteral(
               "Uso: tressalin-admin etiquetas (ARQUIVO | --servidor URL [--estacao NOME])\n"
               "       (--plantas | --plantios | --placas) [filtros] --saida SAIDA.pdf|SAIDA.zpl\n"
               "       [--folha MODELO | grade]\n"
               "\n"
               "Imprime etiquetas com o código de barras de cada código da estação (ou do\n"
               "servidor do laboratório: todas as suas plantas e placas), em um\n"
               "arquivo novo (um arquivo existente nunca é sobrescrito). Só lê o banco. O código\n"
               "de barras leva só o código; as linhas de texto são para as pessoas.\n"
               "\n"
               "O que imprimir:\n"
               "  --plantas                todas as plantas (NCC, no tipo de código da estação)\n"
               "  --lista ARQUIVO          com --plantas: só os NCC da 1ª coluna do CSV\n"
               "  --plantios               códigos de plantio (NC Plantio) de uma faixa:\n"
               "  --de NUMERO --ate NUMERO a faixa (números sem o dígito verificador;\n"
               "                           padrão: a faixa da estação)\n"
               "  --livres                 com --plantios: só os códigos ainda não plantados\n"
               "  --placas                 todas as placas (EAN-13 ou Code 128)\n"
               "  --placa CODIGO           com --placas: só essa placa (repita para várias)\n"
               "  --linha TEXTO            linha de texto da etiqueta (até duas); campos:\n"
               "                           plantas {ncc} {nc} {rep}; plantios {lote};\n"
               "                           placas {placa} {codigo} {tamanho}\n"
               "                           (padrão: \"NC {nc}\" e \"REP {rep}\"; \"Placa "
               "{placa}\")\n"
               "  --simbologia NOME        ean13, ean8, code128, datamatrix ou qr (padrão: o\n"
               "                           tipo configurado na estação)\n"
               "  --copias N               cópias de cada etiqueta (padrão 1)\n"
               "\n"
               "Folhas (PDF):\n"
               "  --folha MODELO           um modelo de folha de etiquetas:\n"
               "%1"
               "  ou uma grade própria, em milímetros:\n"
               "  --pagina A4|carta|LxA    página (padrão A4)\n"
               "  --margens SUPxESQ        margens superior e esquerda (padrão 0x0)\n"
               "  --etiqueta LxA           tamanho da etiqueta\n"
               "  --espaco HxV             espaço entre colunas e entre linhas (padrão 0x0)\n"
               "  --inicio N               primeira posição livre da folha (1 = canto superior\n"
               "                           esquerdo, por linhas)\n"
               "\n"
               "Impressora térmica (ZPL):\n"
               "  --etiqueta LxA           tamanho da etiqueta em mm (obrigatório)\n"
               "  --dpi 203|300            resolução da impressora (padrão 203)\n"
               "\n"
               "Do servidor, --estacao NOME dá os tipos de código e a faixa de plantio dessa\n"
               "estação; sem ela, os códigos são EAN-13 e --plantios pede --de e --ate.\n"
               "\n"
               "Um código de barras que não caberia na etiqueta em tamanho legível é recusado\n"
               "(nunca é reduzido), com o tamanho mínimo de etiqueta.\n")
        .arg(PresetsHelp());
}

QList<QCommandLineOption> LabelsOptions()
{
    auto valued = [](const char* name, const char* value) {
        return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(value));
    };
    auto flag = [](const char* name) { return QCommandLineOption(QString::fromLatin1(name)); };
    return {flag("plantas"),
            flag("plantios"),
            flag("placas"),
            flag("livres"),
            valued("lista", "ARQUIVO"),
            valued("de", "NUMERO"),
            valued("ate", "NUMERO"),
            valued("placa", "CODIGO"),
            valued("linha", "TEXTO"),
            valued("simbologia", "NOME"),
            valued("copias", "N"),
            valued("folha", "MODELO"),
            valued("pagina", "LxA"),
            valued("margens", "SUPxESQ"),
            valued("etiqueta", "LxA"),
            valued("espaco", "HxV"),
            valued("inicio", "N"),
            valued("dpi", "DPI"),
            valued("saida", "ARQUIVO"),
            valued("servidor", "URL"),
            valued("estacao", "NOME")};
}

int RunLabels(const QCommandLineParser& parser, const QStringList& args, QTextStream& out,
              QTextStream& err)
{
    const bool plants = parser.isSet(QStringLiteral("plantas"));
    const bool plantings = parser.isSet(QStringLiteral("plantios"));
    const bool plates = parser.isSet(QStringLiteral("placas"));
    const bool fromServer = parser.isSet(QStringLiteral("servidor"));
    const QString output = parser.value(QStringLiteral("saida"));
    const bool zpl = output.endsWith(QStringLiteral(".zpl"), Qt::CaseInsensitive);
    TLabelSheet sheet;
    TLabelJob job;
    int dpi = 203;
    std::optional<TSymbology> symbology;
    try {
        if (fromServer == (args.size() == 1))
            throw Usage{QStringLiteral("Informe o ARQUIVO da estação ou --servidor URL.")};
        if (int(plants) + int(plantings) + int(plates) != 1)
            throw Usage{QStringLiteral("Informe uma de --plantas, --plantios ou --placas.")};
        if (!zpl && !output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            throw Usage{QStringLiteral("Informe o arquivo a criar com --saida SAIDA.pdf ou "
                                       "SAIDA.zpl.")};
        if (parser.values(QStringLiteral("linha")).size() > 2)
            throw Usage{QStringLiteral("Uma etiqueta tem no máximo duas linhas de texto.")};
        if (parser.isSet(QStringLiteral("simbologia"))) {
            TSymbology chosen;
            if (!ParseSymbology(parser.value(QStringLiteral("simbologia")), &chosen))
                throw Usage{QStringLiteral("Simbologia desconhecida: %1 (use ean13, ean8, code128, "
                                           "datamatrix ou qr).")
                                .arg(parser.value(QStringLiteral("simbologia")))};
            symbology = chosen;
        }
        job.Copies = Whole(parser, "copias", 1);
        job.Start = Whole(parser, "inicio", 1);
        dpi = Whole(parser, "dpi", 203);
        const auto label = Pair(parser, "etiqueta", {0, 0});
        if (zpl) {
            if (!parser.isSet(QStringLiteral("etiqueta")))
                throw Usage{
                    QStringLiteral("Informe o tamanho da etiqueta com --etiqueta LxA (mm).")};
            sheet.LabelWidth = label.first;
            sheet.LabelHeight = label.second;
        } else if (parser.isSet(QStringLiteral("folha"))) {
            const TLabelSheet* preset = FindLabelSheet(parser.value(QStringLiteral("folha")));
            if (!preset) {
                err << QStringLiteral("tressalin-admin: erro: Modelo de folha desconhecido: %1. "
                                      "Modelos:\n%2")
                           .arg(parser.value(QStringLiteral("folha")), PresetsHelp())
                    << Qt::flush;
                return kFailure;
            }
            sheet = *preset;
        } else if (parser.isSet(QStringLiteral("etiqueta"))) {
            const auto page = Pair(parser, "pagina", {210, 297});
            const auto margins = Pair(parser, "margens", {0, 0});
            const auto gaps = Pair(parser, "espaco", {0, 0});
            sheet = CustomLabelSheet(page.first, page.second, margins.first, margins.second,
                                     label.first, label.second, gaps.first, gaps.second);
        } else {
            throw Usage{QStringLiteral("Informe --folha MODELO ou a grade com --etiqueta LxA.")};
        }
    } catch (const Usage& usage) {
        err << QStringLiteral("tressalin-admin: ") << usage.Message << Qt::endl;
        return kUsage;
    } catch (const XException& error) {
        err << QStringLiteral("tressalin-admin: erro: ") << error.Message() << Qt::endl;
        return kFailure;
    }
    if (QFileInfo::exists(output)) {
        err << QStringLiteral("tressalin-admin: erro: O arquivo %1 já existe.").arg(output)
            << Qt::endl;
        return kFailure;
    }

    QStringList templates = parser.values(QStringLiteral("linha"));
    try {
        std::unique_ptr<TXConnection> connection;
        std::optional<PgConnection> server;
        LabelSource source;
        if (fromServer) {
            server.emplace(parser.value(QStringLiteral("servidor")));
            source = ServerSource(*server, parser.value(QStringLiteral("estacao")));
        } else {
            connection = OpenStation(args[0]);
            source = StationSource(connection.get());
        }
        const StationConfig& config = source.Config;
        if (plants) {
            if (!parser.isSet(QStringLiteral("linha")))
                templates = {QStringLiteral("NC {nc}"), QStringLiteral("REP {rep}")};
            job.Labels = Plants(source, templates, parser.value(QStringLiteral("lista")));
        } else if (plantings) {
            if (fromServer && !parser.isSet(QStringLiteral("estacao")) &&
                !(parser.isSet(QStringLiteral("de")) && parser.isSet(QStringLiteral("ate"))))
                throw XException(QStringLiteral("Do servidor, informe a faixa com --de e --ate, ou"
                                                " a estação com --estacao."));
            const auto bound = [&](const char* name, double fallback) {
                bool ok = true;
                const QString option = QString::fromLatin1(name);
                const qint64 value =
                    parser.isSet(option) ? parser.value(option).toLongLong(&ok) : qint64(fallback);
                if (!ok || value < 0 || value > MaxBarcodeNumber(config.CbNcPlantio))
                    throw XException(QStringLiteral("Número inválido para --%1: %2")
                                         .arg(option, parser.value(option)));
                return value;
            };
            job.Labels =
                Plantings(source, templates, bound("de", config.RelaInicial),
                          bound("ate", config.RelaFinal), parser.isSet(QStringLiteral("livres")));
        } else {
            if (!parser.isSet(QStringLiteral("linha")))
                templates = {QStringLiteral("Placa {placa}")};
            job.Labels = Plates(source, templates, parser.values(QStringLiteral("placa")));
        }
        if (job.Labels.empty())
            throw XException(QStringLiteral("Nenhuma etiqueta a imprimir."));
        if (symbology) {
            for (TLabel& label : job.Labels)
                label.Symbology = *symbology;
        }
        const auto progress = [&err](int done, int total) {
            if (done % 1000 == 0 || done == total)
                err << QStringLiteral("Etiquetas: %1 de %2\n").arg(done).arg(total) << Qt::flush;
        };
        ExportLabels(output, sheet, dpi, job, progress);
    } catch (const XException& error) {
        err << QStringLiteral("tressalin-admin: erro: ") << error.Message() << Qt::endl;
        return kFailure;
    }
    out << QStringLiteral("%1 etiqueta(s) gravada(s): %2\n")
               .arg(job.Labels.size() * size_t(job.Copies))
               .arg(output);
    return 0;
}
