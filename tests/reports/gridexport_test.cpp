#include "data/txquery.h"
#include "gridexport.h"
#include "scriptedpresenter.h"
#include "teststation.h"
#include "txdbgrid.h"
#include "txxls.h"
#include "xlsxinspector.h"

#include <QDir>
#include <QHeaderView>
#include <gtest/gtest.h>

namespace {

class GridExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        station.CreatePlantingTables();
        station.Exec(QStringLiteral(
            "INSERT INTO Plantio VALUES (1, 5001, 123456789012, 7, '2024-01-02 10:00:00', NULL),"
            " (1, 5002.5, 2000, 7, '2024-01-02 10:01:00', 'CENTRAL'),"
            " (2, 7891234567890, 2001, 7, '2024-01-03 08:00:00', NULL)"));
        query = NewQuery(&station.Conn());
        query->SetSQL(QStringLiteral("SELECT nc_plantio, data_plantio, origem_plantio "
                                     "FROM Plantio ORDER BY nc_plantio"));
        query->Open();
        grid.SetQuery(query.get());
        grid.SetColumns({{QStringLiteral("nc_plantio"), QStringLiteral("NC_Plantio"), 100,
                          Qt::AlignRight | Qt::AlignVCenter},
                         {QStringLiteral("data_plantio"), QStringLiteral("Data_Plantio"), 150,
                          Qt::AlignLeft | Qt::AlignVCenter},
                         {QStringLiteral("origem_plantio"), QStringLiteral("Origem"), 100,
                          Qt::AlignLeft | Qt::AlignVCenter}});
    }

    QString Target(const char* name = "a.xlsx") const { return station.Folder() + u'/' + name; }

    TestStation station;
    std::unique_ptr<TXQuery> query;
    TXDBGrid grid;
    TXXLS xls;
    ScriptedPresenter boxes;
};

TEST_F(GridExportTest, WritesHeaderTypedRowsAndFormatsTheTableInTheColumnOrderShown)
{
    grid.setCurrentIndex(grid.Model()->index(1, 0));
    ASSERT_TRUE(ExportQueryGridToXLS(Target(), &grid, &xls));
    EXPECT_FALSE(xls.IsOpen());
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Arquivo ") + Target() +
                                         QStringLiteral(" exportado com sucesso.")});
    EXPECT_EQ(query->RecNo(), 2); // the export reads the rows without moving the operator's row

    const XlsxContent file = ReadXlsx(Target());
    EXPECT_EQ(file.MaxRow, 4);
    EXPECT_EQ(file.MaxColumn, 3);
    // Numbers stay numbers, texts texts; a null is an empty cell.
    const std::pair<const char*, QVariant> cells[] = {
        {"A1", QStringLiteral("NC_Plantio")},
        {"C1", QStringLiteral("Origem")},
        {"A2", 5001.0},
        {"B2", QStringLiteral("2024-01-02 10:00:00")},
        {"C2", QVariant()},
        {"A3", 5002.5},
        {"C3", QStringLiteral("CENTRAL")},
        {"A4", 7891234567890.0},
        {"C4", QVariant()},
    };
    for (const auto& [ref, value] : cells) {
        const XlsxCell cell = file.At(QLatin1String(ref));
        EXPECT_EQ(cell.Value, value) << ref;
        // Every cell of the table, empty ones too, is centred and bordered.
        EXPECT_EQ(cell.Alignment, QStringLiteral("center")) << ref;
        EXPECT_EQ(cell.Borders, QStringList(4, QStringLiteral("thin"))) << ref;
        EXPECT_EQ(cell.FillRgb, ref[1] == '1' ? 0x808080 : -1) << ref;
    }
    EXPECT_GE(file.ColumnWidths.value(2), 19.0); // auto-fitted to the longest date text
    // A 13-digit code shows every digit, never as 7,89123E+12; a fraction stays general.
    EXPECT_EQ(file.At(QStringLiteral("A4")).NumberFormat, QStringLiteral("0"));
    EXPECT_EQ(file.At(QStringLiteral("A3")).NumberFormat, QString());
    EXPECT_GE(file.ColumnWidths.value(1), 14.0);

    grid.horizontalHeader()->moveSection(2, 0);
    ASSERT_TRUE(ExportQueryGridToXLS(Target("b.xlsx"), &grid, &xls));
    const XlsxContent moved = ReadXlsx(Target("b.xlsx"));
    EXPECT_EQ(moved.At(QStringLiteral("A3")).Value, QVariant(QStringLiteral("CENTRAL")));
    EXPECT_EQ(moved.At(QStringLiteral("B3")).Value, QVariant(5002.5));
}

TEST_F(GridExportTest, ColumnWithoutFieldFailsBeforeAnythingIsWritten)
{
    grid.SetColumns(
        {{QStringLiteral("nc_plantio"), QStringLiteral("NC_Plantio"), 100, Qt::AlignRight},
         {QStringLiteral("sem_campo"), QStringLiteral("Nada"), 100, Qt::AlignLeft}});

    EXPECT_FALSE(ExportQueryGridToXLS(Target(), &grid, &xls));
    EXPECT_FALSE(xls.IsOpen());
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().Kind, TXMessageKind::Error);
    EXPECT_TRUE(boxes.Last().Text.contains(QStringLiteral("sem_campo")));
    // Neither the file nor a temporary beside it.
    EXPECT_TRUE(QDir(station.Folder()).entryList({"*xlsx*"}, QDir::Files | QDir::Hidden).isEmpty());

    // With no rows the missing field is never read: the header alone is exported.
    query->Close();
    grid.Refresh();
    EXPECT_TRUE(ExportQueryGridToXLS(Target(), &grid, &xls));
    const XlsxContent file = ReadXlsx(Target());
    EXPECT_EQ(file.MaxRow, 1);
    EXPECT_EQ(file.At(QStringLiteral("B1")).Borders, QStringList(4, QStringLiteral("thin")));
}

} // namespace
