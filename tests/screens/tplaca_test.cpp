#include "tplaca.h"
#include "xexception.h"

#include <QTableWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<TPoco> Well(int coluna, int linha, int seq, int coletado, char amostra = 'T',
                            const char* origem = "")
{
    auto poco = std::make_unique<TPoco>();
    poco->Coluna = coluna;
    poco->Linha = linha;
    poco->Seq = seq;
    poco->Coletado = coletado;
    poco->Poco = QString(QChar(char16_t(64 + linha))) + QString::number(coluna);
    poco->Amostra = QString(QLatin1Char(amostra));
    poco->OrigemColeta = QString::fromLatin1(origem);
    return poco;
}

TEST(PlateModel, OrdersOfFreeAndCollectedWells)
{
    // Wells down the first column, sample (T) or control (C), collected (1) or not; then the
    // next free well, the last collected one and the count of wells left.
    const std::tuple<const char*, int, int, int> cases[] = {
        {"", -1, -1, 0},         {"T1T1T0T0", 2, 1, 2}, {"T1T1T1C0", -1, 2, 0}, // all collected
        {"T1T0T1T0", 1, 0, 2},   // a free well before a collected one
        {"C0T1C1T0C0", 3, 2, 1}, // control wells never free, never counted
        {"T0T0C0", 0, -1, 2},    // nothing collected
        {"C1T0", 1, 0, 1},       // a collected control before the free well
    };
    for (const auto& [wells, nextFree, lastCollected, remaining] : cases) {
        SCOPED_TRACE(wells);
        TPlaca placa;
        for (int seq = 1; wells[2 * seq - 2]; ++seq)
            placa.AddPoco(Well(1, seq, seq, wells[2 * seq - 1] - '0', wells[2 * seq - 2]));
        EXPECT_EQ(placa.NextFreeIndex(), nextFree);
        EXPECT_EQ(placa.LastCollectedIndex(), lastCollected);
        EXPECT_EQ(placa.RemainingCount(), remaining);
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
    placa.AddPoco(Well(3, 2, 2, 0, 'T', "OUTRA"));
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
    placa.AddPoco(Well(6, 4, 24, 0, 'C'));
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
