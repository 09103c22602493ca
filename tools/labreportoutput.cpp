#include "labreportoutput.h"

#include "labreport.h"
#include "txworkbook.h"
#include "xexception.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMap>
#include <QTemporaryFile>
#include <QVariant>
#include <cstdio>
#include <functional>

namespace {

enum class Kind { Text, Whole, Decimal, Percent };

struct Column
{
    QString Title;
    Kind Type = Kind::Text;
};

/** One section of the report, rendered as text, sheet and page alike. */
struct Table
{
    QString Title;
    QString Sheet;
    QString Id; // of the page's table
    QList<Column> Columns;
    QList<QVariantList> Rows;
};

const QLocale& Brazil()
{
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

QString Shown(const QVariant& value, Kind kind)
{
    switch (kind) {
    case Kind::Text:
        return value.toString();
    case Kind::Whole:
        return Brazil().toString(value.toLongLong());
    case Kind::Decimal:
        return value.isNull() ? QStringLiteral("-") : Brazil().toString(value.toDouble(), 'f', 1);
    case Kind::Percent:
        return Brazil().toString(value.toDouble() * 100.0, 'f', 1) + QStringLiteral(" %");
    }
    return {};
}

QString Operation(int operacao)
{
    return operacao == 1 ? QStringLiteral("coleta") : QStringLiteral("plantio");
}

QString Yes(bool value)
{
    return value ? QStringLiteral("sim") : QStringLiteral("não");
}

QList<Table> Tables(const LabReport& report)
{
    QList<Table> tables;
    Table batches{QStringLiteral("Progresso por lote e sub-lote"),
                  QStringLiteral("Progresso"),
                  QStringLiteral("progresso"),
                  {{QStringLiteral("Lote")},
                   {QStringLiteral("Sub-lote")},
                   {QStringLiteral("Nome")},
                   {QStringLiteral("Alvo"), Kind::Whole},
                   {QStringLiteral("Plantados"), Kind::Whole},
                   {QStringLiteral("Faltam"), Kind::Whole},
                   {QStringLiteral("Feito"), Kind::Percent}},
                  {}};
    for (qsizetype i = 0; i < report.SubLotes.size(); ++i) {
        const BatchProgress& batch = report.SubLotes[i];
        batches.Rows.append({batch.Lote, QString::number(batch.IdSlote), batch.Nome, batch.Alvo,
                             batch.Plantados, batch.Faltam(), batch.Parte()});
        // Each batch closes with its total, over its sub-batches' targets.
        if (i + 1 == report.SubLotes.size() || report.SubLotes[i + 1].Lote != batch.Lote) {
            BatchProgress total{batch.Lote, 0, {}, 0, 0};
            qint64 left = 0;
            for (const BatchProgress& part : report.SubLotes)
                if (part.Lote == batch.Lote) {
                    total.Alvo += part.Alvo;
                    total.Plantados += part.Plantados;
                    left += part.Faltam();
                }
            batches.Rows.append(
                {batch.Lote, QStringLiteral("total"), QString(), total.Alvo, total.Plantados, left,
                 total.Alvo > 0 ? double(total.Alvo - left) / double(total.Alvo) : 1.0});
        }
    }
    tables.append(batches);

    Table work{QStringLiteral("Trabalho por estação, operador e dia"),
               QStringLiteral("Trabalho"),
               QStringLiteral("trabalho"),
               {{QStringLiteral("Dia")},
                {QStringLiteral("Estação")},
                {QStringLiteral("Operador")},
                {QStringLiteral("Plantios"), Kind::Whole},
                {QStringLiteral("Poços coletados"), Kind::Whole},
                {QStringLiteral("Primeiro registro")},
                {QStringLiteral("Último registro")},
                {QStringLiteral("Horas com registro"), Kind::Whole},
                {QStringLiteral("Registros por hora"), Kind::Decimal}},
               {}};
    for (const DailyWork& day : report.Trabalho)
        work.Rows.append({day.Dia, day.Estacao, day.Operador, day.Plantios, day.Pocos, day.Primeiro,
                          day.Ultimo, day.Horas, day.PorHora()});
    tables.append(work);

    Table plates{QStringLiteral("Placas"),
                 QStringLiteral("Placas"),
                 QStringLiteral("placas"),
                 {{QStringLiteral("Placa")},
                  {QStringLiteral("Lote")},
                  {QStringLiteral("Poços"), Kind::Whole},
                  {QStringLiteral("Controles"), Kind::Whole},
                  {QStringLiteral("Amostras"), Kind::Whole},
                  {QStringLiteral("Coletadas e recebidas"), Kind::Whole},
                  {QStringLiteral("Poços recebidos"), Kind::Whole},
                  {QStringLiteral("Faltam"), Kind::Whole},
                  {QStringLiteral("Pronta para envio")},
                  {QStringLiteral("Estações")}},
                 {}};
    for (const PlateProgress& plate : report.Placas)
        plates.Rows.append({plate.Codigo, plate.Lote, plate.Pocos, plate.Controles, plate.Amostras,
                            plate.Coletados, plate.Recebidos, plate.Amostras - plate.Coletados,
                            Yes(plate.Pronta()), plate.Estacoes});
    tables.append(plates);

    Table stations{QStringLiteral("Estações"),
                   QStringLiteral("Estações"),
                   QStringLiteral("estacoes"),
                   {{QStringLiteral("Estação")},
                    {QStringLiteral("Operação")},
                    {QStringLiteral("Lote")},
                    {QStringLiteral("Última transmissão")},
                    {QStringLiteral("Horas desde"), Kind::Decimal},
                    {QStringLiteral("Recebidos"), Kind::Whole},
                    {QStringLiteral("Recusados"), Kind::Whole},
                    {QStringLiteral("Conflitos em aberto"), Kind::Whole},
                    {QStringLiteral("Aviso")}},
                   {}};
    for (const StationActivity& station : report.Estacoes)
        stations.Rows.append(
            {station.Nome, Operation(station.Operacao), station.Lote,
             station.UltimaTransmissao.isEmpty() ? QStringLiteral("nunca")
                                                 : station.UltimaTransmissao,
             station.HorasDesde < 0 ? QVariant() : QVariant(station.HorasDesde), station.Recebidos,
             station.Recusados, station.ConflitosAbertos,
             station.Silenciosa ? QStringLiteral("sem transmitir há mais de um dia") : QString()});
    tables.append(stations);

    Table conflicts{QStringLiteral("Conflitos em aberto"),
                    QStringLiteral("Conflitos"),
                    QStringLiteral("conflitos"),
                    {{QStringLiteral("Número"), Kind::Whole},
                     {QStringLiteral("Estação")},
                     {QStringLiteral("Tabela")},
                     {QStringLiteral("Motivo")},
                     {QStringLiteral("Valores da estação")},
                     {QStringLiteral("Registrado")}},
                    {}};
    for (const PendingConflict& conflict : report.Conflitos)
        conflicts.Rows.append({conflict.Id, conflict.Estacao, conflict.Tabela, conflict.Motivo,
                               conflict.ValoresEstacao, conflict.Registrado});
    tables.append(conflicts);
    return tables;
}

QString Header(const LabReport& report)
{
    qsizetype ready = 0;
    for (const PlateProgress& plate : report.Placas)
        ready += plate.Pronta();
    qsizetype silent = 0;
    for (const StationActivity& station : report.Estacoes)
        silent += station.Silenciosa;
    return QStringLiteral("%1 placa(s) pronta(s) para envio de %2; %3 estação(ões) sem transmitir"
                          " há mais de um dia; %4 conflito(s) em aberto.")
        .arg(Brazil().toString(qint64(ready)), Brazil().toString(qint64(report.Placas.size())),
             Brazil().toString(qint64(silent)), Brazil().toString(qint64(report.Conflitos.size())));
}

/** Replaces path with what write put in a temporary file beside it, in one rename. */
void ReplaceFile(const QString& path, const std::function<void(const QString&)>& write)
{
    QTemporaryFile temporary(
        QFileInfo(path).absoluteDir().filePath(QStringLiteral(".relatorio-XXXXXX")));
    if (!temporary.open())
        throw XException(QStringLiteral("Não foi possível escrever em %1: %2")
                             .arg(QDir::toNativeSeparators(path), temporary.errorString()));
    temporary.close();
    write(temporary.fileName());
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        throw XException(
            QStringLiteral("Não foi possível gravar %1.").arg(QDir::toNativeSeparators(path)));
    temporary.setAutoRemove(false);
    // Readable by the lab as any file written here would be, not only by its owner.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
}

QString Escaped(const QString& text)
{
    return text.toHtmlEscaped().replace(u'\'', QStringLiteral("&#39;"));
}

/** JSON that may stand inside a script element: no "<", ">" or "&" outside escapes. */
QByteArray ScriptJson(const QJsonObject& object)
{
    QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    json.replace("<", "\\u003c").replace(">", "\\u003e").replace("&", "\\u0026");
    return json;
}

QJsonObject ChartData(const LabReport& report)
{
    QJsonArray labels;
    QJsonArray shares;
    for (const BatchProgress& batch : report.SubLotes) {
        labels.append(
            QStringLiteral("%1 / %2 %3").arg(batch.Lote).arg(batch.IdSlote).arg(batch.Nome));
        shares.append(qRound(batch.Parte() * 1000.0) / 10.0);
    }
    // Records per day per station over the last four weeks up to the report's day.
    const QDate today = QDate::fromString(report.Agora.left(10), Qt::ISODate);
    QJsonArray days;
    QStringList keys;
    for (int back = 27; back >= 0; --back) {
        const QDate day = today.addDays(-back);
        keys << day.toString(Qt::ISODate);
        days.append(day.toString(QStringLiteral("dd/MM")));
    }
    QMap<QString, QList<qint64>> perStation;
    for (const DailyWork& work : report.Trabalho) {
        const qsizetype index = keys.indexOf(work.Dia);
        if (index < 0)
            continue;
        QList<qint64>& counts = perStation[work.Estacao];
        counts.resize(keys.size());
        counts[index] += work.Registros();
    }
    QJsonArray series;
    for (auto it = perStation.cbegin(); it != perStation.cend(); ++it) {
        QJsonArray counts;
        for (const qint64 count : it.value())
            counts.append(count);
        series.append(QJsonObject{{QStringLiteral("estacao"), it.key()},
                                  {QStringLiteral("registros"), counts}});
    }
    return {{QStringLiteral("sublotes"), labels},
            {QStringLiteral("feito"), shares},
            {QStringLiteral("dias"), days},
            {QStringLiteral("estacoes"), series}};
}

const char* const kStyle =
    "body{font-family:sans-serif;margin:0 auto;max-width:70em;padding:0.5em;color:#222}"
    "h1{font-size:1.4em}h2{font-size:1.15em;margin-top:1.5em}"
    ".tabela{overflow-x:auto}table{border-collapse:collapse;font-size:0.9em}"
    "th,td{border:1px solid #bbb;padding:0.2em 0.5em;text-align:left;white-space:nowrap}"
    "th{background:#eee}td.n{text-align:right;font-variant-numeric:tabular-nums}"
    "tr.aviso td{background:#fde2e2}.grafico{position:relative;height:18em;max-width:60em}"
    "@media print{.grafico{height:14em}h2{break-after:avoid}tr{break-inside:avoid}}";

// Draws the two charts from the page's JSON; Chart.js draws the labels as text on the canvas.
const char* const kChartsScript =
    "(function(){"
    "var d=JSON.parse(document.getElementById('dados-graficos').textContent);"
    "var cores=['#1b6ca8','#e07b00','#2e8b57','#b22222','#6a5acd','#8b4513','#008b8b','#c71585'];"
    "Chart.defaults.animation=false;Chart.defaults.maintainAspectRatio=false;"
    "new Chart(document.getElementById('grafico-progresso'),{type:'bar',"
    "data:{labels:d.sublotes,datasets:[{label:'Feito (%)',data:d.feito,backgroundColor:cores[0]}]},"
    "options:{indexAxis:'y',locale:'pt-BR',scales:{x:{min:0,max:100}}}});"
    "new Chart(document.getElementById('grafico-dias'),{type:'bar',"
    "data:{labels:d.dias,datasets:d.estacoes.map(function(s,i){return {label:s.estacao,"
    "data:s.registros,backgroundColor:cores[i%cores.length]};})},"
    "options:{locale:'pt-BR',scales:{x:{stacked:true},y:{stacked:true,beginAtZero:true}}}});"
    "})();";

} // namespace

QString LabReportText(const LabReport& report)
{
    QString out =
        QStringLiteral("Relatório do laboratório em %1\n%2\n").arg(report.Agora, Header(report));
    for (const Table& table : Tables(report)) {
        out += QLatin1Char('\n') + table.Title + QLatin1Char('\n');
        if (table.Rows.isEmpty()) {
            out += QStringLiteral("(nenhum)\n");
            continue;
        }
        QList<QStringList> cells;
        QList<qsizetype> widths;
        QStringList titles;
        for (const Column& column : table.Columns) {
            titles << column.Title;
            widths << column.Title.size();
        }
        for (const QVariantList& row : table.Rows) {
            QStringList line;
            for (qsizetype c = 0; c < row.size(); ++c) {
                line << Shown(row[c], table.Columns[c].Type);
                widths[c] = std::max(widths[c], line.last().size());
            }
            cells << line;
        }
        cells.prepend(titles);
        for (const QStringList& line : cells) {
            QString text;
            for (qsizetype c = 0; c < line.size(); ++c) {
                const bool right = table.Columns[c].Type != Kind::Text && &line != &cells.first();
                const bool last = c + 1 == line.size();
                text += (c ? QStringLiteral("  ") : QString()) +
                        (right  ? line[c].rightJustified(widths[c])
                         : last ? line[c]
                                : line[c].leftJustified(widths[c]));
            }
            out += text + QLatin1Char('\n');
        }
    }
    return out;
}

void WriteLabReportXlsx(const LabReport& report, const QString& path)
{
    const QList<Table> tables = Tables(report);
    TXWorkbook book(tables.first().Sheet);
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const Table& table = tables[t];
        const int sheet = t == 0 ? 0 : book.AddSheet(table.Sheet);
        for (qsizetype c = 0; c < table.Columns.size(); ++c) {
            const Column& column = table.Columns[c];
            book.SetValue(sheet, 0, int(c),
                          column.Type == Kind::Percent ? column.Title + QStringLiteral(" (%)")
                                                       : column.Title);
        }
        book.SetFill(sheet, {0, 0, 0, int(table.Columns.size()) - 1}, 0xDDDDDD);
        for (qsizetype r = 0; r < table.Rows.size(); ++r) {
            for (qsizetype c = 0; c < table.Columns.size(); ++c) {
                const QVariant& value = table.Rows[r][c];
                // Codes stay texts, so a sheet shows them in full; shares are percent points.
                const QVariant stored = table.Columns[c].Type == Kind::Percent
                                            ? QVariant(qRound(value.toDouble() * 1000.0) / 10.0)
                                        : table.Columns[c].Type == Kind::Decimal && !value.isNull()
                                            ? QVariant(qRound(value.toDouble() * 10.0) / 10.0)
                                            : value;
                book.SetValue(sheet, int(r) + 1, int(c), stored);
            }
        }
        book.AutoFitColumns(sheet, 0, int(table.Columns.size()) - 1);
    }
    ReplaceFile(path, [&book](const QString& temporary) { book.WriteXlsx(temporary); });
}

