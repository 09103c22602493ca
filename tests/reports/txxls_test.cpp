#include "txworkbook.h"
#include "txxls.h"
#include "xexception.h"
#include "xlsxinspector.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TXXLSTest : public ::testing::Test
{
protected:
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    // Opens a new workbook that Save will write under name.
    void StartNew(TXXLS& xls, const QString& name) const
    {
        xls.SetNewFile(true);
        xls.SetFileName(PathOf(name));
        ASSERT_TRUE(xls.Open());
    }

    QStringList FolderEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

TEST(TXXLSNames, CellAndColumnNamesFollowTheSpreadsheetLetters)
{
    const std::pair<int, const char*> columns[] = {{0, ""},      {1, "A"},      {26, "Z"},
                                                   {27, "AA"},   {53, "BA"},    {702, "ZZ"},
                                                   {703, "AAA"}, {16384, "XFD"}};
    for (const auto& [column, name] : columns)
        EXPECT_EQ(TXXLS::ColumnName(column), QLatin1String(name)) << column;
    EXPECT_EQ(TXXLS::CellName(11, 28), QStringLiteral("AB11"));
    EXPECT_EQ(TXXLS::CellName(0, 4), QString());
}

TEST_F(TXXLSTest, NewWorkbookKeepsValuesTypedInOneSheetNamedPlan1)
{
    // Column, row, the value written and the one read back (null: no cell at all).
    const std::tuple<int, int, QVariant, QVariant> cells[] = {
        {1, 1, QStringLiteral("Texto"), QStringLiteral("Texto")},
        {2, 1, qint64(123456789012), 123456789012.0},
        {3, 1, 10.5, 10.5},
        {4, 1, QVariant(), QVariant()},
        {5, 1, QStringLiteral("00123"), QStringLiteral("00123")}, // a code stays text
        {6, 1, true, true},
        {1, 3, QStringLiteral("ação"), QStringLiteral("ação")},
    };
    TXXLS xls;
    StartNew(xls, QStringLiteral("tipos.xlsx"));
    for (const auto& [column, row, written, read] : cells)
        xls.SetCell(column, row, written);
    xls.SetCell(2, 3, QStringLiteral("apagado"));
    xls.SetCell(2, 3, QVariant()); // null empties what was there
    ASSERT_TRUE(xls.Save()) << xls.LastErrorMessage().toStdString();

    const XlsxContent file = ReadXlsx(PathOf(QStringLiteral("tipos.xlsx")));
    ASSERT_TRUE(file.Ok) << file.Error.toStdString();
    EXPECT_EQ(file.SheetNames, QStringList{QStringLiteral("Plan1")});
    for (const auto& [column, row, written, read] : cells) {
        const QString ref = TXXLS::CellName(row, column);
        EXPECT_EQ(file.Cells.contains(ref), read.isValid()) << ref.toStdString();
        EXPECT_EQ(file.At(ref).Value, read) << ref.toStdString();
    }
    EXPECT_FALSE(file.Cells.contains(QStringLiteral("B3")));
}

TEST_F(TXXLSTest, FormattingOfRangesReachesTheFile)
{
    TXXLS xls;
    StartNew(xls, QStringLiteral("formatos.xlsx"));
    xls.SetCell(1, 1, QStringLiteral("Sub Lote"));
    xls.SetCell(2, 1, QStringLiteral("NCC"));
    xls.SetCell(1, 2, QStringLiteral("um texto bem mais comprido"));
    xls.SetCell(2, 2, 12345);
    xls.SetColor(QStringLiteral("A1:B1"), 0x808080);
    xls.SetColor(QStringLiteral("C5"), 0x0000FF); // blue-green-red integer: pure red
    xls.AutoFit(QStringLiteral("A1:B1"));
    xls.SetBorders(QStringLiteral("A1:B3"), TXXLS::xlContinuous);
    xls.SetAlignment(QStringLiteral("A1:B3"), TXXLS::xlCenter);
    const std::tuple<const char*, int, const char*> alignments[] = {
        {"D1", TXXLS::xlLeft, "left"},
        {"D2", TXXLS::xlRight, "right"},
        {"D3", TXXLS::xlGeneral, ""},
        {"D4", TXXLS::xlCenter, "center"}};
    for (const auto& [cell, alignment, expected] : alignments)
        xls.SetAlignment(QLatin1String(cell), alignment);
    ASSERT_TRUE(xls.Save()) << xls.LastErrorMessage().toStdString();

    const XlsxContent file = ReadXlsx(PathOf(QStringLiteral("formatos.xlsx")));
    ASSERT_TRUE(file.Ok) << file.Error.toStdString();
    EXPECT_EQ(file.At(QStringLiteral("C5")).FillRgb, 0xFF0000);
    EXPECT_EQ(file.At(QStringLiteral("B3")).Borders, QStringList(4, QStringLiteral("thin")));
    EXPECT_TRUE(file.At(QStringLiteral("C5")).Borders.join(QString()).isEmpty());
    for (const auto& [cell, alignment, expected] : alignments)
        EXPECT_EQ(file.At(QLatin1String(cell)).Alignment, QLatin1String(expected)) << cell;
    // AutoFit takes the whole column into account, not only the range's rows.
    EXPECT_GE(file.ColumnWidths.value(1), 26.0);
    EXPECT_LT(file.ColumnWidths.value(1), 30.0);
    EXPECT_GE(file.ColumnWidths.value(2), 5.0);
    EXPECT_LT(file.ColumnWidths.value(2), 8.43); // narrower than the default
    EXPECT_FALSE(file.ColumnWidths.contains(3));
}

TEST_F(TXXLSTest, ClosedComponentIgnoresCellsAndRefusesFormatting)
{
    TXXLS xls;
    EXPECT_FALSE(xls.IsOpen());
    EXPECT_NO_THROW(xls.SetCell(1, 1, QStringLiteral("x")));
    EXPECT_FALSE(xls.IsOpen());
    EXPECT_THROW(xls.SetColor(QStringLiteral("A1"), 0x808080), XException);
    EXPECT_THROW(xls.AutoFit(QStringLiteral("A1")), XException);
    xls.SetFileName(PathOf(QStringLiteral("nada.xlsx")));
    EXPECT_FALSE(xls.Save());
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("nada.xlsx"))));
}

