#include "admintool.h"

#include "stationbuilder.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace {

/** Codes of the demo list by section title (lines "kind code [note]"). */
QMap<QString, QStringList> ReadCodes(const QString& path)
{
    QMap<QString, QStringList> sections;
    QString section;
    static const QRegularExpression line(QStringLiteral("^(planta|plantio|placa)\\s+(\\d+)"));
    for (const QString& text : QString::fromUtf8(FileBytes(path)).split(QLatin1Char('\n'))) {
        if (text.startsWith(QLatin1Char('[')))
            section = text.mid(1, text.size() - 2);
        if (const QRegularExpressionMatch match = line.match(text); match.hasMatch())
            sections[section].append(match.captured(2));
    }
    return sections;
}

// The number a scannable code carries; empty when its check digit is wrong.
QString Number(const QString& code)
{
    const QString number = code.left(code.size() - 1);
    const BarcodeType type = code.size() == 8 ? BarcodeType::Ean8 : BarcodeType::Ean13;
    return EanCode(number.toLongLong(), type) == code ? number : QString();
}

void ExpectCounts(TXConnection* c, std::initializer_list<std::pair<const char*, int>> cases)
{
    for (const auto& [sql, expected] : cases)
        EXPECT_EQ(Count(c, QString::fromUtf8(sql)), expected) << sql;
}

} // namespace

TEST_F(AdminToolTest, PlantingDemoHasSubBatchesPlantsPlantingsAndScannableCodes)
{
    const QString db = Path(QStringLiteral("plantio.db"));
    const AdminRun run = RunAdmin({"demo", db, "--operacao", "plantio"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    auto connection = OpenStation(db);
    auto* c = connection.get();
    // Every planting is of a known plant; some are transmitted, some not.
    ExpectCounts(c, {{"SELECT count(*) FROM Plantio p LEFT JOIN Planta d ON p.ncc = d.ncc WHERE "
                      "d.ncc IS NULL",
                      0},
                     {"SELECT count(DISTINCT origem_plantio IS NULL) FROM Plantio", 2}});

    const auto codes = ReadCodes(Path(QStringLiteral("plantio-codigos.txt")));
    const QStringList toPlant = codes.value("Plantas a plantar (NCC)");
    const QStringList free = codes.value("Códigos de plantio livres (NC Plantio)");
    ASSERT_FALSE(toPlant.isEmpty() || free.isEmpty());
    for (const QStringList& section : codes)
        for (const QString& code : section)
            ASSERT_TRUE(code.size() == 13 && !Number(code).isEmpty()) << code.toStdString();
    const StationConfig config = ReadStationConfig(c);
    for (const QString& code : toPlant) {
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Planta WHERE ncc = " + Number(code)), 1);
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio WHERE ncc = " + Number(code)), 0);
    }
    for (const QString& code : free) {
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio WHERE nc_plantio = " + Number(code)), 0);
        const double number = Number(code).toDouble();
        EXPECT_TRUE(number >= config.RelaInicial && number <= config.RelaFinal);
    }
}

TEST_F(AdminToolTest, CollectionDemoFillsPlatesDownTheColumnsWithTwoControlWells)
{
    const QString db = Path(QStringLiteral("coleta.db"));
    const AdminRun run = RunAdmin({"demo", db, "--operacao", "coleta"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    auto connection = OpenStation(db);
    auto* c = connection.get();
    // Wells run down the columns (A1, B1, ..., H1, A2) in collection order; plate 2 is partly
    // collected, in that order; control wells stay empty; every well holds a distinct planting.
    ExpectCounts(
        c, {{"SELECT count(*) FROM Placa_Poco WHERE id_placa = 3 AND linha = (seq_coleta - 1) % 8 "
             "+ 1 AND coluna = (seq_coleta - 1) / 8 + 1 AND poco = char(64 + linha) || coluna",
             96},
            {"SELECT count(*) FROM Placa_Poco WHERE amostra = 'C' AND nc_plantio IS NOT NULL", 0},
            {"SELECT count(*) - max(seq_coleta) FROM Placa_Poco WHERE id_placa = 2 AND "
             "nc_plantio IS NOT NULL",
             0},
            {"SELECT count(nc_plantio) - count(DISTINCT nc_plantio) FROM Placa_Poco", 0}});

    const auto codes = ReadCodes(Path(QStringLiteral("coleta-codigos.txt")));
    for (const QString& code : codes.value("Placas")) {
        EXPECT_FALSE(Number(code).isEmpty());
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa WHERE codigo = '" + code + "'"), 1);
    }
    const QStringList ready = codes.value("Plantios prontos para coletar (NC Plantio)");
    ASSERT_FALSE(ready.isEmpty());
    for (const QString& code : ready) {
        ASSERT_FALSE(Number(code).isEmpty());
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio WHERE nc_plantio = " + Number(code)), 1);
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa_Poco WHERE nc_plantio = " + Number(code)),
                  0);
    }
}

TEST_F(AdminToolTest, DemoTakesTheCodeTypeAndAnExistingCodeListStopsIt)
{
    const QString db = Path(QStringLiteral("demo.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "plantio", "--ncc", "EAN-8"}).ExitCode, 0);
    const auto codes = ReadCodes(Path(QStringLiteral("demo-codigos.txt")));
    for (const QString& code : codes.value("Plantas a plantar (NCC)"))
        EXPECT_TRUE(code.size() == 8 && !Number(code).isEmpty()) << code.toStdString();

    const QString other = Path(QStringLiteral("outro.db"));
    WriteFile(Path(QStringLiteral("outro-codigos.txt")), "meus códigos");
    EXPECT_EQ(RunAdmin({"demo", other, "--operacao", "coleta"}).ExitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(other));
    EXPECT_EQ(FileBytes(Path(QStringLiteral("outro-codigos.txt"))), QByteArray("meus códigos"));
}
