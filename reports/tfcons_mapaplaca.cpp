#include "tfcons_mapaplaca.h"

#include "tappconfig.h"
#include "tdm.h"
#include "tfmain.h"
#include "tplaca.h"
#include "tplacagriddelegate.h"
#include "txapplication.h"
#include "txedit.h"
#include "txradiogroup.h"
#include "xexception.h"
#include "xfiledialogs.h"
#include "xfontscale.h"
#include "xmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QTableWidget>
#include <QToolButton>

namespace {

constexpr int kCellWidth = 78;
constexpr int kCellHeight = 32;
constexpr int kExportShown = 0;

TXConnection* Conn()
{
    return DM ? DM->Conn : nullptr;
}

TPlateMapSource Source()
{
    return {FMain->AppConfig->maquina, FMain->AppConfig->cb_nc_plantio};
}

QString FileFilter(TPlateMapFormat format)
{
    switch (format) {
    case TPlateMapFormat::Xlsx:
        return QStringLiteral("Arquivo MS-Excel|*.xlsx|Todos Arquivos|*.*");
    case TPlateMapFormat::Csv:
        return QStringLiteral("Arquivo CSV|*.csv|Todos Arquivos|*.*");
    case TPlateMapFormat::Pdf:
        return QStringLiteral("Arquivo PDF|*.pdf|Todos Arquivos|*.*");
    case TPlateMapFormat::Brapi:
        break;
    }
    return QStringLiteral("Envio BrAPI (JSON)|*.json|Todos Arquivos|*.*");
}

QToolButton* ExportButton(const char* name, const QString& caption, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFixedSize(Scaled(QSize(80, 25)));
    return button;
}

} // namespace

TFCons_MapaPlaca::TFCons_MapaPlaca(QWidget* parent)
    : TFBCad(1000, 470, parent), m_placa(std::make_unique<TPlaca>())
{
    setObjectName(QStringLiteral("FCons_MapaPlaca"));
    setWindowTitle(QStringLiteral("Mapa da Placa"));
    CreateControls();
    BConfirm->setText(QStringLiteral("Atualizar"));
    connect(BConfirm, &QToolButton::clicked, this, TXApplication::Guarded([this] {
                if (m_map.IdPlaca != -1)
                    ShowPlaca(m_map.Codigo);
            }));
    RefreshPlaca();
}

TFCons_MapaPlaca::~TFCons_MapaPlaca() = default;

