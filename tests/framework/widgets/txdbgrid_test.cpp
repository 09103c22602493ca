#include "data/txquery.h"
#include "teststation.h"
#include "txdbgrid.h"
#include "txquerymodel.h"

#include <QImage>
#include <QSignalSpy>
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

TEST_F(TXDBGridTest, InsertsTheRowsReadByAStatementOrRequeriesWhenItCannot)
{
    TXDBGrid grid;
    grid.SetQuery(query.get());
    const std::string select = "SELECT ID_SLOTE, NOME, QTE_TRATAMENTO FROM Lote ";
    const std::tuple<std::string, bool, const char*> cases[] = {
        {select + "WHERE ID_SLOTE = 4", true, "4,1,2,3"},
        {select + "WHERE ID_SLOTE = 99", false, "1,2,3,4"}, // reads nothing
        {select + "WHERE nope = 4", false, "1,2,3,4"},      // fails
        {"SELECT ID_SLOTE FROM Lote WHERE ID_SLOTE = 4", false, "1,2,3,4"},
    };
    for (const auto& [sql, inserted, ids] : cases) {
        station.Exec(QStringLiteral("DELETE FROM Lote WHERE ID_SLOTE = 4"));
        query->Requery();
        grid.Refresh();
        grid.SetCurrentRecNo(3);
        station.Exec(QStringLiteral("INSERT INTO Lote VALUES (4, 'Quarto', 1)"));
        QSignalSpy rowsInserted(grid.Model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(grid.Model(), &QAbstractItemModel::modelReset);
        auto source = NewQuery(&station.Conn());
        source->SetSQL(QString::fromStdString(sql));

        EXPECT_EQ(grid.InsertRowsOrRequery(0, *source), inserted) << sql;
        QStringList shown;
        for (int row = 0; row < grid.Model()->rowCount(); ++row)
            shown.append(grid.Model()->index(row, 0).data().toString());
        EXPECT_EQ(shown.join(u','), QString::fromLatin1(ids)) << sql;
        // One row inserted at the top, not a reset; the fallback resets once.
        const QList<QVariant> first = rowsInserted.value(0);
        EXPECT_EQ(rowsInserted.size() == 1 && first.value(1) == 0 && first.value(2) == 0, inserted)
            << sql;
        EXPECT_EQ(reset.size(), inserted ? 0 : 1) << sql;
        EXPECT_TRUE(grid.CurrentRecNo() == 1 && query->RecNo() == 1) << sql;
        EXPECT_EQ(grid.selectionModel()->selectedRows().value(0).row(), 0) << sql;
    }
}

} // namespace
