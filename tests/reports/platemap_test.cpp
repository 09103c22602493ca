#include "data/txtransaction.h"
#include "pdfbarcodes.h"
#include "registerreports.h"
#include "shellfixture.h"
#include "tfcons_mapaplaca.h"
#include "tplaca.h"
#include "txradiogroup.h"
#include "xexception.h"
#include "xfiledialogs.h"
#include "xlsxinspector.h"

#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QToolButton>
#include <gmock/gmock.h>

namespace {

const QString kStation = QStringLiteral("ESTACAO01");
constexpr qint64 kNc = 200000000001;

QString Sample(int i)
{
    return EanCode(kNc + i, BarcodeType::Ean13);
}

/** A collection station: PL-001 (8 x 12, controls G12 and H12, A1 and C1 collected, B1 collected
 * and transmitted), PL/002 (4 x 6, A1 collected), PL-003 (8 x 12, nothing collected). */
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

    std::vector<TPlateMap> Plates(const QStringList& codes)
    {
        std::vector<TPlateMap> plates(size_t(codes.size()));
        for (size_t i = 0; i < plates.size(); ++i)
            EXPECT_TRUE(LoadPlateMap(db.get(), codes[qsizetype(i)], {kStation, 1}, plates[i]));
        return plates;
    }

    QString Out(const QString& name) const { return station.FilePath(name); }

    std::unique_ptr<TXConnection> db;
};

TEST_F(PlateMapTest, SheetHasOneWorksheetPerPlateLaidOutAsThePlate)
{
    ExportPlateMaps(TPlateMapFormat::Xlsx, Plates({"PL-001", "PL/002"}), Out("m.xlsx"), {});
    const XlsxContent sheet = ReadXlsx(Out("m.xlsx"));
    EXPECT_EQ(sheet.SheetNames, (QStringList{"PL-001", "PL_002"})); // "/" is not allowed
    // Cell, value, fill.
    const std::tuple<const char*, QVariant, int> cases[] = {
        {"B1", QStringLiteral("PL-001"), -1},
        {"B2", kStation, -1},
        {"B4", QStringLiteral("2024-03-01 08:02:00"), -1},
        {"B7", 1.0, 0xC0C0C0},                            // column numbers across
        {"A9", QStringLiteral("B"), 0xC0C0C0},            // row letters down
        {"B8", double(Sample(0).toLongLong()), 0x008000}, // A1
        {"B9", double(Sample(1).toLongLong()), 0x008000}, // B1, transmitted
        {"B11", QVariant(), 0xFFFFFF},                    // D1, free
        {"M15", QStringLiteral("Controle"), 0xFF0000},    // H12
    };
    for (const auto& [ref, value, fill] : cases) {
        EXPECT_EQ(sheet.At(QLatin1String(ref)).Value, value) << ref;
        EXPECT_EQ(sheet.At(QLatin1String(ref)).FillRgb, fill) << ref;
    }
    EXPECT_EQ(sheet.At(QStringLiteral("B8")).NumberFormat, QStringLiteral("0")); // every digit

    const XlsxContent second = ReadXlsx(Out("m.xlsx"), 2);
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
    const std::pair<int, QString> expected[] = {
        {1, "PL-001;A1;A;1;1;amostra;" + Sample(0) + ";OPER;2024-03-01 08:00:00;não"},
        {2, "PL-001;B1;B;1;2;amostra;" + Sample(1) + ";OPER;2024-03-01 08:01:00;sim"},
        {4, "PL-001;D1;D;1;4;vazio;;;;"},
        {96, "PL-001;H12;H;12;96;controle;;;;"},
        {97, "PL/002;A1;A;1;1;amostra;" + Sample(3) + ";OPER;2024-03-02 09:00:00;não"},
    };
    for (const auto& [at, line] : expected)
        EXPECT_EQ(lines[at], line);

    // A folder that does not exist cannot be written (a taken name: the tool's test).
    EXPECT_THROW(ExportPlateMaps(TPlateMapFormat::Csv, plates, Out("nenhuma/m.csv"), {}),
                 XException);
}

