#include "barcode.h"
#include "data/txconnection.h"
#include "data/txtransaction.h"
#include "platemappdf.h"
#include "registerreports.h"
#include "shellfixture.h"
#include "tfcons_mapaplaca.h"
#include "tplaca.h"
#include "xexception.h"
#include "xlsxinspector.h"

#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>

namespace {

const QString kStation = QStringLiteral("ESTACAO01");
constexpr qint64 kNc = 200000000001;

QString Sample(int i)
{
    return EanCode(kNc + i, BarcodeType::Ean13);
}

/**
 * A collection station with PL-001 (8 x 12, controls G12 and H12, A1 and C1
 * collected, B1 collected and transmitted, the rest free), PL/002 (4 x 6, A1
 * collected) and PL-003 (8 x 12, nothing collected).
 */
class PlateMapTest : public ShellTest
{
protected:
    PlateMapTest() : ShellTest(StationOperation::Coleta) {}

    void SetUp() override
    {
        ShellTest::SetUp();
        RegisterReportScreens(mainForm.get());
        db = station.Open();
        const int oper = AddUser(db.get(), QStringLiteral("OPER"), QStringLiteral("Operador"),
                                 QStringLiteral("1234"));
        TXTransaction transaction(db.get()); // one write to the disk, not one per well
        InsertPlaca(db.get(), 1, 1, QStringLiteral("PL-001"));
        InsertPlaca(db.get(), 2, 2, QStringLiteral("PL/002"), 4, 6, 0);
        InsertPlaca(db.get(), 3, 3, QStringLiteral("PL-003"));
        CollectWell(db.get(), 1, 1, kNc, oper, QStringLiteral("2024-03-01 08:00:00"));
        CollectWell(db.get(), 1, 2, kNc + 1, oper, QStringLiteral("2024-03-01 08:01:00"),
                    QStringLiteral("CENTRAL"));
        CollectWell(db.get(), 1, 3, kNc + 2, oper, QStringLiteral("2024-03-01 08:02:00"));
        CollectWell(db.get(), 2, 1, kNc + 3, oper, QStringLiteral("2024-03-02 09:00:00"));
        transaction.Commit();
    }

    void TearDown() override
    {
        db.reset();
        ShellTest::TearDown();
    }

    std::vector<TPlateMap> Plates(const QStringList& codes)
    {
        std::vector<TPlateMap> plates;
        for (const QString& code : codes) {
            TPlateMap plate;
            EXPECT_TRUE(LoadPlateMap(db.get(), code, {kStation, 1}, plate)) << code.toStdString();
            plates.push_back(plate);
        }
        return plates;
    }

    QString Out(const QString& name) const { return station.FilePath(name); }

