#pragma once

#include "tpoco.h"
#include "xobject.h"

#include <QString>
#include <memory>
#include <vector>

class QTableWidget;

/**
 * The plate loaded on the collection screen and its wells, kept in the order
 * they were read (seq_coleta ascending). Only "T" wells take samples; "C" wells
 * are never free and never counted.
 */
class TPlaca : public TXObject
{
public:
    TPlaca();

    std::vector<std::unique_ptr<TPoco>> Pocos;
    QString Codigo;
    qint32 IdPlaca = -1; // -1: no plate loaded
    qint32 TColuna = 12;
    qint32 TLinha = 8;

    /** No wells, IdPlaca -1, empty Codigo, 8 rows by 12 columns. */
    void Reset();
    /** Frees every well, last to first. */
    void ClearPocos();
    /** Appends a well; the plate owns it. */
    void AddPoco(std::unique_ptr<TPoco> poco);
    int Count() const { return static_cast<int>(Pocos.size()); }
    /** The well at a 0-based index; raises XException "Índice fora do intervalo(TPoco)." beyond
     * the count. */
    TPoco* GetPoco(int index) const;

    /** Index of the first free "T" well in list order; -1 when there is none. */
    int NextFreeIndex() const;
    /** Number of free "T" wells. */
    int RemainingCount() const;
    /**
     * The last collected well at or before the first free one (or the last well
     * when none is free), walking backwards; -1 when there is none.
     */
    int LastCollectedIndex() const;
    /** The first well at that column and row; null outside the plate's size or when none. */
    TPoco* PocoAt(int coluna, int linha) const;
    /** True when a well has been transmitted (non-empty OrigemColeta). */
    bool AnyTransmitted() const;

    /**
     * Sizes the grid to TLinha + 1 rows and TColuna + 1 columns and writes the
     * headers (column numbers in row 0, row letters in column 0) and each
     * well's Seq at its position. Other cells keep their text.
     */
    void FillGrid(QTableWidget* grid) const;
};

/** The row label of a 1-based row: the character of code 64 + row ("A" for 1). */
QString RowLetter(int linha);

/** Sets the text of a grid cell, creating its item when needed. */
void SetCellText(QTableWidget* grid, int row, int column, const QString& text);
/** The text of a grid cell; empty when it has no item. */
QString CellText(const QTableWidget* grid, int row, int column);
/** Empties every cell outside row 0 and column 0 (the headers stay). */
void ClearGridCells(QTableWidget* grid);
