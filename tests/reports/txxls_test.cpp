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
    void StartNew(const QString& name)
    {
        m_path = PathOf(name);
        xls.SetNewFile(true);
        xls.SetFileName(m_path);
        ASSERT_TRUE(xls.Open());
    }

    XlsxContent Saved()
    {
        EXPECT_TRUE(xls.Save()) << xls.LastErrorMessage().toStdString();
        return ReadXlsx(m_path);
    }

    QStringList FolderEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
    QString m_path;
    TXXLS xls;
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

TEST_F(TXXLSTest, NewWorkbookKeepsTypedValuesAndRangeFormatsInOneSheetNamedPlan1)
{
    // Column, row, the value written and the one read back (null: no cell at all).
    const std::tuple<int, int, QVariant, QVariant> cells[] = {
        {1, 1, QStringLiteral("Texto"), QStringLiteral("Texto")},
        {2, 1, qint64(123456789012), 123456789012.0},
        {3, 1, 10.5, 10.5},
        {4, 1, QVariant(), QVariant()},
        {5, 1, QStringLiteral("00123"), QStringLiteral("00123")}, // a code stays text
        {6, 1, true, true},
        {1, 3, QStringLiteral("um texto bem mais comprido"),
         QStringLiteral("um texto bem mais comprido")},
        {2, 3, QStringLiteral("ação"), QStringLiteral("ação")},
    };
    StartNew(QStringLiteral("tipos.xlsx"));
    for (const auto& [column, row, written, read] : cells)
        xls.SetCell(column, row, written);
    xls.SetColor(QStringLiteral("A1:B1"), 0x808080);
    xls.SetColor(QStringLiteral("C5"), 0x0000FF); // blue-green-red integer: pure red
    xls.AutoFit(QStringLiteral("A1:B1"));
    xls.SetBorders(QStringLiteral("A1:B3"), TXXLS::xlContinuous);
    xls.SetAlignment(QStringLiteral("A1:B3"), TXXLS::xlCenter);

    const XlsxContent file = Saved();
    EXPECT_EQ(file.SheetNames, QStringList{QStringLiteral("Plan1")});
    for (const auto& [column, row, written, read] : cells) {
        const QString ref = TXXLS::CellName(row, column);
        EXPECT_EQ(file.Cells.contains(ref), read.isValid()) << ref.toStdString();
        EXPECT_EQ(file.At(ref).Value, read) << ref.toStdString();
    }
    EXPECT_EQ(file.At(QStringLiteral("B1")).FillRgb, 0x808080);
    EXPECT_EQ(file.At(QStringLiteral("C5")).FillRgb, 0xFF0000);
    EXPECT_EQ(file.At(QStringLiteral("A2")).Borders, QStringList(4, QStringLiteral("thin")));
    EXPECT_TRUE(file.At(QStringLiteral("C5")).Borders.isEmpty());
    EXPECT_EQ(file.At(QStringLiteral("A2")).Alignment, QStringLiteral("center"));
    // AutoFit takes the whole column into account, not only the range's rows.
    EXPECT_GE(file.ColumnWidths.value(1), 26.0);
    EXPECT_LT(file.ColumnWidths.value(1), 30.0);
    EXPECT_FALSE(file.ColumnWidths.contains(3));
}

TEST_F(TXXLSTest, BadCallsRaiseSpreadsheetErrorsAndAClosedComponentWritesNothing)
{
    EXPECT_THROW(xls.SetColor(QStringLiteral("A1"), 0x808080), XException);
    xls.SetFileName(PathOf(QStringLiteral("nada.xlsx")));
    EXPECT_FALSE(xls.Save());
    EXPECT_TRUE(FolderEntries().isEmpty());

    StartNew(QStringLiteral("erros.xlsx"));
    for (const char* range : {"", "A0", "A1:B", "XFE1", "A1048577", "A1;B2"})
        EXPECT_THROW(xls.SetColor(QLatin1String(range), 0), XException) << range;
    EXPECT_THROW(xls.SetCell(1, 1, QString(TXWorkbook::kMaxTextLength + 1, u'x')), XException);
    EXPECT_NO_THROW(xls.SetColor(QStringLiteral("$B$2:A1"), 0));    // reversed corners are fine
    EXPECT_NO_THROW(xls.SetColor(QStringLiteral("XFD1048576"), 0)); // the last cell
}

TEST_F(TXXLSTest, ExistingFileIsReadChangedAndReplacedWhileJunkStaysClosed)
{
    StartNew(QStringLiteral("existente.xlsx"));
    xls.SetCell(3, 2, 2.5);
    ASSERT_TRUE(xls.Save());
    TXXLS existing;
    existing.SetFileName(m_path);
    ASSERT_TRUE(existing.Open());
    EXPECT_EQ(existing.Workbook()->Value(0, 1, 2), QVariant(2.5));
    existing.SetCell(1, 1, QStringLiteral("trocado"));
    ASSERT_TRUE(existing.Save()) << existing.LastErrorMessage().toStdString();
    EXPECT_EQ(ReadXlsx(m_path).At(QStringLiteral("A1")).Value, QVariant(QStringLiteral("trocado")));
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("existente.xlsx")});

    QFile junk(m_path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("not a workbook");
    junk.close();
    EXPECT_FALSE(existing.Open());
    EXPECT_FALSE(existing.IsOpen());
}

TEST_F(TXXLSTest, SaveNeverReplacesAFileThatAppearedMeanwhile)
{
    StartNew(QStringLiteral("relatorio.xlsx"));
    xls.SetCell(1, 1, QStringLiteral("dados"));
    QFile other(m_path);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("do outro");
    other.close();

    EXPECT_FALSE(xls.Save());
    EXPECT_EQ(xls.LastErrorMessage(),
              QStringLiteral("O arquivo ") + m_path + QStringLiteral(" já existe."));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("do outro"));
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("relatorio.xlsx")}); // no temporary left

    xls.SetFileName(PathOf(QStringLiteral("sem/pasta.xlsx")));
    EXPECT_FALSE(xls.Save());
    xls.SetFileName(PathOf(QStringLiteral("outro.xlsx")));
    EXPECT_TRUE(xls.Save());
}

TEST_F(TXXLSTest, LargeWorkbookStreamsRowsAndReadsBack)
{
    const int rows = 12000; // 60,000 cells: above the streaming threshold
    StartNew(QStringLiteral("grande.xlsx"));
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= 4; ++column)
            xls.SetCell(column, row, row * 10 + column);
        xls.SetCell(5, row, QStringLiteral("linha %1").arg(row));
    }
    xls.SetBorders(QStringLiteral("A1:") + TXXLS::CellName(rows, 5), TXXLS::xlContinuous);

    const XlsxContent file = Saved();
    EXPECT_EQ(file.Cells.size(), rows * 5);
    EXPECT_EQ(file.At(QStringLiteral("E12000")).Value, QVariant(QStringLiteral("linha 12000")));
    EXPECT_EQ(file.At(QStringLiteral("C777")).Value, QVariant(7773.0));
    EXPECT_EQ(file.At(QStringLiteral("D9000")).Borders, QStringList(4, QStringLiteral("thin")));
}

} // namespace
