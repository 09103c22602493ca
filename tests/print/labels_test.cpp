#include "pdfbarcodes.h"
#include "tlabels.h"
#include "xexception.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

TLabelJob Job(TSymbology symbology, const QStringList& codes, int copies = 1, int start = 1)
{
    TLabelJob job;
    for (const QString& code : codes)
        job.Labels.push_back({symbology, code, {QStringLiteral("NC 12"), QStringLiteral("REP 3")}});
    job.Copies = copies;
    job.Start = start;
    return job;
}

int Pages(const QString& pdf)
{
    QFile file(pdf);
    return file.open(QIODevice::ReadOnly) ? int(file.readAll().count("/Type /Page\n")) : -1;
}

} // namespace

// Printed at the sizes the sheets allow, each barcode reads back as exactly its code. The start
// position puts the first label alone on the first sheet; copies fill places like labels.
// (zbarimg reports a symbol once per page, however often it is printed there.)
TEST(Labels, EveryPrintedBarcodeReadsBackAsItsCode)
{
    struct Case
    {
        TSymbology Symbology;
        const char* Reader;
        QStringList Codes;
        const char* Sheet;
    };
    const Case cases[] = {
        {TSymbology::Ean13,
         "EAN-13",
         {"4006381333931", "2000000000015", "7891000000618"},
         "a4-5x13"},
        {TSymbology::Ean8, "EAN-8", {"96385074", "12345670"}, "a4-4x10"},
        {TSymbology::Code128, "CODE-128", {"PL-001", "placa/7", "0042"}, "carta-3x10"},
        {TSymbology::Qr, "QR-Code", {"PL-001", "PL-002"}, "a4-3x8"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Reader);
        const QString pdf = dir.filePath(QString::fromLatin1(c.Reader) + QStringLiteral(".pdf"));
        const TLabelSheet& sheet = *FindLabelSheet(QString::fromLatin1(c.Sheet));
        ExportLabels(pdf, sheet, 203, Job(c.Symbology, c.Codes, 1, sheet.PerPage()));
        QStringList expected;
        for (const QString& code : c.Codes)
            expected << QString::fromLatin1(c.Reader) + u':' + code;
        expected.sort();
        EXPECT_EQ(PdfBarcodes(pdf), expected);
        EXPECT_EQ(Pages(pdf), 2);
    }
    const QString copies = dir.filePath(QStringLiteral("copies.pdf"));
    ExportLabels(copies, *FindLabelSheet(QStringLiteral("a4-3x8")), 203,
                 Job(TSymbology::Ean13, {"2000000000015"}, 25, 1));
    EXPECT_EQ(PdfBarcodes(copies), QStringList({"EAN-13:2000000000015", "EAN-13:2000000000015"}));
    EXPECT_EQ(Pages(copies), 2);
}

// Places on the page: row by row, the presets centred on A4 (210 x 297) or Letter (215.9 x 279.4).
TEST(Labels, PlacesFollowTheSheet)
{
    // Sheet, slot, its page and top left corner.
    using Case = std::tuple<TLabelSheet, int, int, double, double>;
    const auto preset = [](const char* name) { return *FindLabelSheet(QString::fromLatin1(name)); };
    const TLabelSheet custom = CustomLabelSheet(210, 297, 10, 5, 50, 30, 2, 1);
    const Case cases[] = {
        {preset("a4-3x8"), 0, 0, 0, 0.5},
        {preset("a4-3x8"), 23, 0, 140, 259.5},
        {preset("a4-3x8"), 24, 1, 0, 0.5},
        {preset("a4-5x13"), 6, 0, 45.35, 31.9},
        {preset("a4-5x13"), 64, 0, 167.15, 265.1},
        {preset("a4-4x10"), 39, 0, 153.5, 250.1},
        {preset("a4-2x7"), 13, 0, 106.25, 243.75},
        {preset("carta-3x10"), 29, 0, 144.5, 241.3},
        {preset("carta-4x10"), 5, 0, 55.9, 38.1},
        {custom, 2, 0, 109, 10},
        {custom, 27, 1, 5, 41},
    };
    EXPECT_EQ(custom.Columns, 3); // (210 - 2 x 5 + 2) / 52
    EXPECT_EQ(custom.Rows, 8);    // (297 - 2 x 10 + 1) / 31
    for (const auto& [sheet, slot, page, x, y] : cases) {
        SCOPED_TRACE(QStringLiteral("%1 #%2").arg(sheet.Name).arg(slot).toStdString());
        const TLabelPlace place = LabelPlace(sheet, slot);
        EXPECT_EQ(place.Page, page);
        EXPECT_NEAR(place.X, x, 0.01);
        EXPECT_NEAR(place.Y, y, 0.01);
    }
    EXPECT_THROW(CustomLabelSheet(210, 297, 10, 5, 250, 30, 0, 0), XException);
}