QByteArray LabReportHtml(const LabReport& report, const QByteArray& chartJs)
{
    QString body;
    body += QStringLiteral("<h1>Relatório do laboratório</h1>\n<p>Em %1. %2</p>\n")
                .arg(Escaped(report.Agora), Escaped(Header(report)));
    body += QStringLiteral(
        "<h2>Progresso dos sub-lotes</h2>\n<div class=\"grafico\"><canvas id=\"grafico-progresso\""
        " aria-label=\"Progresso dos sub-lotes\"></canvas></div>\n"
        "<h2>Registros por dia e estação, últimas quatro semanas</h2>\n<div class=\"grafico\">"
        "<canvas id=\"grafico-dias\" aria-label=\"Registros por dia\"></canvas></div>\n");
    const QList<Table> tables = Tables(report);
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const Table& table = tables[t];
        body += QStringLiteral("<h2>%1</h2>\n").arg(Escaped(table.Title));
        if (table.Rows.isEmpty()) {
            body += QStringLiteral("<p>Nenhum.</p>\n");
            continue;
        }
        body +=
            QStringLiteral("<div class=\"tabela\"><table id=\"%1\">\n<thead><tr>").arg(table.Id);
        for (const Column& column : table.Columns)
            body += QStringLiteral("<th>%1</th>").arg(Escaped(column.Title));
        body += QStringLiteral("</tr></thead>\n<tbody>\n");
        const bool stations = table.Id == QLatin1String("estacoes");
        for (qsizetype r = 0; r < table.Rows.size(); ++r) {
            const bool warn = stations && report.Estacoes[r].Silenciosa;
            body += warn ? QStringLiteral("<tr class=\"aviso\">") : QStringLiteral("<tr>");
            for (qsizetype c = 0; c < table.Columns.size(); ++c) {
                const Kind kind = table.Columns[c].Type;
                body += QStringLiteral("<td%1>%2</td>")
                            .arg(kind == Kind::Text ? QString() : QStringLiteral(" class=\"n\""),
                                 Escaped(Shown(table.Rows[r][c], kind)));
            }
            body += QStringLiteral("</tr>\n");
        }
        body += QStringLiteral("</tbody></table></div>\n");
    }
    QByteArray page = "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<title>Tressalin: relatório do laboratório</title>\n<style>";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n";
    page += body.toUtf8();
    page += "<script type=\"application/json\" id=\"dados-graficos\">";
    page += ScriptJson(ChartData(report));
    page += "</script>\n<script>\n";
    page += chartJs;
    page += "\n</script>\n<script>";
    page += kChartsScript;
    page += "</script>\n</body>\n</html>\n";
    return page;
}

void WriteLabReportHtml(const LabReport& report, const QString& path)
{
    QFile library(kChartJsPath);
    if (!library.open(QIODevice::ReadOnly))
        throw XException(QStringLiteral("A biblioteca de gráficos não foi encontrada em %1; instale"
                                        " o pacote libjs-chart.js.")
                             .arg(kChartJsPath));
    const QByteArray chartJs = library.readAll();
    // Inlined as it is: a closing tag inside would end the script early.
    if (chartJs.toLower().contains("</script"))
        throw XException(QStringLiteral("A biblioteca de gráficos em %1 não pode ser incluída na"
                                        " página.")
                             .arg(kChartJsPath));
    const QByteArray page = LabReportHtml(report, chartJs);
    ReplaceFile(path, [&page](const QString& temporary) {
        QFile file(temporary);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(page) != page.size() || !file.flush())
            throw XException(QStringLiteral("Não foi possível gravar %1: %2")
                                 .arg(QDir::toNativeSeparators(temporary), file.errorString()));
    });
}