TEST_F(TXXLSTest, BadRangesAndConstantsRaiseSpreadsheetErrors)
{
    TXXLS xls;
    StartNew(xls, QStringLiteral("erros.xlsx"));
    const auto expectSpreadsheetError = [](const std::function<void()>& call) {
        try {
            call();
            ADD_FAILURE() << "no error raised";
        } catch (const XException& e) {
            EXPECT_EQ(e.ClassName(), QStringLiteral("EOleException"));
        }
    };
    for (const char* range : {"", "A", "1", "A0", "A1:", "A1:B", "XFE1", "A1048577", "A1;B2"})
        expectSpreadsheetError([&] { xls.SetColor(QLatin1String(range), 0); });
    expectSpreadsheetError([&] { xls.SetAlignment(QStringLiteral("A1"), 12345); });
    expectSpreadsheetError([&] { xls.SetBorders(QStringLiteral("A1"), 99); });
    expectSpreadsheetError([&] { xls.SetColor(QStringLiteral("A1"), 0x1000000); });
    expectSpreadsheetError([&] { xls.SetCell(0, 1, 1); });
    expectSpreadsheetError(
        [&] { xls.SetCell(1, 1, QString(TXWorkbook::kMaxTextLength + 1, u'x')); });
    expectSpreadsheetError([&] { xls.SelectSheet(2); });
    EXPECT_NO_THROW(xls.SetColor(QStringLiteral("$B$2:A1"), 0)); // reversed corners are fine
}

