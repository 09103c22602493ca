#include "tplaca.h"
#include "xexception.h"

#include <QTableWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<TPoco> Well(int coluna, int linha, int seq, int coletado, const char* amostra = "T",
                            const char* origem = "")
{
    auto poco = std::make_unique<TPoco>();
    poco->Coluna = coluna;
    poco->Linha = linha;
    poco->Seq = seq;
    poco->Coletado = coletado;
    poco->Poco = QString(QChar(char16_t(64 + linha))) + QString::number(coluna);
    poco->Amostra = QString::fromLatin1(amostra);
    poco->OrigemColeta = QString::fromLatin1(origem);
    return poco;
}

/** A plate whose wells run down the first column with the given states ("T1", "C0", ...). */
void Fill(TPlaca& placa, std::initializer_list<const char*> states)
{
    int seq = 0;
    for (const char* state : states) {
        ++seq;
        const char amostra[2] = {state[0], '\0'};
        placa.AddPoco(Well(1, seq, seq, state[1] - '0', amostra));
    }
}

TEST(PlateModel, OrdersOfFreeAndCollectedWells)
{
    struct Case
    {
        const char* name;
        std::initializer_list<const char*> wells;
        int nextFree;
        int lastCollected;
        int remaining;
    };
    const Case cases[] = {
        {"empty", {}, -1, -1, 0},
        {"collected, collected, free, free", {"T1", "T1", "T0", "T0"}, 2, 1, 2},
        {"all collected", {"T1", "T1", "T1", "C0"}, -1, 2, 0},
        {"a free well before a collected one", {"T1", "T0", "T1", "T0"}, 1, 0, 2},
        {"control wells never free, never counted", {"C0", "T1", "C1", "T0", "C0"}, 3, 2, 1},
        {"nothing collected", {"T0", "T0", "C0"}, 0, -1, 2},
        {"collected control before the free well", {"C1", "T0"}, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPlaca placa;
        Fill(placa, c.wells);
        EXPECT_EQ(placa.NextFreeIndex(), c.nextFree);
        EXPECT_EQ(placa.LastCollectedIndex(), c.lastCollected);
        EXPECT_EQ(placa.RemainingCount(), c.remaining);
        EXPECT_FALSE(placa.AnyTransmitted());
    }
}

TEST(PlateModel, ResetLookupAndTransmission)
{
    TPlaca placa;
    placa.IdPlaca = 7;
    placa.Codigo = u"PL7"_s;
    placa.TLinha = 2;
    placa.TColuna = 3;
    placa.AddPoco(Well(1, 1, 1, 1));
    placa.AddPoco(Well(3, 2, 2, 0, "T", "OUTRA"));
    placa.AddPoco(Well(4, 1, 3, 0)); // beyond the plate's columns
    placa.AddPoco(Well(1, 1, 4, 0)); // same place as the first: the first wins
    EXPECT_TRUE(placa.AnyTransmitted());
    EXPECT_EQ(placa.PocoAt(1, 1), placa.GetPoco(0));
    EXPECT_EQ(placa.PocoAt(3, 2), placa.GetPoco(1));
    EXPECT_EQ(placa.PocoAt(4, 1), nullptr);
    EXPECT_EQ(placa.PocoAt(1, 3), nullptr);
    EXPECT_THROW(placa.GetPoco(4), XException);

    placa.Reset();
    EXPECT_EQ(placa.Count(), 0);
    EXPECT_EQ(placa.IdPlaca, -1);
    EXPECT_EQ(placa.TLinha, 8); // back to the standard plate
    EXPECT_FALSE(placa.AnyTransmitted());
}

TEST(PlateModel, FillGridOfAFourBySixPlate)
{
    TPlaca placa;
    placa.TLinha = 4;
    placa.TColuna = 6;
    placa.AddPoco(Well(1, 1, 1, 1));
    placa.AddPoco(Well(1, 2, 2, 0));
    placa.AddPoco(Well(6, 4, 24, 0, "C"));
    QTableWidget grid;
    placa.FillGrid(&grid);
    EXPECT_EQ(CellText(&grid, 1, 1), u"1"_s);
    EXPECT_EQ(CellText(&grid, 2, 1), u"2"_s);
    EXPECT_EQ(CellText(&grid, 4, 6), u"24"_s);
    EXPECT_TRUE(CellText(&grid, 1, 2).isEmpty());

    // Blanking keeps the headers.
    ClearGridCells(&grid);
    EXPECT_TRUE(CellText(&grid, 4, 6).isEmpty());
    EXPECT_EQ(CellText(&grid, 4, 0), u"D"_s);
    EXPECT_EQ(CellText(&grid, 0, 6), u"6"_s);
}

} // namespace
