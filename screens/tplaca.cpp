#include "tplaca.h"

#include "xexception.h"

#include <QTableWidget>

TPlaca::TPlaca()
{
    Reset();
}

void TPlaca::Reset()
{
    ClearPocos();
    IdPlaca = -1;
    Codigo.clear();
    TLinha = 8;
    TColuna = 12;
}

void TPlaca::ClearPocos()
{
    while (!Pocos.empty())
        Pocos.pop_back();
}

void TPlaca::AddPoco(std::unique_ptr<TPoco> poco)
{
    Pocos.push_back(std::move(poco));
}

TPoco* TPlaca::GetPoco(int index) const
{
    if (index < 0 || index >= Count())
        throw XException(QStringLiteral("Índice fora do intervalo(TPoco)."));
    return Pocos[static_cast<size_t>(index)].get();
}

namespace {

bool IsFree(const TPoco& poco)
{
    return poco.Coletado == 0 && poco.Amostra == QLatin1String("T");
}

} // namespace

int TPlaca::NextFreeIndex() const
{
    for (int i = 0; i < Count(); ++i) {
        if (IsFree(*Pocos[static_cast<size_t>(i)]))
            return i;
    }
    return -1;
}

int TPlaca::RemainingCount() const
{
    int remaining = 0;
    for (const auto& poco : Pocos)
        remaining += IsFree(*poco) ? 1 : 0;
    return remaining;
}

int TPlaca::LastCollectedIndex() const
{
    int start = NextFreeIndex();
    if (start == -1)
        start = Count() - 1;
    for (int i = start; i >= 0; --i) {
        if (Pocos[static_cast<size_t>(i)]->Coletado != 0)
            return i;
    }
    return -1;
}

TPoco* TPlaca::PocoAt(int coluna, int linha) const
{
    if (coluna > TColuna || linha > TLinha)
        return nullptr;
    for (const auto& poco : Pocos) {
        if (poco->Coluna == coluna && poco->Linha == linha)
            return poco.get();
    }
    return nullptr;
}

bool TPlaca::AnyTransmitted() const
{
    for (const auto& poco : Pocos) {
        if (!poco->OrigemColeta.isEmpty())
            return true;
    }
    return false;
}

void TPlaca::FillGrid(QTableWidget* grid) const
{
    grid->setRowCount(TLinha + 1);
    grid->setColumnCount(TColuna + 1);
    for (int c = 1; c <= TColuna; ++c)
        SetCellText(grid, 0, c, QString::number(c));
    for (int r = 1; r <= TLinha; ++r)
        SetCellText(grid, r, 0, RowLetter(r));
    for (const auto& poco : Pocos) {
        // A well outside the grid has no cell to write into.
        if (poco->Linha >= 0 && poco->Linha <= TLinha && poco->Coluna >= 0 &&
            poco->Coluna <= TColuna)
            SetCellText(grid, poco->Linha, poco->Coluna, QString::number(poco->Seq));
    }
}

QString RowLetter(int linha)
{
    return QString(QChar(char16_t(64 + linha)));
}

void SetCellText(QTableWidget* grid, int row, int column, const QString& text)
{
    if (QTableWidgetItem* item = grid->item(row, column)) {
        item->setText(text);
        return;
    }
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    grid->setItem(row, column, item);
}

QString CellText(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void ClearGridCells(QTableWidget* grid)
{
    for (int r = 1; r < grid->rowCount(); ++r) {
        for (int c = 1; c < grid->columnCount(); ++c) {
            if (QTableWidgetItem* item = grid->item(r, c))
                item->setText(QString());
        }
    }
}
