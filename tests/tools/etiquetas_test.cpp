#include "admintool.h"
#include "pdfbarcodes.h"
#include "stationbuilder.h"

// Labels of demo stations, as PDF sheets: every barcode reads back as one of the codes asked for.
TEST_F(AdminToolTest, EtiquetasPrintTheStationsCodesAsSheets)
{
    const QString plantio = Path(QStringLiteral("plantio.db"));
    const QString coleta = Path(QStringLiteral("coleta.db"));
    ASSERT_EQ(RunAdmin({"demo", plantio, "--operacao", "plantio"}).ExitCode, 0);
    ASSERT_EQ(RunAdmin({"demo", coleta, "--operacao", "coleta"}).ExitCode, 0);
    // Three plants scanned into a list, with their check digits.
    const QStringList plants = {"7891000001011", "7891000001028", "7891000001035"};
    WriteFile(Path(QStringLiteral("lista.csv")), plants.join(u'\n').toUtf8());
    const int planted = Count(OpenStation(plantio).get(),
                              QStringLiteral("SELECT COUNT(*) FROM Plantio WHERE NC_PLANTIO "
                                             "BETWEEN 200000000001 AND 200000000120"));
    const QStringList plates = {"CODE-128:3000000000014", "CODE-128:3000000000021",
                                "CODE-128:3000000000038", "CODE-128:3000000000045"};
    // Station, options, the codes read back (or only their number and their start).
    const std::tuple<QString, QStringList, QStringList, int, const char*> cases[] = {
        {plantio,
         {"--plantas", "--lista", Path(QStringLiteral("lista.csv")), "--folha", "a4-3x8"},
         QStringList(plants).replaceInStrings(QStringLiteral("7"), QStringLiteral("EAN-13:7")),
         3,
         ""},
        {plantio,
         {"--plantios", "--livres", "--de", "200000000001", "--ate", "200000000120", "--folha",
          "a4-5x13"},
         {},
         120 - planted,
         "EAN-13:2000000001"},
        {coleta,
         {"--placas", "--simbologia", "code128", "--pagina", "carta", "--margens", "12,7x4",
          "--etiqueta", "50,8x25,4", "--espaco", "2,5x0"},
         plates,
         4,
         ""},
    };
    int n = 0;
    for (const auto& [db, options, codes, count, start] : cases) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const QString pdf = Path(QStringLiteral("%1.pdf").arg(++n));
        const AdminRun run = RunAdmin(QStringList{"etiquetas", db, "--saida", pdf} + options);
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(QStringLiteral("Etiquetas: %1 de %1").arg(count)));
        const QStringList read = PdfBarcodes(pdf);
        if (!codes.isEmpty()) {
            EXPECT_EQ(read, codes);
        }
        EXPECT_EQ(read.size(), count);
        for (const QString& code : read)
            EXPECT_TRUE(code.startsWith(QString::fromLatin1(start))) << code.toStdString();
    }
}

// ZPL for a thermal printer, and the refusals, which leave no file (or the old one as it was).
TEST_F(AdminToolTest, EtiquetasZplAndRefusals)
{
    const QString coleta = Path(QStringLiteral("coleta.db"));
    ASSERT_EQ(RunAdmin({"demo", coleta, "--operacao", "coleta"}).ExitCode, 0);
    const QString zpl = Path(QStringLiteral("placas.zpl"));
    // Output, options, exit code, part of the error output.
    const std::tuple<QString, QStringList, int, const char*> cases[] = {
        {zpl, {"--placas", "--etiqueta", "50x25", "--dpi", "300"}, 0, "Etiquetas: 4 de 4"},
        {zpl, {"--placas", "--etiqueta", "50x25"}, 1, "já existe"},
        {Path("a.pdf"), {"--placas", "--folha", "a4-7x70"}, 1, "Modelo de folha desconhecido"},
        {Path("b.pdf"), {"--placas", "--etiqueta", "25x20"}, 1, "ao menos 31,9 x"},
        {Path("d.pdf"),
         {"--placas", "--simbologia", "ean8", "--folha", "a4-3x8"},
         1,
         "8 algarismos"},
        {Path("e.txt"), {"--placas", "--folha", "a4-3x8"}, 2, "SAIDA.pdf"},
    };
    for (const auto& [output, options, exitCode, err] : cases) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const AdminRun run =
            RunAdmin(QStringList{"etiquetas", coleta, "--saida", output} + options);
        EXPECT_EQ(run.ExitCode, exitCode) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(QString::fromUtf8(err))) << run.Err.toStdString();
        EXPECT_EQ(QFile::exists(output), output == zpl);
    }
    const QByteArray printed = FileBytes(zpl);
    EXPECT_EQ(printed.count("^XA"), 4);
    // 4 dots (0.34 mm) per module at 300 dpi; the printer adds the check digit.
    EXPECT_EQ(printed.count("^BY4^BEN,"), 4);
    EXPECT_TRUE(printed.contains(",Y,N^FD300000000001^FS")) << printed.left(300).data();
}