// One format per label, the printer's own barcode command with the code, whole dots per module
// no smaller than a scanner reads, and everything inside the label.
TEST(Labels, ZplHasOneFormatPerLabelWithThePrintersBarcode)
{
    TLabelJob job = Job(TSymbology::Ean13, {"2000000000015", "4006381333931"}, 3);
    job.Labels.push_back({TSymbology::Code128, QStringLiteral("PL-7"), {QStringLiteral("x_^y")}});
    job.Labels.push_back({TSymbology::Ean8, QStringLiteral("96385074"), {}});
    const QRegularExpression format(QStringLiteral(
        R"(\^XA\n\^CI28\n\^PW(\d+)\n\^LL(\d+)\n\^LH0,0\n((?:\^FO\d+,\d+\^A0N,\d+,\d+\^FH\^FD[^^]*\^FS\n)*))"
        R"(\^FO(\d+),(\d+)\^BY(\d+)\^(BEN|B8N|BCN),(\d+),Y,N(?:,N,A)?\^FD([^^]*)\^FS\n\^PQ(\d)\n\^XZ\n)"));
    for (const int dpi : {203, 300}) {
        SCOPED_TRACE(dpi);
        const QString zpl = QString::fromUtf8(LabelsZpl(job, 50, 25, dpi));
        const std::tuple<const char*, const char*, const char*> wanted[] = {
            {"BEN", "200000000001", "3"},
            {"BEN", "400638133393", "3"},
            {"BCN", "PL-7", "3"},
            {"B8N", "9638507", "3"}};
        auto match = format.globalMatch(zpl);
        int n = 0;
        qsizetype end = 0;
        for (; match.hasNext(); ++n) {
            const QRegularExpressionMatch m = match.next();
            ASSERT_LT(n, 4);
            EXPECT_EQ(m.capturedStart(), end) << "unparsed: " << zpl.mid(end, 40).toStdString();
            end = m.capturedEnd();
            const auto [command, data, copies] = wanted[n];
            EXPECT_EQ(m.captured(7), QLatin1String(command));
            EXPECT_EQ(m.captured(9), QLatin1String(data));
            EXPECT_EQ(m.captured(10), QLatin1String(copies));
            const int width = m.captured(1).toInt(), height = m.captured(2).toInt();
            EXPECT_EQ(width, qRound(50 * dpi / 25.4));
            EXPECT_EQ(height, qRound(25 * dpi / 25.4));
            const int x = m.captured(4).toInt(), y = m.captured(5).toInt();
            const int module = m.captured(6).toInt(), bars = m.captured(8).toInt();
            EXPECT_GE(module * 25.4 / dpi, n == 2 ? 0.25 : 0.264);
            EXPECT_GE(x, 0);
            // EAN: 95 or 67 modules after a left quiet zone of 11 or 7.
            if (n != 2) {
                EXPECT_LE(x + module * (n == 3 ? 74 : 102), width);
            }
            EXPECT_LE(y + bars, height);
        }
        EXPECT_EQ(n, 4);
        EXPECT_EQ(end, zpl.size());
        EXPECT_TRUE(zpl.contains(QStringLiteral("^FDx_5F_5Ey^FS"))); // command characters escaped
    }
}

// Each refusal names what is wrong, and no file is made.
TEST(Labels, RefusalsLeaveNoFile)
{
    // File, symbology, code, label width and height, part of the message.
    const std::tuple<const char*, TSymbology, const char*, double, double, const char*> cases[] = {
        {"narrow.pdf", TSymbology::Ean13, "4006381333931", 30, 25, "ao menos 31,9 x"},
        {"narrow.zpl", TSymbology::Ean13, "4006381333931", 30, 25, "ao menos 44,5 x"},
        {"low.pdf", TSymbology::Ean8, "96385074", 40, 12, "x 15,2 mm"},
        {"short.pdf", TSymbology::Ean13, "400638133393", 70, 37, "13 algarismos"},
        {"long.zpl", TSymbology::Ean8, "400638133393", 70, 37, "8 algarismos"},
        {"check.pdf", TSymbology::Ean13, "4006381333932", 70, 37, "verificador"},
        {"caret.zpl", TSymbology::Code128, "PL^1", 70, 37, "comando"},
    };
    QTemporaryDir dir;
    for (const auto& [name, symbology, code, width, height, message] : cases) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        const TLabelSheet sheet = CustomLabelSheet(210, 297, 0, 0, width, height, 0, 0);
        try {
            ExportLabels(path, sheet, 203, Job(symbology, {QString::fromLatin1(code)}));
            ADD_FAILURE() << "printed";
        } catch (const XException& e) {
            EXPECT_THAT(e.Message().toStdString(), testing::HasSubstr(message));
        }
        EXPECT_FALSE(QFile::exists(path));
    }
}
