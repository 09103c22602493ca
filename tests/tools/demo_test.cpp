#include "admintool.h"

#include "shippedsounds.h"
#include "stationbuilder.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

/** Codes of the demo list by section title (lines "kind code [note]" under "[title]"). */
QMap<QString, QStringList> ReadCodes(const QString& path)
{
    QMap<QString, QStringList> sections;
    static const QRegularExpression code(u"^\\w+ +(\\d+)"_s, QRegularExpression::MultilineOption);
    for (const QString& section : QString::fromUtf8(FileBytes(path)).split(u"\n["_s).mid(1))
        for (const QRegularExpressionMatch& match : code.globalMatch(section))
            sections[section.section(u']', 0, 0)] << match.captured(1);
    return sections;
}

// The numbers the codes carry, joined by commas; each code must be scannable, of that type.
QString Numbers(const QStringList& codes, BarcodeType type = BarcodeType::Ean13)
{
    QStringList numbers;
    for (const QString& code : codes) {
        numbers << code.chopped(1);
        EXPECT_EQ(EanCode(numbers.last().toLongLong(), type), code);
    }
    EXPECT_FALSE(numbers.isEmpty());
    return numbers.join(u',');
}

void ExpectCounts(const QString& db, std::initializer_list<std::pair<QString, int>> cases)
{
    const auto connection = OpenStation(db);
    for (const auto& [sql, expected] : cases)
        EXPECT_EQ(Count(connection.get(), sql), expected) << sql.toStdString();
}

} // namespace

TEST_F(AdminToolTest, PlantingDemoHasSubBatchesPlantsPlantingsAndScannableCodes)
{
    const QString db = Path(u"plantio.db"_s);
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "plantio"}).ExitCode, 0);
    const auto codes = ReadCodes(Path(u"plantio-codigos.txt"_s));
    const QString plants = Numbers(codes.value("Plantas a plantar (NCC)"));
    const QString free = Numbers(codes.value("Códigos de plantio livres (NC Plantio)"));
    // Every planting is of a known plant; some are transmitted, some not. The listed plants
    // are not planted yet; the listed planting codes are free and in the station's range.
    ExpectCounts(
        db, {{u"SELECT count(*) FROM Plantio WHERE ncc NOT IN (SELECT ncc FROM Planta)"_s, 0},
             {u"SELECT count(DISTINCT origem_plantio IS NULL) FROM Plantio"_s, 2},
             {u"SELECT count(*) FROM Planta WHERE ncc IN (%1) AND ncc NOT IN "
              "(SELECT ncc FROM Plantio)"_s.arg(plants),
              int(plants.count(u',') + 1)},
             {u"SELECT count(*) FROM json_each('[%1]'), Configuracao WHERE value NOT IN (SELECT "
              "nc_plantio FROM Plantio) AND value BETWEEN rela_inicial AND rela_final"_s.arg(free),
              int(free.count(u',') + 1)}});
    ExpectCounts(
        db,
        {{u"SELECT count(*) FROM Configuracao WHERE alert_sound = '%1'"_s.arg(ShippedAlertSound()),
          1}});
}

TEST_F(AdminToolTest, CollectionDemoFillsPlatesDownTheColumnsWithTwoControlWells)
{
    const QString db = Path(u"coleta.db"_s);
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "coleta"}).ExitCode, 0);
    const auto codes = ReadCodes(Path(u"coleta-codigos.txt"_s));
    const QString ready = Numbers(codes.value("Plantios prontos para coletar (NC Plantio)"));
    // Wells run down the columns (A1, B1, ..., H1, A2) in collection order; plate 2 is partly
    // collected, in that order; control wells stay empty; every well holds a distinct planting.
    // The listed plates exist; the listed plantings are there and not collected yet.
    ExpectCounts(
        db,
        {{u"SELECT count(*) FROM Placa_Poco WHERE id_placa = 3 AND linha = (seq_coleta - 1) % 8 "
          "+ 1 AND coluna = (seq_coleta - 1) / 8 + 1 AND poco = char(64 + linha) || coluna"_s,
          96},
         {u"SELECT count(*) FROM Placa_Poco WHERE amostra = 'C' AND nc_plantio IS NOT NULL"_s, 0},
         {u"SELECT count(*) - max(seq_coleta) FROM Placa_Poco WHERE id_placa = 2 AND "
          "nc_plantio IS NOT NULL"_s,
          0},
         {u"SELECT count(nc_plantio) - count(DISTINCT nc_plantio) FROM Placa_Poco"_s, 0},
         {u"SELECT count(*) FROM Placa WHERE codigo IN (%1)"_s.arg(codes["Placas"].join(u',')),
          int(Numbers(codes.value("Placas")).count(u',') + 1)},
         {u"SELECT count(*) FROM Plantio WHERE nc_plantio IN (%1) AND nc_plantio NOT IN (SELECT "
          "nc_plantio FROM Placa_Poco WHERE nc_plantio IS NOT NULL)"_s.arg(ready),
          int(ready.count(u',') + 1)}});
}

TEST_F(AdminToolTest, DemoTakesTheCodeTypeAndAnExistingCodeListStopsIt)
{
    const QString db = Path(u"demo.db"_s);
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "plantio", "--ncc", "EAN-8"}).ExitCode, 0);
    Numbers(ReadCodes(Path(u"demo-codigos.txt"_s)).value("Plantas a plantar (NCC)"),
            BarcodeType::Ean8);

    const QString other = Path(u"outro.db"_s);
    WriteFile(Path(u"outro-codigos.txt"_s), "meus códigos");
    EXPECT_EQ(RunAdmin({"demo", other, "--operacao", "coleta"}).ExitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(other));
    EXPECT_EQ(FileBytes(Path(u"outro-codigos.txt"_s)), QByteArray("meus códigos"));
}
