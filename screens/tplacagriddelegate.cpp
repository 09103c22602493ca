#include "tplacagriddelegate.h"

#include "tplaca.h"
#include "xcolours.h"

#include <QApplication>
#include <QPainter>

QColor PocoColor(const TPoco& poco)
{
    if (poco.Amostra == QLatin1String("C"))
        return kWellControl;
    if (poco.Coletado != 0)
        return kWellCollected;
    return kWellFree;
}

TPlacaGridDelegate::TPlacaGridDelegate(const TPlaca* placa, QObject* parent)
    : QStyledItemDelegate(parent), m_placa(placa)
{
}

void TPlacaGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    const QRect rect = option.rect;
    const bool fixed = index.row() == 0 || index.column() == 0;
    const TPoco* poco = fixed ? nullptr : m_placa->PocoAt(index.column(), index.row());
    QColor fill;
    if (fixed)
        fill = option.palette.color(QPalette::Active, QPalette::Button);
    else if (poco)
        fill = PocoColor(*poco);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!fill.isValid()) {
        // No well here: the view's own drawing, text included.
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(rect, fill);
    if (!text.isEmpty()) {
        // Centred as the operator reads a plate map: half the cell minus half the text.
        const QFontMetrics metrics(option.font);
        const int left = rect.left() + rect.width() / 2 - metrics.horizontalAdvance(text) / 2;
        const int top = rect.top() + rect.height() / 2 - metrics.height() / 2;
        painter->setFont(option.font);
        painter->setPen(Qt::black);
        painter->drawText(QRect(left, top, metrics.horizontalAdvance(text), metrics.height()),
                          Qt::AlignLeft | Qt::AlignTop, text);
    }
    painter->restore();
}
