#include "admintool.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "stationbuilder.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace {

// Check digit as the scanners' validation computes it, from the left: EAN-13 weighs the even
// positions 3, EAN-8 the odd ones.
bool ValidEan(const QString& code)
{
    if (code.size() != 8 && code.size() != 13)
        return false;
    int sum = 0;
    for (int position = 1; position < code.size(); ++position) {
        const int digit = code.at(position - 1).digitValue();
        const bool odd = position % 2 == 1;
        sum += digit * ((code.size() == 13) == odd ? 1 : 3);
    }
    return code.back().digitValue() == (sum % 10 == 0 ? 0 : 10 - sum % 10);
}

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

int Count(TXConnection* connection, const QString& sql)
{
    auto query = NewQuery(connection);
    query->SetSQL(sql);
    query->Open();
    return query->Fields(0).AsInteger();
}

QString Number(const QString& code)
{
    return code.left(code.size() - 1);
}

} // namespace

TEST_F(AdminToolTest, PlantingDemoHasSubBatchesPlantsPlantingsAndScannableCodes)
{
    const QString db = Path(QStringLiteral("plantio.db"));
    const AdminRun run = RunAdmin({"demo", db, "--operacao", "plantio"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("ADMIN, senha 1234")));

    auto connection = OpenStation(db);
    auto* c = connection.get();
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Lote"), 4);
    EXPECT_EQ(Count(c, "SELECT sum(qte_tratamento) FROM Lote"), 300);
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Planta"), 300);
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio"), 100);
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio WHERE origem_plantio IS NOT NULL"), 60);
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio p LEFT JOIN Planta d ON p.ncc = d.ncc"
                       " WHERE d.ncc IS NULL"),
              0);

    const auto codes = ReadCodes(Path(QStringLiteral("plantio-codigos.txt")));
    ASSERT_EQ(codes.value("Plantas a plantar (NCC)").size(), 200);
    ASSERT_EQ(codes.value("Códigos de plantio livres (NC Plantio)").size(), 200);
    ASSERT_EQ(codes.value("Plantas já plantadas (NCC)").size(), 100);
    for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
        for (const auto& [kind, code] : it.value())
            EXPECT_TRUE(ValidEan(code) && code.size() == 13) << code.toStdString();
    }
    const StationConfig config = ReadStationConfig(c);
    for (const auto& [kind, code] : codes.value("Plantas a plantar (NCC)")) {
        EXPECT_EQ(kind, QStringLiteral("planta"));
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Planta WHERE ncc = " + Number(code)), 1);
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Plantio WHERE ncc = " + Number(code)), 0);
    }
    for (const auto& [kind, code] : codes.value("Códigos de plantio livres (NC Plantio)")) {
        EXPECT_EQ(kind, QStringLiteral("plantio"));
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
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa WHERE tlinha = 8 AND tcoluna = 12"), 4);
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa_Poco"), 4 * 96);
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa_Poco WHERE amostra = 'C'"), 4 * 2);
    EXPECT_EQ(
        Count(c, "SELECT count(*) FROM Placa_Poco WHERE amostra = 'C' AND nc_plantio IS NOT NULL"),
        0);
    // Plate 1 is collected and transmitted, plate 2 partly collected and not transmitted.
    EXPECT_EQ(Count(c,
                    "SELECT count(*) FROM Placa_Poco WHERE id_placa = 1 AND nc_plantio IS NOT NULL"
                    " AND status_poco = 1 AND origem_coleta IS NOT NULL"),
              94);
    EXPECT_EQ(Count(c,
                    "SELECT count(*) FROM Placa_Poco WHERE id_placa = 2 AND nc_plantio IS NOT NULL"
                    " AND origem_coleta IS NULL"),
              30);
    EXPECT_EQ(
        Count(c, "SELECT count(*) FROM Placa_Poco WHERE id_placa > 2 AND nc_plantio IS NOT NULL"),
        0);
    // Every collected well holds a distinct planting, filled in collection order.
    EXPECT_EQ(Count(c, "SELECT count(DISTINCT nc_plantio) FROM Placa_Poco"), 124);
    EXPECT_EQ(
        Count(
            c,
            "SELECT max(seq_coleta) FROM Placa_Poco WHERE id_placa = 2 AND nc_plantio IS NOT NULL"),
        30);

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
    ASSERT_EQ(codes.value("Placas").size(), 4);
    for (const auto& [kind, code] : codes.value("Placas")) {
        EXPECT_TRUE(ValidEan(code));
        EXPECT_EQ(Count(c, "SELECT count(*) FROM Placa WHERE codigo = '" + code + "'"), 1);
    }
    const auto ready = codes.value("Plantios prontos para coletar (NC Plantio)");
    ASSERT_EQ(ready.size(), 400 - 124);
    for (const auto& [kind, code] : ready) {
        EXPECT_TRUE(ValidEan(code));
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
        EXPECT_TRUE(ValidEan(code) && code.size() == 8) << code.toStdString();

    const QString other = Path(QStringLiteral("outro.db"));
    WriteFile(Path(QStringLiteral("outro-codigos.txt")), "meus códigos");
    const AdminRun run = RunAdmin({"demo", other, "--operacao", "coleta"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(other));
    EXPECT_EQ(FileBytes(Path(QStringLiteral("outro-codigos.txt"))), QByteArray("meus códigos"));
}
