#include "admintool.h"

#include "stationbuilder.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace {

/** Codes of the demo list by section title: each line "kind code [note]". */
QMap<QString, QList<QPair<QString, QString>>> ReadCodes(const QString& path)
{
    QMap<QString, QList<QPair<QString, QString>>> sections;
    QString section;
    static const QRegularExpression line(QStringLiteral("^(planta|plantio|placa)\\s+(\\d+)"));
    for (const QString& text : QString::fromUtf8(FileBytes(path)).split(QLatin1Char('\n'))) {
        if (text.startsWith(QLatin1Char('[')))
            section = text.mid(1, text.size() - 2);
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch())
            sections[section].append({match.captured(1), match.captured(2)});
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

struct CountCase
{
    const char* sql;
    int expected;
};

void ExpectCounts(TXConnection* c, std::initializer_list<CountCase> cases)
{
    for (const CountCase& k : cases)
        EXPECT_EQ(Count(c, QString::fromUtf8(k.sql)), k.expected) << k.sql;
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
    const auto toPlant = codes.value("Plantas a plantar (NCC)");
    const auto free = codes.value("Códigos de plantio livres (NC Plantio)");
    ASSERT_FALSE(toPlant.isEmpty() || free.isEmpty());
    for (const auto& section : codes)
        for (const auto& [kind, code] : section)
            EXPECT_TRUE(code.size() == 13 && !Number(code).isEmpty()) << code.toStdString();
    const StationConfig config = ReadStationConfig(c);
    for (const auto& [kind, code] : toPlant) {
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Planta WHERE ncc = " + Number(code)), 1);
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio WHERE ncc = " + Number(code)), 0);
    }
    for (const auto& [kind, code] : free) {
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
    // Plate 2 is partly collected, in collection order; control wells stay empty and every
    // collected well holds a distinct planting.
    ExpectCounts(
        c, {{"SELECT count(*) FROM Placa_Poco WHERE amostra = 'C' AND nc_plantio IS NOT NULL", 0},
            {"SELECT count(*) - max(seq_coleta) FROM Placa_Poco WHERE id_placa = 2 AND "
             "nc_plantio IS NOT NULL",
             0},
            {"SELECT count(nc_plantio) - count(DISTINCT nc_plantio) FROM Placa_Poco", 0}});

    auto wells = NewQuery(c);
    wells->SetSQL(QStringLiteral("SELECT seq_coleta, poco, linha, coluna FROM Placa_Poco"
                                 " WHERE id_placa = 3 ORDER BY seq_coleta"));
    wells->Open();
    QStringList order;
    for (; !wells->Eof(); wells->Next()) {
        const int seq = wells->Fields(0).AsInteger();
        EXPECT_EQ(wells->Fields(2).AsInteger(), (seq - 1) % 8 + 1);
        EXPECT_EQ(wells->Fields(3).AsInteger(), (seq - 1) / 8 + 1);
        order << wells->Fields(1).AsString();
    }
    ASSERT_EQ(order.size(), 96);
    EXPECT_EQ(order.mid(0, 10).join(','), QStringLiteral("A1,B1,C1,D1,E1,F1,G1,H1,A2,B2"));
    EXPECT_EQ(order.last(), QStringLiteral("H12"));

    const auto codes = ReadCodes(Path(QStringLiteral("coleta-codigos.txt")));
    for (const auto& [kind, code] : codes.value("Placas")) {
        EXPECT_FALSE(Number(code).isEmpty());
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa WHERE codigo = '" + code + "'"), 1);
    }
    const auto ready = codes.value("Plantios prontos para coletar (NC Plantio)");
    ASSERT_FALSE(ready.isEmpty());
    for (const auto& [kind, code] : ready) {
        ASSERT_FALSE(Number(code).isEmpty());
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio WHERE nc_plantio = " + Number(code)), 1);
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa_Poco WHERE nc_plantio = " + Number(code)),
                  0);
    }
}

TEST_F(AdminToolTest, DemoUsersLogInAndAnExistingCodeListStopsTheDemo)
{
    const QString db = Path(QStringLiteral("demo.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "plantio", "--ncc", "EAN-8"}).ExitCode, 0);
    EXPECT_EQ(RunAdmin({"usuario", "check", db, "ADMIN", "1234"}).ExitCode, 0);
    EXPECT_EQ(RunAdmin({"usuario", "check", db, "operador", "4321"}).ExitCode, 0);
    const auto codes = ReadCodes(Path(QStringLiteral("demo-codigos.txt")));
    for (const auto& [kind, code] : codes.value("Plantas a plantar (NCC)"))
        EXPECT_TRUE(code.size() == 8 && !Number(code).isEmpty()) << code.toStdString();

    const QString other = Path(QStringLiteral("outro.db"));
    WriteFile(Path(QStringLiteral("outro-codigos.txt")), "meus códigos");
    const AdminRun run = RunAdmin({"demo", other, "--operacao", "coleta"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(other));
    EXPECT_EQ(FileBytes(Path(QStringLiteral("outro-codigos.txt"))), QByteArray("meus códigos"));
}
