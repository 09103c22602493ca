#include "data/txquery.h"
#include "teststation.h"
#include "txdbgrid.h"
#include "txquerymodel.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

class TXDBGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        station.CreatePlantingTables();
        station.Exec(QStringLiteral("INSERT INTO Lote VALUES (1, 'Primeiro', 3), "
                                    "(2, 'Segundo', 2), (3, 'Terceiro', 5)"));
        query = NewQuery(&station.Conn());
        query->SetSQL(QStringLiteral("SELECT ID_SLOTE, NOME, QTE_TRATAMENTO FROM Lote ORDER BY 1"));
        query->Open();
    }

    static QList<TXGridColumn> LoteColumns()
    {
        return {{QStringLiteral("nome"), QStringLiteral("Sub Lote"), 150,
                 Qt::AlignLeft | Qt::AlignVCenter},
                {QStringLiteral("qte_tratamento"), QStringLiteral("Tot."), 60,
                 Qt::AlignRight | Qt::AlignVCenter},
                {QStringLiteral("sem_campo"), QStringLiteral("Nada"), 40, Qt::AlignLeft}};
    }

    TestStation station;
    std::unique_ptr<TXQuery> query;
};

TEST_F(TXDBGridTest, ModelShowsTheChosenColumnsAndFollowsTheQuery)
{
    TXQueryModel model;
    model.SetQuery(query.get());
    model.SetColumns(LoteColumns());

    ASSERT_TRUE(model.columnCount() == 3 && model.rowCount() == 3);
    const std::tuple<int, int, QVariant, QVariant> cells[] = {
        {0, 0, QStringLiteral("Primeiro"), QStringLiteral("Primeiro")},
        {2, 1, QStringLiteral("5"), qint64(5)},
        {1, 2, QVariant(), QVariant()}}; // a column naming no field stays empty
    for (const auto& [row, column, display, typed] : cells) {
        EXPECT_EQ(model.index(row, column).data(), display) << row << "," << column;
        EXPECT_EQ(model.TypedValue(row, column), typed) << row << "," << column;
    }
    EXPECT_EQ(model.TypedValue(2, 1).typeId(), QMetaType::LongLong);

    // Refresh follows the query through close and reopening on another statement.
    query->Close();
    model.Refresh();
    EXPECT_TRUE(model.rowCount() == 0 && model.columnCount() == 3); // the columns stay

    query->SetSQL(
        QStringLiteral("SELECT ID_SLOTE, NOME, QTE_TRATAMENTO FROM Lote WHERE ID_SLOTE = 2"));
    query->Open();
    model.Refresh();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("Segundo"));
}

TEST_F(TXDBGridTest, GridCurrentRowIsTheQueryRecordAndTheDrawHookShadesCells)
{
    TXDBGrid grid;
    grid.resize(400, 200);
    grid.SetQuery(query.get());
    grid.SetColumns(LoteColumns());
    EXPECT_EQ(grid.CurrentRecNo(), 1); // an opened query stands on its first record
    grid.setCurrentIndex(grid.Model()->index(2, 1));
    EXPECT_EQ(query->RecNo(), 3);

    // Even record numbers are shaded unless selected, as the report screens do it.
    grid.SetDrawHook([](int row, int, bool selected) {
        return row % 2 == 1 && !selected ? TXCellColors{Qt::magenta, Qt::black} : TXCellColors{};
    });
    const auto pixelOfRow = [&grid](int row) {
        const QRect cell = grid.visualRect(grid.Model()->index(row, 2)); // the empty column
        return grid.viewport()->grab().toImage().pixelColor(cell.center());
    };
    grid.SetCurrentRecNo(1);
    EXPECT_EQ(pixelOfRow(1), QColor(Qt::magenta));
    EXPECT_NE(pixelOfRow(2), QColor(Qt::magenta));
    grid.SetCurrentRecNo(2); // the selected even row keeps the selection look
    EXPECT_NE(pixelOfRow(1), QColor(Qt::magenta));

    query->Requery();
    query->SetRecNo(3);
    grid.Refresh();
    EXPECT_EQ(grid.CurrentRecNo(), 3);
    query->Close();
    grid.Refresh();
    EXPECT_EQ(grid.CurrentRecNo(), 0);
}

} // namespace
