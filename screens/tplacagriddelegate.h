#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class TPlaca;
class TPoco;

/** The fill of a well cell: red for "C" wells, green once collected, white when free. */
QColor PocoColor(const TPoco& poco);

/**
 * Draws the plate grid SG: row 0 and column 0 are fixed header cells, the
 * others are coloured by the well at that position (PocoAt of the plate) and
 * every non-empty text is centred in its cell. Cells without a well keep the
 * default drawing. The plate is not owned and must outlive the delegate's use.
 */
class TPlacaGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TPlacaGridDelegate(const TPlaca* placa, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const TPlaca* m_placa;
};
