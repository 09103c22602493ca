#include "admintool.h"
#include "labfixture.h"
#include "pgcluster.h"
#include "xlsxinspector.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The lab report's figures against the known lab's, counted by hand.

namespace {

struct Section
{
    const char* Title; // as the text shows it
    int Sheet;         // 1-based, in the workbook
    QStringList Rows;  // cells joined by "|", header first
};

const QList<Section>& Expected()
{
    static const QList<Section> sections = {
        {"Progresso por lote e sub-lote",
         1,
         {u"Lote|Sub-lote|Nome|Alvo|Plantados|Faltam|Feito"_s, u"L1|1|MILHO|10|4|6|40,0 %"_s,
          u"L1|2|SOJA|4|2|2|50,0 %"_s, u"L1|total||14|6|8|42,9 %"_s, u"L2|3|TRIGO|3|3|0|100,0 %"_s,
          u"L2|total||3|3|0|100,0 %"_s}},
        // Records per hour: hours holding a record, 08, 09 and 11 for ANA's four.
        {"Trabalho por estação, operador e dia",
         2,
         {u"Dia|Estação|Operador|Plantios|Poços coletados|Primeiro registro|Último registro|"
          "Horas com registro|Registros por hora"_s,
          u"2024-05-07|P1|ANA|4|0|2024-05-07 08:05:00|2024-05-07 11:59:00|3|1,3"_s,
          u"2024-05-07|P2|BRUNO|1|0|2024-05-07 14:00:00|2024-05-07 14:00:00|1|1,0"_s,
          u"2024-05-08|C1|ANA|0|4|2024-05-08 09:00:00|2024-05-08 13:00:00|2|2,0"_s,
          u"2024-05-08|P1|BRUNO|2|0|2024-05-08 10:00:00|2024-05-08 10:30:00|1|2,0"_s,
          u"2024-05-09|P2|BRUNO|2|0|2024-05-09 07:00:00|2024-05-09 07:15:00|1|2,0"_s}},
        {"Placas",
         3,
         {u"Placa|Lote|Poços|Controles|Amostras|Coletadas e recebidas|Poços recebidos|Faltam|"
          "Pronta para envio|Estações"_s,
          u"PL-A|L1|4|1|3|3|3|0|sim|C1"_s, u"PL-B|L1|4|1|3|1|1|2|não|C1"_s}},
        // P2 is silent too, but its batch L2 is done.
        {"Estações",
         4,
         {u"Estação|Operação|Lote|Última transmissão|Horas desde|Recebidos|Recusados|"
          "Conflitos em aberto|Aviso"_s,
          u"C1|coleta|L1|2024-05-08 10:00:00|26,0|4|1|1|sem transmitir há mais de um dia"_s,
          u"P1|plantio|L1|2024-05-09 06:00:00|6,0|6|2|1|"_s,
          u"P2|plantio|L2|2024-05-07 15:00:00|45,0|3|0|0|"_s}},
        {"Conflitos em aberto",
         5,
         {u"Número|Estação|Tabela|Motivo|Valores da estação|Registrado"_s,
          u"2|P1|plantio|planta de outra estação|c|2024-05-09 06:00:00"_s,
          u"3|C1|placa_poco|poço já coletado|e|2024-05-08 10:00:00"_s}},
    };
    return sections;
}

/** The text's lines of a section, cells split where two or more spaces align them. */
QStringList TextSection(const QString& text, const QString& title)
{
    const QStringList lines = text.split(u'\n');
    QStringList rows;
    for (qsizetype i = lines.indexOf(title) + 1; i > 0 && i < lines.size() && !lines[i].isEmpty();
         ++i)
        rows << lines[i].trimmed().split(QRegularExpression(u"\\s{2,}"_s)).join(u'|');
    return rows;
}

/** A sheet's rows as the text shows them: numbers in pt-BR, shares in percent. */
QStringList SheetRows(const XlsxContent& sheet)
{
    QStringList rows;
    for (int r = 1; r <= sheet.MaxRow; ++r) {
        QStringList cells;
        for (QChar c = u'A'; c < QChar(u'A' + sheet.MaxColumn); c = QChar(c.unicode() + 1)) {
            const QVariant value = sheet.At(c + QString::number(r)).Value;
            const QString header = sheet.At(c + u"1"_s).Value.toString().remove(u" (%)"_s);
            const bool decimal = header.startsWith(u"Horas d"_s) || header.startsWith(u"Reg"_s);
            const bool share = header == u"Feito"_s && r > 1;
            cells << (value.typeId() != QMetaType::Double ? value.toString().remove(u" (%)"_s)
                      : share || decimal ? QLocale(u"pt_BR"_s).toString(value.toDouble(), 'f', 1) +
                                               (share ? u" %"_s : QString())
                                         : QString::number(qint64(value.toDouble())));
        }
        rows << cells.join(u'|');
    }
    return rows;
}

class LabReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_url = PgCluster::Instance().NewDatabase();
        ASSERT_EQ(RunAdmin({"servidor", "criar", m_url}).ExitCode, 0);
        PgConnection lab(m_url);
        FillKnownLab(lab);
    }
    QString m_url;
    QTemporaryDir m_dir;
};

TEST_F(LabReportTest, TextAndSheetHoldTheKnownLabsFigures)
{
    const AdminRun text = RunAdmin({"servidor", "relatorio", m_url, "--agora", kLabNow});
    ASSERT_EQ(text.ExitCode, 0) << text.Err.toStdString();
    EXPECT_TRUE(text.Out.contains(u"1 placa(s) pronta(s) para envio de 2; 1 estação(ões) sem"
                                  " transmitir há mais de um dia; 2 conflito(s) em aberto."_s))
        << text.Out.toStdString();
    const QString xlsx = m_dir.filePath(u"relatorio.xlsx"_s);
    ASSERT_EQ(
        RunAdmin({"servidor", "relatorio", m_url, "--agora", kLabNow, "--saida", xlsx}).ExitCode,
        0);
    for (const Section& section : Expected()) {
        SCOPED_TRACE(section.Title);
        QStringList shown = section.Rows;
        // The text's alignment hides empty cells.
        shown.replaceInStrings(QRegularExpression(u"\\|+$"_s), QString())
            .replaceInStrings(u"|total||"_s, u"|total|"_s);
        EXPECT_EQ(TextSection(text.Out, QString::fromUtf8(section.Title)).join(u'\n').toStdString(),
                  shown.join(u'\n').toStdString());
        const XlsxContent sheet = ReadXlsx(xlsx, section.Sheet);
        ASSERT_TRUE(sheet.Ok);
        EXPECT_EQ(SheetRows(sheet).join(u'\n').toStdString(),
                  section.Rows.join(u'\n').toStdString());
    }
}

} // namespace