void TFCons_MapaPlaca::CreateControls()
{
    auto* group = new QGroupBox(QStringLiteral(" Placa "), this);
    group->setObjectName(QStringLiteral("GBPlaca"));
    group->setGeometry(Scaled(8), Scaled(4), Scaled(250), Scaled(52));
    auto* edit = new TXEdit(group);
    edit->setObjectName(QStringLiteral("PLACA_LIDO"));
    edit->SetCharCase(TXCharCase::Upper);
    edit->SetMaxLength(20);
    edit->setGeometry(Scaled(10), Scaled(20), Scaled(230), Scaled(22));
    PLACA_LIDO = edit;
    connect(PLACA_LIDO, &QLineEdit::returnPressed, this,
            TXApplication::Guarded([this] { ShowPlaca(PLACA_LIDO->text()); }));

    LContagem = new QLabel(this);
    LContagem->setObjectName(QStringLiteral("LContagem"));
    LContagem->setGeometry(Scaled(270), Scaled(12), Scaled(720), Scaled(18));
    LInfo = new QLabel(this);
    LInfo->setObjectName(QStringLiteral("LInfo"));
    LInfo->setGeometry(Scaled(270), Scaled(34), Scaled(720), Scaled(18));

    SG = new QTableWidget(this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->setItemDelegate(new TPlacaGridDelegate(m_placa.get(), SG));
    SG->horizontalHeader()->hide();
    SG->verticalHeader()->hide();
    SG->horizontalHeader()->setDefaultSectionSize(Scaled(kCellWidth));
    SG->verticalHeader()->setDefaultSectionSize(Scaled(kCellHeight));
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setSelectionMode(QAbstractItemView::NoSelection);
    SG->setFocusPolicy(Qt::NoFocus);
    // A 13-digit sample code fits a well.
    QFont small = SG->font();
    while (small.pointSizeF() > 5 && QFontMetrics(small).horizontalAdvance(
                                         QStringLiteral("0000000000000")) > Scaled(kCellWidth) - 4)
        small.setPointSizeF(small.pointSizeF() - 0.5);
    SG->setFont(small);
    SG->setGeometry(Scaled(8), Scaled(62), width() - Scaled(16), Scaled(300));

    RGExportar = new TXRadioGroup(
        QStringLiteral(" Exportar "),
        {QStringLiteral("Placa exibida"), QStringLiteral("Todas as placas coletadas")}, 2, this);
    RGExportar->setObjectName(QStringLiteral("RGExportar"));
    RGExportar->SetItemIndex(kExportShown);
    RGExportar->setGeometry(Scaled(8), height() - Scaled(90), Scaled(400), Scaled(48));

    auto* cliente = new QLabel(QStringLiteral("Cliente BrAPI"), this);
    cliente->setGeometry(Scaled(420), height() - Scaled(84), Scaled(90), Scaled(18));
    CLIENTE = new QLineEdit(this);
    CLIENTE->setObjectName(QStringLiteral("CLIENTE"));
    CLIENTE->setGeometry(Scaled(420), height() - Scaled(64), Scaled(150), Scaled(22));
    auto* tipo = new QLabel(QStringLiteral("Tipo de amostra"), this);
    tipo->setGeometry(Scaled(580), height() - Scaled(84), Scaled(110), Scaled(18));
    TIPO_AMOSTRA = new QComboBox(this);
    TIPO_AMOSTRA->setObjectName(QStringLiteral("TIPO_AMOSTRA"));
    TIPO_AMOSTRA->addItems(kBrapiSampleTypes);
    TIPO_AMOSTRA->setCurrentText(QStringLiteral("Tissue"));
    TIPO_AMOSTRA->setGeometry(Scaled(580), height() - Scaled(64), Scaled(100), Scaled(22));

    const std::pair<QToolButton**, TPlateMapFormat> buttons[] = {
        {&BPlanilha, TPlateMapFormat::Xlsx},
        {&BCSV, TPlateMapFormat::Csv},
        {&BPDF, TPlateMapFormat::Pdf},
        {&BBrAPI, TPlateMapFormat::Brapi}};
    const char* names[] = {"BPlanilha", "BCSV", "BPDF", "BBrAPI"};
    // Alt+P, Alt+C, Alt+D, Alt+B from the keyboard.
    const QString captions[] = {QStringLiteral("&Planilha"), QStringLiteral("&CSV"),
                                QStringLiteral("P&DF"), QStringLiteral("&BrAPI")};
    for (int i = 0; i < 4; ++i) {
        QToolButton* button = ExportButton(names[i], captions[i], this);
        button->move(Scaled(8) + i * Scaled(84), BConfirm->y());
        *buttons[i].first = button;
        const TPlateMapFormat format = buttons[i].second;
        connect(button, &QToolButton::clicked, this,
                TXApplication::Guarded([this, format] { Exportar(format); }));
    }
}

void TFCons_MapaPlaca::showEvent(QShowEvent* event)
{
    TFBCad::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (!FMain || !FMain->AppConfig->Loaded) {
        ShowErrorMessage(QStringLiteral("Banco de dados não Conectado."));
        CloseChildForm(this);
        return;
    }
    if (CLIENTE->text().isEmpty())
        CLIENTE->setText(FMain->AppConfig->maquina);
    PLACA_LIDO->setFocus();
}

bool TFCons_MapaPlaca::ShowPlaca(const QString& code)
{
    bool found = false;
    if (code.isEmpty()) {
        m_map = TPlateMap();
        RefreshPlaca();
        ShowAlert(QStringLiteral("PLACA deve ser informado."));
    } else {
        found = LoadPlateMap(Conn(), code, Source(), m_map);
        RefreshPlaca();
        if (!found)
            ShowAlert(UnknownPlateMessage(code));
    }
    // Ready for the next scan.
    PLACA_LIDO->setFocus();
    PLACA_LIDO->selectAll();
    return found;
}

void TFCons_MapaPlaca::RefreshPlaca()
{
    // The collection screen's model and delegate draw the grid: same colours, same headers.
    m_placa->Reset();
    m_placa->IdPlaca = m_map.IdPlaca;
    m_placa->Codigo = m_map.Codigo;
    m_placa->TLinha = m_map.TLinha;
    m_placa->TColuna = m_map.TColuna;
    for (const TPlateMapWell& well : m_map.Wells) {
        auto poco = std::make_unique<TPoco>();
        poco->Coluna = well.Coluna;
        poco->Linha = well.Linha;
        poco->Seq = well.Seq;
        poco->Coletado = well.NcPlantio != 0 ? 1 : 0;
        poco->Poco = well.Poco;
        poco->Amostra = well.Amostra;
        poco->OrigemColeta = well.OrigemColeta;
        m_placa->AddPoco(std::move(poco));
    }
    SG->clearContents(); // texts and tooltips of the previous plate
    m_placa->FillGrid(SG);
    for (const TPlateMapWell& well : m_map.Wells) {
        if (well.Linha < 1 || well.Linha > m_map.TLinha || well.Coluna < 1 ||
            well.Coluna > m_map.TColuna)
            continue;
        if (well.Kind() == TWellKind::Sample)
            SetCellText(SG, well.Linha, well.Coluna, well.SampleCode);
        QString tip = well.Poco + QStringLiteral(" - ordem %1").arg(well.Seq);
        if (well.Kind() == TWellKind::Sample)
            tip += QStringLiteral("\n%1\n%2 por %3\n%4")
                       .arg(well.SampleCode, well.DataColeta, well.ColetadoPor,
                            well.Transmitted() ? QStringLiteral("Transmitido")
                                               : QStringLiteral("A Transmitir"));
        SG->item(well.Linha, well.Coluna)->setToolTip(tip);
    }
    SG->horizontalHeader()->resizeSection(0, 30);
    SG->viewport()->update();

    if (m_map.IdPlaca == -1) {
        LContagem->setText(QString());
        LInfo->setText(QString());
        return;
    }
    LContagem->setText(QStringLiteral("Poços: %1   Controles: %2   Coletados: %3   Livres: %4   "
                                      "Transmitidos: %5")
                           .arg(m_map.Wells.size())
                           .arg(m_map.Controls())
                           .arg(m_map.Collected())
                           .arg(m_map.Free())
                           .arg(m_map.Transmitted()));
    LInfo->setText(m_map.Collected() == 0
                       ? QStringLiteral("Nenhum poço coletado.")
                       : QStringLiteral("Coleta de %1 a %2")
                             .arg(m_map.FirstCollection(), m_map.LastCollection()));
}

std::vector<TPlateMap> TFCons_MapaPlaca::PlatesToExport()
{
    std::vector<TPlateMap> plates;
    if (RGExportar->ItemIndex() == kExportShown) {
        if (m_map.IdPlaca != -1)
            plates.push_back(m_map);
        return plates;
    }
    for (const QString& code : CollectedPlateCodes(Conn())) {
        TPlateMap plate;
        if (LoadPlateMap(Conn(), code, Source(), plate))
            plates.push_back(std::move(plate));
    }
    return plates;
}

void TFCons_MapaPlaca::Exportar(TPlateMapFormat format)
{
    const std::vector<TPlateMap> plates = PlatesToExport();
    if (plates.empty()) {
        ShowErrorMessage(RGExportar->ItemIndex() == kExportShown
                             ? QStringLiteral("Leia o código de uma placa antes de exportar.")
                             : QStringLiteral("Nenhuma placa tem poço coletado."));
        return;
    }
    if (format == TPlateMapFormat::Brapi) {
        for (const TPlateMap& plate : plates) {
            if (const QString refusal = BrapiRefusal(plate); !refusal.isEmpty()) {
                ShowErrorMessage(refusal);
                return;
            }
        }
    }
    TXFileDialogRequest request;
    request.Filter = FileFilter(format);
    request.DefaultExt = PlateMapExtension(format);
    request.FileName = (plates.size() == 1 ? plates.front().Codigo : QStringLiteral("placas")) +
                       request.DefaultExt;
    const QString fileName = ChooseNewFile(this, request);
    if (fileName.isEmpty())
        return;

    TPlateMapExportOptions options;
    options.ClientId =
        CLIENTE->text().trimmed().isEmpty() ? FMain->AppConfig->maquina : CLIENTE->text().trimmed();
    options.SampleType = TIPO_AMOSTRA->currentText();
    options.Printed = QDateTime::fromString(NowAsText(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QProgressDialog progress(QStringLiteral("Exportando as placas..."), QString(), 0,
                             int(plates.size()), window());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(plates.size() > 1 ? 0 : 500);
    QString failure;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            ExportPlateMaps(format, plates, fileName, options,
                            [&progress](int done, int) { progress.setValue(done); });
        } catch (const XException& e) {
            failure = QStringLiteral("(") + e.ClassName() + QStringLiteral(")  ") + e.Message();
        }
        QApplication::restoreOverrideCursor();
    }
    progress.close();
    if (!failure.isEmpty())
        ShowErrorMessage(QStringLiteral("Erro ao Exportar os dados.\r\n Erro: ") + failure);
    else
        ShowInfoMessage(QStringLiteral("Arquivo ") + fileName +
                        QStringLiteral(" exportado com sucesso."));
}