TEST_F(PlateMapTest, BrapiSubmissionFollowsTheVendorFieldRules)
{
    const TPlateMapExportOptions options{.ClientId = "LAB-7", .SampleType = "DNA", .Printed = {}};
    // Refused: mixed plate sizes, a plate without samples. Nothing is written.
    const std::pair<QStringList, const char*> refused[] = {
        {{"PL-001", "PL/002"}, "só placas de 8 x 12 poços"},
        {{"PL-003"}, "nenhum poço coletado"},
    };
    for (const auto& [codes, refusal] : refused) {
        const auto plates = Plates(codes);
        EXPECT_THAT(
            [&] { ExportPlateMaps(TPlateMapFormat::Brapi, plates, Out("r.json"), options); },
            testing::ThrowsMessage<XException>(testing::HasSubstr(refusal)));
        EXPECT_FALSE(QFile::exists(Out("r.json")));
    }

    // Every collected sample once; controls and free wells are no samples.
    ExportPlateMaps(TPlateMapFormat::Brapi, Plates({"PL-001"}), Out("m.json"), options);
    QFile file(Out("m.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList samples;
    for (const char* well : {"A1", "B1", "C1"})
        samples << QStringLiteral(R"({"clientSampleId":"%1","column":1,"row":"%2","well":"%3"})")
                       .arg(Sample(well[0] - 'A'), QLatin1String(well, 1), QLatin1String(well));
    EXPECT_EQ(
        QString::fromUtf8(QJsonDocument::fromJson(file.readAll()).toJson(QJsonDocument::Compact)),
        QStringLiteral(R"({"clientId":"LAB-7","numberOfSamples":3,"plates":[{)"
                       R"("clientPlateBarcode":"PL-001","clientPlateId":"PL-001",)"
                       R"("sampleSubmissionFormat":"PLATE_96","samples":[%1]}],)"
                       R"("sampleType":"DNA"})")
            .arg(samples.join(u',')));
}

TEST_F(PlateMapTest, PdfPrintsOnePagePerPlate)
{
    const TPlateMapExportOptions options{
        .ClientId = {}, .SampleType = {}, .Printed = QDateTime(QDate(2024, 3, 4), QTime(10, 0))};
    ExportPlateMaps(TPlateMapFormat::Pdf, Plates({"PL-001", "PL/002"}), Out("m.pdf"), options);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {Out("m.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
    ASSERT_EQ(text.exitCode(), 0);
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
    ASSERT_EQ(pages.size(), 3); // two pages, then the text after the last break
    const QStringList wanted[] = {{"Placa PL-001", "Estação: ESTACAO01", "04/03/2024", Sample(0),
                                   Sample(1), Sample(2), "CONTROLE"},
                                  {"Placa PL/002", Sample(3)}};
    for (int page = 0; page < 2; ++page)
        for (const QString& part : wanted[page])
            EXPECT_TRUE(pages[page].contains(part)) << page << ": " << part.toStdString();
    EXPECT_EQ(PdfBarcodes(Out("m.pdf")), QStringList({"CODE-128:PL-001", "CODE-128:PL/002"}));
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
    EXPECT_EQ(CellText(screen->SG, 1, 1), QStringLiteral(""));
    EXPECT_EQ(screen->LContagem->text(), QString());

    // The export takes the plate shown, or every plate with a collected well.
    SetFileDialogHandler([&](const TXFileDialogRequest& request) {
        EXPECT_EQ(request.FileName, QStringLiteral("placas.csv"));
        return Out("todas.csv");
    });
    presenter.Clear();
    screen->BCSV->click();
    EXPECT_EQ(presenter.Take(), QStringList{"Leia o código de uma placa antes de exportar."});
    screen->RGExportar->SetItemIndex(1);
    screen->BCSV->click();
    SetFileDialogHandler({});
    EXPECT_EQ(presenter.Texts(),
              QStringList{"Arquivo " + Out("todas.csv") + " exportado com sucesso."});
    QFile file(Out("todas.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).count(QStringLiteral("\r\nPL")), 96 + 24);
}

} // namespace
