#include "gridexport.h"

#include "data/txquery.h"
#include "txdbgrid.h"
#include "txxls.h"
#include "xexception.h"
#include "xmessages.h"

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QProgressDialog>
#include <QSet>
#include <chrono>
#include <future>
#include <optional>
#include <vector>

namespace {

constexpr int kProgressStep = 1000; // rows between repaints
constexpr int kGreyBgr = 0x808080;

// Busy cursor for the duration of the export, restored before any message box.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// While the export runs, a close of its screen or of the main window would free the grid and
// the workbook under it: such a close waits, and is carried out once the export is over.
class CloseDeferral : public QObject
{
public:
    explicit CloseDeferral(QWidget* widget)
    {
        for (QWidget* w = widget; w; w = w->parentWidget()) {
            w->installEventFilter(this);
            m_watched.append(w);
        }
    }
    ~CloseDeferral() override
    {
        for (const QPointer<QWidget>& w : std::as_const(m_watched)) {
            if (w)
                w->removeEventFilter(this);
        }
        // The outermost window asked to close closes the inner ones with it.
        for (auto it = m_watched.crbegin(); it != m_watched.crend(); ++it) {
            if (*it && m_asked.contains(it->data())) {
                QMetaObject::invokeMethod(it->data(), &QWidget::close, Qt::QueuedConnection);
                break;
            }
        }
    }
    CloseDeferral(const CloseDeferral&) = delete;
    CloseDeferral& operator=(const CloseDeferral&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        m_asked.insert(watched);
        return true;
    }

private:
    QList<QPointer<QWidget>> m_watched; // from the grid out to the main window
    QSet<QObject*> m_asked;
};

// Model columns in the order the operator sees them.
std::vector<int> ColumnsInGridOrder(const TXDBGrid& grid)
{
    const QHeaderView* header = grid.horizontalHeader();
    std::vector<int> columns;
    for (int visual = 0; visual < grid.Model()->columnCount(); ++visual)
        columns.push_back(header->logicalIndex(visual));
    return columns;
}

// A column naming no field of a query with rows fails as the query's field lookup does.
void CheckFields(const TXDBGrid& grid, const std::vector<int>& columns, int records)
{
    if (records == 0)
        return;
    const QList<TXGridColumn> shown = grid.Model()->EffectiveColumns();
    for (const int column : columns) {
        if (grid.Model()->FieldIndexOf(column) < 0)
            grid.Query()->FieldByName(shown[column].FieldName);
    }
}

void WriteCells(TXDBGrid* grid, TXXLS* xls, QProgressDialog* progress)
{
    TXQuery* query = grid->Query();
    // The model counts rows as of its last refresh; the export wants the query as it is now.
    if (query && grid->Model()->rowCount() != query->RecordCount())
        grid->Refresh();
    const TXQueryModel* model = grid->Model();
    const std::vector<int> columns = ColumnsInGridOrder(*grid);
    const int n = int(columns.size());
    const int records = model->rowCount();
    CheckFields(*grid, columns, records);

    for (int i = 0; i < n; ++i)
        xls->SetCell(i + 1, 1, model->headerData(columns[size_t(i)], Qt::Horizontal));
    progress->setMaximum(records + 1);
    for (int record = 0; record < records; ++record) {
        for (int j = 0; j < n; ++j)
            xls->SetCell(j + 1, record + 2, model->TypedValue(record, columns[size_t(j)]));
        if (record % kProgressStep == 0)
            progress->setValue(record);
    }

    const QString header = QStringLiteral("A1:") + TXXLS::CellName(1, n);
    const QString table = QStringLiteral("A1:") + TXXLS::CellName(records + 1, n);
    xls->SetColor(header, kGreyBgr);
    xls->AutoFit(header);
    xls->SetAlignment(table, TXXLS::xlCenter);
    xls->SetBorders(table, TXXLS::xlContinuous);
    progress->setValue(records);
}

// Saves on a worker thread so the windows keep painting while the file is written.
bool SaveKeepingWindowsPainted(TXXLS* xls, QProgressDialog* progress)
{
    progress->setLabelText(QStringLiteral("Gravando o arquivo..."));
    std::future<bool> saved = std::async(std::launch::async, [xls] { return xls->Save(); });
    do // at once, too: the new label is painted even when the save is quick
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (saved.wait_for(std::chrono::milliseconds(30)) != std::future_status::ready);
    return saved.get();
}

// Writes and saves; the reason when anything fails.
std::optional<XException> WriteAndSave(TXDBGrid* grid, TXXLS* xls)
{
    BusyCursor busy;
    QProgressDialog progress(QStringLiteral("Exportando os dados..."), QString(), 0, 1,
                             grid->window());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    try {
        WriteCells(grid, xls, &progress);
        if (!SaveKeepingWindowsPainted(xls, &progress))
            return XException(xls->LastErrorMessage(), xls->LastErrorClass());
    } catch (const XException& e) {
        return e;
    } catch (const std::exception& e) {
        return XException(QString::fromLocal8Bit(e.what()));
    }
    return std::nullopt;
}

} // namespace

bool ExportQueryGridToXLS(const QString& fileName, TXDBGrid* grid, TXXLS* xls)
{
    const CloseDeferral closeWaits(grid);
    xls->SetNewFile(true);
    xls->SetFileName(fileName);
    if (!xls->Open()) {
        xls->Close();
        return false;
    }
    const std::optional<XException> failure = WriteAndSave(grid, xls);
    if (failure)
        ShowErrorMessage(QStringLiteral("Erro ao Exportar os dados.\r\n Erro: (") +
                         failure->ClassName() + QStringLiteral(")  ") + failure->Message());
    else
        ShowInfoMessage(QStringLiteral("Arquivo ") + fileName +
                        QStringLiteral(" exportado com sucesso."));
    xls->Close();
    return !failure;
}
