#include "tfcons_base.h"

#include "data/txquery.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfmain.h"
#include "txapplication.h"
#include "txdbgrid.h"
#include "txradiogroup.h"
#include "txxls.h"
#include "xcolours.h"
#include "xfiledialogs.h"
#include "xfontscale.h"
#include "xmessages.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>

namespace {

constexpr int kClientWidth = 991;
constexpr int kClientHeight = 517;
constexpr int kMargin = 6;
constexpr int kFilterHeight = 48;
constexpr int kDeletedChoice = 2;
constexpr int kToTransmitChoice = 1;

} // namespace

const QString TFCons_Base::kExportFilter =
    QStringLiteral("Arquivo MS-Excel|*.xlsx|Todos Arquivos|*.*");
const QString TFCons_Base::kExportExtension = QStringLiteral(".xlsx");

void AddGridColumn(TXDBGrid* grid, const QString& fieldName, const QString& title,
                   Qt::Alignment alignment, int width)
{
    QList<TXGridColumn> columns = grid->Columns();
    columns << TXGridColumn{fieldName, title, width, alignment | Qt::AlignVCenter};
    grid->SetColumns(columns);
}

TFCons_Base::TFCons_Base(TReportDefinition definition, QWidget* parent)
    : TFBCad(kClientWidth, kClientHeight, parent), m_definition(std::move(definition))
{
    setWindowTitle(m_definition.Caption);
    // The reports may be maximised, so the screen grows with its window.
    setProperty(kMaximizableProperty, true);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // It opens at its design size, made smaller where the desktop has less room.
    setMinimumSize(Scaled(QSize(480, 320)));

    RGFiltro = new TXRadioGroup(m_definition.FilterCaption, m_definition.FilterItems,
                                m_definition.FilterColumns, this);
    RGFiltro->setObjectName(QStringLiteral("RGFiltro"));
    RGFiltro->SetItemIndex(kToTransmitChoice);
    connect(RGFiltro, &TXRadioGroup::Clicked, this,
            TXApplication::Guarded([this] { RGFiltroClick(); }));

    Q = new TXQuery(DM ? DM->Conn : nullptr, this);
    Q->setObjectName(QStringLiteral("Q"));
    GCons = new TXDBGrid(this);
    GCons->setObjectName(QStringLiteral("GCons"));
    GCons->SetQuery(Q);
    GCons->hide();
    // Even record numbers are shaded unless selected; record 1 is row 0.
    GCons->SetDrawHook([](int row, int, bool selected) {
        TXCellColors colors;
        if ((row + 1) % 2 == 0 && !selected)
            colors.Background = QApplication::palette("QMenu").color(QPalette::Window);
        return colors;
    });

    LRegistro = new QLabel(QStringLiteral("Registros: 0"), this);
    LRegistro->setObjectName(QStringLiteral("LRegistro"));
    BExportar = new QToolButton(this);
    BExportar->setObjectName(QStringLiteral("BExportar"));
    BExportar->setText(QStringLiteral("Exportar XLS"));
    BExportar->setAutoRaise(true);
    BExportar->setFixedSize(Scaled(90), BConfirm->height());
    connect(BExportar, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BExportarClick(); }));

    BConfirm->setText(QStringLiteral("Atualizar"));
    connect(BConfirm, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BConfirmClick(); }));

    XLS = new TXXLS(this);
    XLS->setObjectName(QStringLiteral("XLS"));
    PlaceControls();
}

void TFCons_Base::PlaceControls()
{
    const int margin = Scaled(kMargin);
    RGFiltro->setGeometry(margin, margin, width() - 2 * margin, Scaled(kFilterHeight));
    const int gridTop = RGFiltro->geometry().bottom() + margin;
    GCons->setGeometry(margin, gridTop, width() - 2 * margin, BConfirm->y() - margin - gridTop);
    BExportar->move(BConfirm->x() - BExportar->width(), BConfirm->y());
    LRegistro->setGeometry(margin + Scaled(2), BConfirm->y(), Scaled(300), BConfirm->height());
}

void TFCons_Base::resizeEvent(QResizeEvent* event)
{
    TFBCad::resizeEvent(event);
    PlaceControls();
}

void TFCons_Base::showEvent(QShowEvent* event)
{
    TFBCad::showEvent(event);
    if (m_loadedOnce)
        return; // a restored window keeps its rows
    m_loadedOnce = true;
    if (!FMain || !FMain->AppConfig->Loaded) {
        ShowErrorMessage(QStringLiteral("Banco de dados não Conectado."));
        CloseChildForm(this);
        return;
    }
    BConfirmClick();
}

void TFCons_Base::BConfirmClick()
{
    if (Q->Active())
        Q->Close();
    if (!m_definition.DeletedSelect.isEmpty() && RGFiltro->ItemIndex() == kDeletedChoice)
        LoadExcluidos();
    else
        LoadMain();
    Q->Open();
    GCons->Refresh();
    ShowRegistros();
}

void TFCons_Base::RGFiltroClick()
{
    SetAtualizarColor(false);
}

QString TFCons_Base::WhereFiltro() const
{
    return RGFiltro->ItemIndex() == kToTransmitChoice ? m_definition.Condition : QString();
}

void TFCons_Base::LoadMain()
{
    LoadStatement(m_definition.Select + WhereFiltro() + m_definition.Order, m_definition.Columns);
}

void TFCons_Base::LoadExcluidos()
{
    LoadStatement(m_definition.DeletedSelect, m_definition.DeletedColumns);
}

void TFCons_Base::LoadStatement(const QString& sql, const QList<TXGridColumn>& columns)
{
    GCons->hide();
    Q->SetSQL(sql);
    GCons->ClearColumns();
    for (const TXGridColumn& column : columns)
        AddGridColumn(GCons, column.FieldName, column.Title, column.Alignment, column.Width);
    GCons->show();
    SetAtualizarColor(true);
}

void TFCons_Base::ShowRegistros()
{
    const int count = Q->Active() ? Q->RecordCount() : 0;
    LRegistro->setText(QStringLiteral("Registros: ") + QString::number(count));
}

void TFCons_Base::SetAtualizarColor(bool current)
{
    m_stale = !current;
    BConfirm->setStyleSheet(BoldTextStyle(current ? kTextGo : kTextAlert));
}

void TFCons_Base::BExportarClick()
{
    TXFileDialogRequest request;
    request.Filter = kExportFilter;
    request.DefaultExt = kExportExtension;
    const QString fileName = ChooseNewFile(this, request);
    if (fileName.isEmpty())
        return;
    ExportGridToXLS(fileName, GCons, XLS);
}
