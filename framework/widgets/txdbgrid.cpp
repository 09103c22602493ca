#include "txdbgrid.h"

#include "data/txquery.h"
#include "xexception.h"
#include "xfontscale.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// Room around a header caption: the style's margins and the sort indicator.
constexpr int kCaptionPadding = 16;

// Lets the grid's draw hook choose the colours of each cell before the default drawing.
class TXHookDelegate : public QStyledItemDelegate
{
public:
    explicit TXHookDelegate(TXDBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        if (!m_grid->DrawHook()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const bool selected = option.state & QStyle::State_Selected;
        const TXCellColors colors = m_grid->DrawHook()(index.row(), index.column(), selected);
        QStyleOptionViewItem styled(option);
        if (colors.Background.isValid()) {
            if (selected)
                styled.palette.setColor(QPalette::Highlight, colors.Background);
            else
                painter->fillRect(option.rect, colors.Background);
        }
        if (colors.Foreground.isValid()) {
            styled.palette.setColor(QPalette::Text, colors.Foreground);
            styled.palette.setColor(QPalette::HighlightedText, colors.Foreground);
        }
        QStyledItemDelegate::paint(painter, styled, index);
    }

private:
    TXDBGrid* m_grid;
};

// The row indicator: one mark in a fixed width over rows of a fixed height, so
// its size is known without measuring the section texts, which Qt does for up to
// 200 sections after every insert.
class TXIndicatorHeader : public QHeaderView
{
public:
    explicit TXIndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
    {
        setSectionsClickable(true); // as the default header: a click selects the row
        setHighlightSections(true);
    }

protected:
    QSize sectionSizeFromContents(int) const override
    {
        return {minimumWidth(), defaultSectionSize()};
    }
};

} // namespace

TXDBGrid::TXDBGrid(QWidget* parent) : QTableView(parent), m_model(new TXQueryModel(this))
{
    setVerticalHeader(new TXIndicatorHeader(this));
    setModel(m_model);
    setItemDelegate(new TXHookDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // Fixed row heights and a narrow indicator column keep a million rows cheap to lay out.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(u'▶') + 8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
}

void TXDBGrid::SetQuery(TXQuery* query)
{
    m_model->SetQuery(query);
    Refresh();
}

void TXDBGrid::SetColumns(const QList<TXGridColumn>& columns)
{
    m_model->SetColumns(columns);
    Refresh();
}

void TXDBGrid::Refresh()
{
    m_model->Refresh();
    ApplyWidths();
    TXQuery* query = Query();
    if (query && query->RecNo() > 0 && m_model->columnCount() > 0)
        SetCurrentRecNo(query->RecNo());
}

bool TXDBGrid::InsertRowsOrRequery(int position, TXQuery& source)
{
    TXQuery* query = Query();
    if (query && query->Active()) {
        const int at = std::clamp(position, 0, m_model->rowCount());
        try {
            source.Open();
            if (m_model->InsertRows(at, source) > 0) {
                SetCurrentRecNo(at + 1);
                return true;
            }
        } catch (const XException&) {
            // The requery below reads what the failed statement would have.
        }
    }
    if (query)
        query->Requery();
    Refresh();
    return false;
}

void TXDBGrid::ApplyWidths()
{
    if (m_model->Columns().isEmpty())
        return; // columns made from the fields keep the header's default width
    // The design width in the desktop font, and never narrower than the caption.
    const QFontMetrics header = horizontalHeader()->fontMetrics();
    for (int i = 0; i < m_model->Columns().size(); ++i) {
        const QString caption = m_model->headerData(i, Qt::Horizontal).toString();
        setColumnWidth(i, std::max(Scaled(m_model->Columns()[i].Width),
                                   header.horizontalAdvance(caption) + kCaptionPadding));
    }
}

int TXDBGrid::CurrentRecNo() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TXDBGrid::SetCurrentRecNo(int recNo)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const int row = std::clamp(recNo, 1, rows) - 1;
    const int column = std::max(currentIndex().column(), 0);
    setCurrentIndex(m_model->index(row, std::min(column, m_model->columnCount() - 1)));
}

void TXDBGrid::SetDrawHook(TXCellDrawHook hook)
{
    m_drawHook = std::move(hook);
    viewport()->update();
}

void TXDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    m_model->SetIndicatorRow(current.isValid() ? current.row() : -1);
    // The screens read "the current row" from the query: keep its cursor on the grid's row.
    if (current.isValid() && Query() && current.row() + 1 != Query()->RecNo())
        Query()->SetRecNo(current.row() + 1);
}