TEST_F(TXXLSTest, ExistingFileIsReadChangedAndReplacedWhole)
{
    const QString path = PathOf(QStringLiteral("existente.xlsx"));
    {
        TXXLS xls;
        StartNew(xls, QStringLiteral("existente.xlsx"));
        xls.SetCell(1, 1, QStringLiteral("descartado"));
        ASSERT_TRUE(xls.Open()); // opening again starts afresh
        EXPECT_FALSE(xls.Workbook()->Value(0, 0, 0).isValid());
        xls.SetCell(1, 1, QStringLiteral("Nome"));
        xls.SetCell(2, 1, 42);
        xls.SetCell(1, 2, QStringLiteral("Nome")); // shared text used twice
        xls.SetCell(3, 2, 2.5);
        ASSERT_TRUE(xls.Save());
    }
    TXXLS xls;
    xls.SetFileName(path);
    ASSERT_TRUE(xls.Open());
    EXPECT_EQ(xls.BookName(), QStringLiteral("existente.xlsx"));
    const TXWorkbook* book = xls.Workbook();
    EXPECT_EQ(book->Value(0, 0, 0), QVariant(QStringLiteral("Nome")));
    EXPECT_EQ(book->Value(0, 1, 0), QVariant(QStringLiteral("Nome")));
    EXPECT_EQ(book->Value(0, 0, 1), QVariant(42.0));
    EXPECT_EQ(book->Value(0, 1, 2), QVariant(2.5));
    xls.SetCell(2, 1, QStringLiteral("trocado"));
    xls.SetCell(4, 4, 7);
    ASSERT_TRUE(xls.Save()) << xls.LastErrorMessage().toStdString();
    xls.Close();

    const XlsxContent file = ReadXlsx(path);
    ASSERT_TRUE(file.Ok);
    EXPECT_EQ(file.At(QStringLiteral("B1")).Value, QVariant(QStringLiteral("trocado")));
    EXPECT_EQ(file.At(QStringLiteral("C2")).Value, QVariant(2.5));
    EXPECT_EQ(file.At(QStringLiteral("D4")).Value, QVariant(7.0));
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("existente.xlsx")});

    // A missing file or one that is no workbook leaves the component closed.
    QFile junk(PathOf(QStringLiteral("lixo.xlsx")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a workbook");
    junk.close();
    for (const QString& name : {PathOf(QStringLiteral("inexistente.xlsx")), junk.fileName()}) {
        xls.SetFileName(name);
        EXPECT_FALSE(xls.Open()) << name.toStdString();
        EXPECT_FALSE(xls.IsOpen());
    }
}

TEST_F(TXXLSTest, SaveNeverReplacesAFileThatAppearedMeanwhile)
{
    const QString path = PathOf(QStringLiteral("relatorio.xlsx"));
    TXXLS xls;
    StartNew(xls, QStringLiteral("relatorio.xlsx"));
    xls.SetCell(1, 1, QStringLiteral("dados"));
    QFile other(path);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("do outro");
    other.close();

    EXPECT_FALSE(xls.Save());
    EXPECT_EQ(xls.LastErrorClass(), QStringLiteral("EOleException"));
    EXPECT_EQ(xls.LastErrorMessage(),
              QStringLiteral("O arquivo ") + path + QStringLiteral(" já existe."));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("do outro"));
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("relatorio.xlsx")}); // no temporary left

    xls.SetFileName(PathOf(QStringLiteral("sem/pasta.xlsx")));
    EXPECT_FALSE(xls.Save());
    EXPECT_FALSE(xls.LastErrorMessage().isEmpty());
    xls.SetFileName(PathOf(QStringLiteral("outro.xlsx")));
    EXPECT_TRUE(xls.Save());
    EXPECT_TRUE(xls.LastErrorMessage().isEmpty());
}

TEST_F(TXXLSTest, LargeWorkbookStreamsRowsAndReadsBack)
{
    const int rows = 12000; // 60,000 cells: above the streaming threshold
    TXXLS xls;
    StartNew(xls, QStringLiteral("grande.xlsx"));
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= 4; ++column)
            xls.SetCell(column, row, row * 10 + column);
        xls.SetCell(5, row, QStringLiteral("linha %1").arg(row));
    }
    xls.SetBorders(QStringLiteral("A1:") + TXXLS::CellName(rows, 5), TXXLS::xlContinuous);
    ASSERT_TRUE(xls.Save());

    const XlsxContent file = ReadXlsx(PathOf(QStringLiteral("grande.xlsx")));
    ASSERT_TRUE(file.Ok);
    EXPECT_EQ(file.MaxRow, rows);
    EXPECT_EQ(file.Cells.size(), rows * 5);
    EXPECT_EQ(file.At(QStringLiteral("E12000")).Value, QVariant(QStringLiteral("linha 12000")));
    EXPECT_EQ(file.At(QStringLiteral("C777")).Value, QVariant(7773.0));
    EXPECT_EQ(file.At(QStringLiteral("D9000")).Borders, QStringList(4, QStringLiteral("thin")));
}

} // namespace