    std::unique_ptr<TXConnection> db;
};

TEST_F(PlateMapTest, SheetHasOneWorksheetPerPlateLaidOutAsThePlate)
{
    ExportPlateMaps(TPlateMapFormat::Xlsx, Plates({"PL-001", "PL/002"}), Out("m.xlsx"), {});
    const XlsxContent sheet = ReadXlsx(Out("m.xlsx"));
    ASSERT_TRUE(sheet.Ok) << sheet.Error.toStdString();
    EXPECT_EQ(sheet.SheetNames, (QStringList{"PL-001", "PL_002"})); // "/" is not allowed

    struct CellCase
    {
        const char* Ref;
        QVariant Value;
        int Fill;
    };
    const CellCase cases[] = {
        {"B1", QStringLiteral("PL-001"), -1},
        {"B2", kStation, -1},
        {"B3", QStringLiteral("2024-03-01 08:00:00"), -1},
        {"B4", QStringLiteral("2024-03-01 08:02:00"), -1},
        {"B7", 1.0, 0xC0C0C0},                            // column numbers across
        {"A9", QStringLiteral("B"), 0xC0C0C0},            // row letters down
        {"B8", double(Sample(0).toLongLong()), 0x008000}, // A1
        {"B9", double(Sample(1).toLongLong()), 0x008000}, // B1, transmitted
        {"B11", QVariant(), 0xFFFFFF},                    // D1, free
        {"M14", QStringLiteral("Controle"), 0xFF0000},    // G12
        {"M15", QStringLiteral("Controle"), 0xFF0000},    // H12
    };
    for (const CellCase& test : cases) {
        SCOPED_TRACE(test.Ref);
        const XlsxCell cell = sheet.At(QString::fromLatin1(test.Ref));
        EXPECT_EQ(cell.Value, test.Value);
        EXPECT_EQ(cell.FillRgb, test.Fill);
    }
    EXPECT_EQ(sheet.At(QStringLiteral("B8")).NumberFormat, QStringLiteral("0")); // every digit

    const XlsxContent second = ReadXlsx(Out("m.xlsx"), 2);
    EXPECT_EQ(second.At(QStringLiteral("B1")).Value, QStringLiteral("PL/002"));
    EXPECT_EQ(second.At(QStringLiteral("B8")).Value, double(Sample(3).toLongLong()));
    EXPECT_EQ(second.MaxColumn, 7); // 6 columns after the letters
}

TEST_F(PlateMapTest, CsvHasOneLinePerWellInCollectionOrder)
{
    const std::vector<TPlateMap> plates = Plates({"PL-001", "PL/002"});
    ExportPlateMaps(TPlateMapFormat::Csv, plates, Out("m.csv"), {});
    QFile file(Out("m.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 96 + 24);
    const QStringList expected[] = {
        {"PL-001", "A1", "A", "1", "1", "amostra", Sample(0), "OPER", "2024-03-01 08:00:00", "não"},
        {"PL-001", "B1", "B", "1", "2", "amostra", Sample(1), "OPER", "2024-03-01 08:01:00", "sim"},
        {"PL-001", "D1", "D", "1", "4", "vazio", "", "", "", ""},
        {"PL-001", "H12", "H", "12", "96", "controle", "", "", "", ""},
        {"PL/002", "A1", "A", "1", "1", "amostra", Sample(3), "OPER", "2024-03-02 09:00:00", "não"},
    };
    const int at[] = {1, 2, 4, 96, 97};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lines[at[i]].split(u';'), expected[i]);

    // A folder that does not exist cannot be written (a taken name: the tool's test).
    EXPECT_THROW(ExportPlateMaps(TPlateMapFormat::Csv, plates, Out("nenhuma/m.csv"), {}),
                 XException);
}

TEST_F(PlateMapTest, BrapiSubmissionFollowsTheVendorFieldRules)
{
    TPlateMapExportOptions options;
    options.ClientId = QStringLiteral("LAB-7");
    options.SampleType = QStringLiteral("DNA");
    // Refused: mixed plate sizes, a plate without samples. Nothing is written.
    const std::pair<QStringList, QString> refused[] = {
        {{"PL-001", "PL/002"}, QStringLiteral("só placas de 8 x 12 poços")},
        {{"PL-003"}, QStringLiteral("nenhum poço coletado")},
    };
    for (const auto& [codes, refusal] : refused) {
        try {
            ExportPlateMaps(TPlateMapFormat::Brapi, Plates(codes), Out("r.json"), options);
            ADD_FAILURE() << "accepted " << codes.join(u',').toStdString();
        } catch (const XException& e) {
            EXPECT_TRUE(e.Message().contains(refusal)) << e.what();
        }
        EXPECT_FALSE(QFile::exists(Out("r.json")));
    }

    ExportPlateMaps(TPlateMapFormat::Brapi, Plates({"PL-001"}), Out("m.json"), options);
    QFile file(Out("m.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject body = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(body[QStringLiteral("clientId")], QStringLiteral("LAB-7"));
    EXPECT_EQ(body[QStringLiteral("sampleType")], QStringLiteral("DNA"));
    EXPECT_EQ(body[QStringLiteral("numberOfSamples")], 3);
    const QJsonArray plates = body[QStringLiteral("plates")].toArray();
    ASSERT_EQ(plates.size(), 1);
    const QJsonObject plate = plates[0].toObject();
    EXPECT_EQ(plate[QStringLiteral("clientPlateId")], QStringLiteral("PL-001"));
    EXPECT_EQ(plate[QStringLiteral("clientPlateBarcode")], QStringLiteral("PL-001"));
    EXPECT_EQ(plate[QStringLiteral("sampleSubmissionFormat")], QStringLiteral("PLATE_96"));
    // Every collected sample once; controls and free wells are no samples.
    QStringList samples;
    for (const QJsonValue& value : plate[QStringLiteral("samples")].toArray()) {
        const QJsonObject sample = value.toObject();
        samples << QStringList{sample[QStringLiteral("well")].toString(),
                               sample[QStringLiteral("row")].toString(),
                               QString::number(sample[QStringLiteral("column")].toInt()),
                               sample[QStringLiteral("clientSampleId")].toString()}
                       .join(u'|');
    }
    samples.sort();
    EXPECT_EQ(samples,
              (QStringList{"A1|A|1|" + Sample(0), "B1|B|1|" + Sample(1), "C1|C|1|" + Sample(2)}));
}

TEST_F(PlateMapTest, PdfPrintsOnePagePerPlate)
{
    TPlateMapExportOptions options;
    options.Printed = QDateTime(QDate(2024, 3, 4), QTime(10, 0));
    ExportPlateMapsWithPdf(TPlateMapFormat::Pdf, Plates({"PL-001", "PL/002"}), Out("m.pdf"),
                           options);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {Out("m.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
    ASSERT_EQ(text.exitCode(), 0);
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
    ASSERT_EQ(pages.size(), 3); // two pages, then the text after the last break
    const QStringList wanted[] = {{"Placa PL-001", "Estação: ESTACAO01", "04/03/2024", Sample(0),
                                   Sample(1), Sample(2), "CONTROLE"},
                                  {"Placa PL/002", Sample(3)}};
    for (int page = 0; page < 2; ++page) {
        for (const QString& part : wanted[page])
            EXPECT_TRUE(pages[page].contains(part)) << page << ": " << part.toStdString();
    }
}

// The symbology each code gets and the frame every reader looks for.
TEST(PlateLabelBarcode, ChoosesTheSymbologyAndFramesTheSymbol)
{
    const TBarcode ean = EncodeBarcode(QStringLiteral("3000000000038"));
    ASSERT_EQ(ean.Kind, TBarcodeKind::Ean13);
    ASSERT_EQ(ean.Modules.size(), 95);
    EXPECT_TRUE(ean.Modules.startsWith(QStringLiteral("101")));
    EXPECT_EQ(ean.Modules.mid(45, 5), QStringLiteral("01010"));
    EXPECT_TRUE(ean.Modules.endsWith(QStringLiteral("101")));
    // A wrong check digit is just text; a blank is a Code 128 B character.
    for (const QString& code : {QStringLiteral("3000000000039"), QStringLiteral("PL 2")}) {
        const TBarcode text = EncodeBarcode(code);
        ASSERT_EQ(text.Kind, TBarcodeKind::Code128) << code.toStdString();
        EXPECT_EQ(text.Modules.size(), 11 * (code.size() + 3) + 2);
        EXPECT_TRUE(text.Modules.startsWith(QStringLiteral("11010010000"))); // start B
        EXPECT_TRUE(text.Modules.endsWith(QStringLiteral("1100011101011"))); // stop
    }
    EXPECT_EQ(EncodeBarcode(QString()).Kind, TBarcodeKind::None);
    EXPECT_EQ(EncodeBarcode(QStringLiteral("PL\t1")).Kind, TBarcodeKind::None);
}

TEST_F(PlateMapTest, ScreenShowsTheScannedPlateAndRefusesAnUnknownOne)
{
    station.WriteConnectionFile();
    Start();
    ASSERT_TRUE(mainForm->LCONS_PLACA->isVisible());
    mainForm->LCONS_PLACA->trigger();
    QMdiSubWindow* sub = FindChildForm("TFCons_MapaPlaca");
    ASSERT_NE(sub, nullptr);
    auto* screen = qobject_cast<TFCons_MapaPlaca*>(sub->widget());

    QTest::keyClicks(screen->PLACA_LIDO, QStringLiteral("pl-001"));
    QTest::keyClick(screen->PLACA_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Count(), 0);
    EXPECT_EQ(CellText(screen->SG, 1, 1), Sample(0));           // collected: the sample code
    EXPECT_EQ(CellText(screen->SG, 4, 1), QStringLiteral("4")); // free: its collection order
    EXPECT_EQ(screen->LContagem->text(),
              QStringLiteral("Poços: 96   Controles: 2   Coletados: 3   Livres: 91   "
                             "Transmitidos: 1"));

    screen->PLACA_LIDO->selectAll();
    QTest::keyClicks(screen->PLACA_LIDO, QStringLiteral("XX"));
    QTest::keyClick(screen->PLACA_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Texts(),
              QStringList{QStringLiteral("A Placa de coleta [XX] não está cadastrado. ")});
    EXPECT_EQ(screen->Placa().IdPlaca, -1);
    EXPECT_EQ(CellText(screen->SG, 1, 1), QStringLiteral(""));
    EXPECT_EQ(screen->LContagem->text(), QString());
}

} // namespace
