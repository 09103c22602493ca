#include "tfplantio_cad.h"

#include "codekind.h"
#include "codevalidation.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/txtransaction.h"
#include "plantiosql.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tflogin.h"
#include "tfmain.h"
#include "tscanfeedback.h"
#include "txapplication.h"
#include "txcombobox.h"
#include "txdbgrid.h"
#include "txedit.h"
#include "txradiogroup.h"
#include "xcolours.h"
#include "xexception.h"
#include "xfontscale.h"
#include "xmessages.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>

namespace {

const QString kTransmitted =
    QStringLiteral("Informação já transmitido ao Servidor, não pode ser excluído.");

const QString kNotInGrid = QStringLiteral(
    "Os códigos lidos não correspondem a nenhum plantio da lista que possa ser "
    "excluído.\r\nLeia o NCC e/ou o NC Plantio de um plantio do sub-lote escolhido.");

QString LoteScanText(const QString& typed)
{
    return QStringLiteral("Leitura na lista de sub-lotes, não registrada: ") + typed +
           QStringLiteral(".\r\nEscolha o sub-lote com as setas e Enter; depois leia os códigos "
                          "no campo NCC Lido.");
}

bool IsTypedCharacter(const QKeyEvent* event)
{
    const QString text = event->text();
    return !text.isEmpty() && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7f &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

TAppConfig& Config()
{
    return *FMain->AppConfig;
}

TXEdit* CodeEdit(const char* name, int maxLength, QWidget* parent)
{
    auto* edit = new TXEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetCharCase(TXCharCase::Upper);
    edit->SetMaxLength(maxLength);
    return edit;
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QGroupBox* GroupBox(const char* name, const QString& caption, QWidget* parent)
{
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

// Clears Confirming however the confirm action ends, a raised database error included.
class ConfirmingScope
{
public:
    explicit ConfirmingScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~ConfirmingScope() { m_flag = false; }
    ConfirmingScope(const ConfirmingScope&) = delete;
    ConfirmingScope& operator=(const ConfirmingScope&) = delete;

private:
    bool& m_flag;
};

QString ErrorText(const std::exception& e)
{
    if (const auto* x = dynamic_cast<const XException*>(&e))
        return x->Message();
    return QString::fromUtf8(e.what());
}

} // namespace

TFPlantio_Cad::TFPlantio_Cad(QWidget* parent) : TFBCad(592, 473, parent)
{
    setObjectName(QStringLiteral("FPlantio_Cad"));
    setWindowTitle(QStringLiteral("Plantio"));
    CreateControls();
    FieldNames = {QStringLiteral("LOTE"), QStringLiteral("NCC_LIDO"), QStringLiteral("NCP_LIDO")};
    OperationMode = 1;
}

TFPlantio_Cad::~TFPlantio_Cad() = default;

void TFPlantio_Cad::CreateControls()
{
    GBUsuario = GroupBox("GBUsuario", QStringLiteral(" Usuário "), this);
    GBUsuario->setGeometry(DesignRect(8, 4, 280, 48));
    GBUsuario->setEnabled(false);
    USUA = CodeEdit("USUA", 30, GBUsuario);
    USUA->setGeometry(DesignRect(8, 20, 264, 21));

    RGOper = new TXRadioGroup(
        QStringLiteral(" Operação "),
        {QStringLiteral("Inclusão"), QStringLiteral("Exclusão"), QStringLiteral("Filtro")}, 3,
        this);
    RGOper->setObjectName(QStringLiteral("RGOper"));
    RGOper->setGeometry(DesignRect(296, 4, 288, 48));
    RGOper->SetItemIndex(0);

    GBLote = GroupBox("GBLote", QStringLiteral(" Sub Lote "), this);
    GBLote->setGeometry(DesignRect(8, 56, 576, 52));
    PN_Lote_Falta = Label("PN_Lote_Falta", QStringLiteral("0"), GBLote);
    PN_Lote_Falta->setGeometry(DesignRect(440, 20, 128, 21));
    PN_Lote_Falta->setAlignment(Qt::AlignCenter);
    PN_Lote_Falta->setFrameShape(QFrame::Panel);
    QFont counterFont = PN_Lote_Falta->font();
    counterFont.setBold(true);
    counterFont.setPointSize(12);
    PN_Lote_Falta->setFont(counterFont);
    SetTextColour(PN_Lote_Falta, kTextAlert);
    lote = new TXComboBox(GBLote);
    lote->setObjectName(QStringLiteral("lote"));
    lote->setGeometry(DesignRect(8, 20, 420, 21));

    GBEnvelope = GroupBox("GBEnvelope", QStringLiteral(" Plantio "), this);
    GBEnvelope->setGeometry(DesignRect(8, 112, 576, 64));
    LNCC_Lido = Label("LNCC_Lido", QStringLiteral("NCC Lido"), GBEnvelope);
    LNCC_Lido->setGeometry(DesignRect(8, 16, 150, 14));
    NCC_LIDO = CodeEdit("NCC_LIDO", 13, GBEnvelope);
    NCC_LIDO->setGeometry(DesignRect(8, 32, 150, 21));
    Label11 = Label("Label11", QStringLiteral("NC - Rep"), GBEnvelope);
    Label11->setGeometry(DesignRect(170, 16, 150, 14));
    nc_rep = CodeEdit("nc_rep", 13, GBEnvelope);
    nc_rep->setGeometry(DesignRect(170, 32, 150, 21));
    nc_rep->setEnabled(false);
    LNCP_Lido = Label("LNCP_Lido", QStringLiteral("NC Plantio Lido"), GBEnvelope);
    LNCP_Lido->setGeometry(DesignRect(332, 16, 150, 14));
    NCP_LIDO = CodeEdit("NCP_LIDO", 13, GBEnvelope);
    NCP_LIDO->setGeometry(DesignRect(332, 32, 150, 21));

    QGrid = new TXQuery(DM ? DM->Conn : nullptr, this);
    QGrid->setObjectName(QStringLiteral("QGrid"));
    QAtu = new TXCommand(DM ? DM->Conn : nullptr, this);
    QAtu->setObjectName(QStringLiteral("QAtu"));

    GCad = new TXDBGrid(this);
    GCad->setObjectName(QStringLiteral("GCad"));
    GCad->setGeometry(DesignRect(8, 250, 576, 184));
    GCad->setFocusPolicy(Qt::ClickFocus);
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    GCad->SetColumns({{QStringLiteral("data_plantio"), QStringLiteral("Data Plantio"), 130, left},
                      {QStringLiteral("ncc"), QStringLiteral("NCC"), 130, right},
                      {QStringLiteral("nc"), QStringLiteral("NC"), 100, right},
                      {QStringLiteral("rep"), QStringLiteral("Rep"), 50, right},
                      {QStringLiteral("NC_PLANTIO"), QStringLiteral("NC_Plantio"), 130, left}});
    GCad->SetQuery(QGrid);

    m_feedback = new TScanFeedback(this, DesignRect(8, 182, 576, 64));
    for (TXEdit* edit : {NCC_LIDO, NCP_LIDO})
        edit->SetSelectAllOnFocus(true);
    lote->installEventFilter(this);

    BSetOper = new QToolButton(this);
    BSetOper->setObjectName(QStringLiteral("BSetOper"));
    BSetOper->setText(QStringLiteral("Operação"));
    BSetOper->setAutoRaise(true);
    BSetOper->setGeometry(Scaled(8), height() - Scaled(31), Scaled(80), Scaled(25));
    LReg = Label("LReg", QStringLiteral("Registros: 0"), this);
    LReg->setGeometry(Scaled(96), height() - Scaled(26), Scaled(200), Scaled(16));

    // Speed buttons never take the focus from the scanned fields.
    for (QToolButton* button : {BSetOper, BConfirm, BClose})
        button->setFocusPolicy(Qt::NoFocus);

    setTabOrder(USUA, lote);
    setTabOrder(lote, NCC_LIDO);
    setTabOrder(NCC_LIDO, NCP_LIDO);
    setTabOrder(NCP_LIDO, nc_rep);
    setTabOrder(nc_rep, GCad);
    QWidget* previous = GCad;
    for (int i = 0; i < RGOper->Count(); ++i) {
        setTabOrder(previous, RGOper->Button(i));
        previous = RGOper->Button(i);
    }

    for (TXEdit* edit : {USUA, NCC_LIDO, NCP_LIDO, nc_rep}) {
        edit->installEventFilter(this);
        connect(edit, &TXEdit::Exited, this,
                TXApplication::Guarded([this, edit] { EditExit(edit); }));
    }
    connect(BConfirm, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BConfirmClick(); }));
    connect(BSetOper, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BSetOperClick(); }));
    // The operation switch from the keyboard: the speed button never takes the focus.
    BSetOper->setToolTip(QStringLiteral("Operação (Alt+O)"));
    auto* operShortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_O), this);
    operShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(operShortcut, &QShortcut::activated, this,
            TXApplication::Guarded([this] { BSetOperClick(); }));
    connect(lote, &QComboBox::activated, this, TXApplication::Guarded([this] { loteChange(); }));
}

void TFPlantio_Cad::showEvent(QShowEvent* event)
{
    TFBCad::showEvent(event);
    // Restoring a minimised screen shows it again; the login belongs to the first showing only.
    if (!m_opened) {
        m_opened = true;
        // A database error of the opening is shown here, not left to unwind Qt's show.
        TXApplication::Guarded([this] { FormShow(); })();
    }
}

void TFPlantio_Cad::FormShow()
{
    if (!FMain || !Config().Loaded) {
        ShowErrorMessage(QStringLiteral("Banco de dados não Conectado."));
        // Closed once the opening has finished, so the caller never holds a half-closed window.
        QMetaObject::invokeMethod(this, &TFPlantio_Cad::BCloseClick, Qt::QueuedConnection);
        return;
    }
    LoginOperator();
    if (Config().OperatorId < 1) {
        QMetaObject::invokeMethod(this, &TFPlantio_Cad::BCloseClick, Qt::QueuedConnection);
        return;
    }
    USUA->setText(Config().OperatorName);
    LoadLotes();
    ShowRegistros();
    BSetOperClick();
}

void TFPlantio_Cad::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    TFBCad::closeEvent(event);
    if (FMain)
        Config().SetOperator(-1, QString());
}

bool TFPlantio_Cad::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lote && event->type() == QEvent::KeyPress) {
        bool handled = false;
        TXApplication::Guarded([&] { handled = LoteKey(static_cast<QKeyEvent*>(event)); })();
        return handled;
    }
    auto* edit = qobject_cast<TXEdit*>(watched);
    if (!edit)
        return TFBCad::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TXApplication::Guarded([this, edit] { EditKeyDown(edit); })();
            return true;
        }
    }
    return TFBCad::eventFilter(watched, event);
}

bool TFPlantio_Cad::LoteKey(QKeyEvent* event)
{
    // The list has no type-ahead: digits of a scan must never choose a sub-batch.
    if (IsTypedCharacter(event)) {
        m_loteTyped += event->text();
        return true;
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        // Arrows choose in place: the focus stays in the list until Enter.
        m_loteNavigating = true;
        static_cast<QObject*>(lote)->event(event);
        m_loteNavigating = false;
        return true;
    }
    if (!m_loteTyped.isEmpty()) {
        const QString typed = m_loteTyped;
        m_loteTyped.clear();
        ShowAlert(LoteScanText(typed));
        return true;
    }
    if (lote->currentIndex() >= 0)
        MoveFocus(NCC_LIDO);
    return true;
}

void TFPlantio_Cad::MoveFocus(QWidget* widget)
{
    m_refocusing = true;
    widget->setFocus(Qt::OtherFocusReason);
    m_refocusing = false;
}

void TFPlantio_Cad::EditKeyDown(TXEdit* edit)
{
    // Runs the confirm action of the current mode even while "Confirmar" is disabled.
    if (edit == NCP_LIDO)
        BConfirmClick();
    else
        focusNextChild();
}

void TFPlantio_Cad::EditExit(TXEdit* edit)
{
    if (Confirming || m_refocusing || m_closing || !isVisible())
        return;
    ValidateField(edit);
}

void TFPlantio_Cad::Refocus(TXEdit* edit)
{
    m_refocusing = true;
    edit->selectAll();
    edit->setFocus(Qt::OtherFocusReason);
    m_refocusing = false;
}

void TFPlantio_Cad::BSetOperClick()
{
    const bool choosing = !RGOper->isEnabled();
    QFont font = BSetOper->font();
    font.setBold(choosing);
    BSetOper->setFont(font);
    SetTextColour(BSetOper, choosing ? kTextAlert : palette().color(QPalette::WindowText));
    RGOper->setEnabled(choosing);
    BConfirm->setEnabled(!choosing);
    if (choosing) {
        // Arrows then pick the operation.
        if (QRadioButton* chosen = RGOper->Button(std::max(0, RGOper->ItemIndex())))
            MoveFocus(chosen);
        return;
    }

    const int chosen = RGOper->ItemIndex();
    PN_Lote_Falta->setVisible(chosen == 0);
    SetLidoCaptions(chosen == 2);
    if (chosen == 0) {
        OperationMode = 1;
        QGrid->Close();
        QGrid->SetSQL(PlantioGridSQL(SelectedLoteId(), QString()));
        OpenGrid();
        MoveFocus(lote);
    } else if (chosen == 1 || chosen == 2) {
        OperationMode = chosen == 1 ? 4 : 5;
        ClearLote();
        ClearLidos();
        MoveFocus(lote);
    }
}

void TFPlantio_Cad::SetLidoCaptions(bool filter)
{
    LNCC_Lido->setText(filter ? QStringLiteral("NCC") : QStringLiteral("NCC Lido"));
    LNCP_Lido->setText(filter ? QStringLiteral("NC Plantio") : QStringLiteral("NC Plantio Lido"));
    const QColor colour = filter ? kTextAlert : palette().color(QPalette::WindowText);
    SetTextColour(LNCC_Lido, colour);
    SetTextColour(LNCP_Lido, colour);
}

void TFPlantio_Cad::LoadLotes()
{
    std::unique_ptr<TXQuery> query = NewQuery(DM->Conn);
    query->SetSQL(kLotesSQL);
    query->Open();
    lote->clear();
    for (query->First(); !query->Eof(); query->Next()) {
        lote->Items().Add(LoteItemText(query->FieldByName(QStringLiteral("id_slote")).AsInteger(),
                                       query->FieldByName(QStringLiteral("nome")).AsString()));
    }
    lote->setCurrentIndex(-1);
    Update_Lote_Faltando();
}

int TFPlantio_Cad::SelectedLoteId() const
{
    return lote->currentIndex() < 0 ? -1 : LoteIdFromItem(lote->currentText());
}

void TFPlantio_Cad::loteChange()
{
    QGrid->Close();
    QGrid->SetSQL(PlantioGridSQL(SelectedLoteId(), QString()));
    ReopenGrid();
    Update_Lote_Faltando();
    // Chosen from the open list: the next scan is an NCC.
    if (!m_loteNavigating && lote->currentIndex() >= 0)
        MoveFocus(NCC_LIDO);
}

void TFPlantio_Cad::OpenGrid()
{
    QGrid->Open();
    GCad->Refresh();
    ShowRegistros(); // the grid query's after-open
}

void TFPlantio_Cad::ReopenGrid()
{
    if (QGrid->Active()) {
        QGrid->Requery();
        GCad->Refresh();
        ShowRegistros();
    } else {
        OpenGrid();
    }
}

void TFPlantio_Cad::ShowInsertedPlantio()
{
    qint64 ncPlantio = 0;
    qint64 ncc = 0;
    CodeNumber(NCP_LIDO->text(), ncPlantio);
    CodeNumber(NCC_LIDO->text(), ncc);
    m_faltando.Planted(DM->Conn, SelectedLoteId());
    std::unique_ptr<TXQuery> row = NewQuery(DM->Conn);
    row->SetSQL(kPlantioGridNewestRowSQL);
    row->ParamByName(QStringLiteral("slote")).SetInteger(SelectedLoteId());
    row->ParamByName(QStringLiteral("nc_plantio")).SetLargeInt(ncPlantio);
    row->ParamByName(QStringLiteral("ncc")).SetLargeInt(ncc);
    // Re-reading the whole sub-batch would make every scan slower as the sub-batch grows.
    GCad->InsertRowsOrRequery(0, *row);
    ShowRegistros();
}

void TFPlantio_Cad::ShowRegistros()
{
    LReg->setText(QStringLiteral("Registros: ") +
                  (QGrid->Active() ? QString::number(QGrid->RecordCount()) : QString()));
}

int TFPlantio_Cad::Update_Lote_Faltando()
{
    int remaining = 0;
    try {
        remaining = m_faltando.Remaining(DM->Conn, SelectedLoteId());
    } catch (const std::exception& e) {
        ShowAlert(QStringLiteral("Erro ao Consultar Dados (Update_Lote_Faltando): ") +
                  ErrorText(e));
        remaining = -1;
    }
    PN_Lote_Falta->setText(remaining == -1 ? QStringLiteral("0") : QString::number(remaining));
    return remaining;
}

void TFPlantio_Cad::ClearLidos()
{
    NCC_LIDO->clear();
    nc_rep->clear();
    NCP_LIDO->clear();
}

void TFPlantio_Cad::ClearLote()
{
    lote->setCurrentIndex(-1);
    PN_Lote_Falta->setText(QStringLiteral("0"));
}

bool TFPlantio_Cad::ValidateField(QWidget* control)
{
    if (OperationMode != 1)
        return true;
    if (control == lote) {
        if (lote->currentIndex() >= 0)
            return true;
        ShowAlert(QStringLiteral("LOTE deve ser informado."));
        return false;
    }
    auto* edit = qobject_cast<TXEdit*>(control);
    if (edit != NCC_LIDO && edit != NCP_LIDO)
        return true;
    return ValidateCode(edit);
}

bool TFPlantio_Cad::ValidateCode(TXEdit* edit)
{
    const bool isNcc = edit == NCC_LIDO;
    bool refocus = true;
    bool result = false;
    const QString text = edit->text();
    QString codeType;
    QString message;
    qint64 number = 0;
    if (isNcc)
        Config().NccBarcodeType(codeType);
    else
        Config().NcPlantioBarcodeType(codeType);
    if (text.isEmpty()) {
        ShowAlert(isNcc ? QStringLiteral("NCC deve ser informado.")
                        : QStringLiteral("NC Plantio deve ser informado."));
        refocus = false;
    } else if (!isNcc && text.trimmed() == NCC_LIDO->text().trimmed()) {
        // The same label twice would pair a plant with its own code.
        ShowAlert(kNccReadTwiceText);
    } else if (!ValidateBarcode(text, codeType, message)) {
        RefuseCode(message, text, isNcc);
    } else if (!CodeNumber(text, number)) {
        RefuseCode(kCodeNotNumeric, text, isNcc);
    } else {
        result = isNcc ? Valid_NCC(number) : Valid_NCP(number);
    }
    if (!result && (Confirming || refocus))
        Refocus(edit);
    return result;
}

bool TFPlantio_Cad::Valid_NCC(qint64 ncc)
{
    std::unique_ptr<TXQuery> query = NewQuery(DM->Conn);
    query->SetSQL(kValidNccSQL);
    query->ParamByName(QStringLiteral("ncc")).SetFloat(double(ncc));
    query->Open();
    if (query->RecordCount() == 0) {
        RefuseCode(QStringLiteral("O NCC [") + QString::number(ncc) +
                       QStringLiteral("] não está cadastrado ") + QStringLiteral("\r\n") +
                       QStringLiteral(" e/ou já foi cadastrado em plantio de lotes anteriores."),
                   NCC_LIDO->text(), true);
        return false;
    }
    auto field = [&](const char* name) { return query->FieldByName(QString::fromLatin1(name)); };
    if (field("nc_plantio").AsFloat() > 0) {
        ShowAlert(QStringLiteral("NCC já foi coletado. \r\n NC Plantio : ") +
                  field("nc_plantio").AsString() + QStringLiteral("\r\n") +
                  QStringLiteral(" Sub-Lote: ") + field("sublote").AsString() +
                  QStringLiteral("\r\n") + QStringLiteral(" Máquina utilizada: ") +
                  MachineText(field("origem_plantio").AsString(), Config().maquina) +
                  QStringLiteral("\r\n") + QStringLiteral(" Data: ") +
                  field("data_plantio").AsString());
        return false;
    }
    nc_rep->setText(field("nc").AsString() + QStringLiteral(" - ") + field("rep").AsString());
    return true;
}

void TFPlantio_Cad::RefuseCode(const QString& message, const QString& code, bool isNcc)
{
    ShowAlert(message + WrongKindNote(DM->Conn, Config(), code,
                                      isNcc ? TCodeKind::Ncc : TCodeKind::NcPlantio));
}

bool TFPlantio_Cad::Valid_NCP(qint64 ncp)
{
    if (const QString range = Config().NcPlantioRangeMessage(double(ncp)); !range.isEmpty()) {
        RefuseCode(range, NCP_LIDO->text(), false);
        return false;
    }
    try {
        std::unique_ptr<TXQuery> query = NewQuery(DM->Conn);
        query->SetSQL(kValidNcpSQL);
        query->ParamByName(QStringLiteral("ncp")).SetFloat(double(ncp));
        query->Open();
        if (query->RecordCount() == 0)
            return true;
        auto field = [&](const char* name) {
            return query->FieldByName(QString::fromLatin1(name));
        };
        ShowAlert(QStringLiteral("NC Plantio duplicado. \r\n NCC : ") + field("ncc").AsString() +
                  QStringLiteral("\r\n") + QStringLiteral(" NC : ") + field("nc").AsString() +
                  QStringLiteral("\r\n") + QStringLiteral(" Rep : ") + field("rep").AsString() +
                  QStringLiteral("\r\n") + QStringLiteral(" Máquina utilizada: ") +
                  MachineText(field("origem_plantio").AsString(), Config().maquina) +
                  QStringLiteral("\r\n") + QStringLiteral(" Data: ") +
                  field("data_plantio").AsString());
    } catch (const std::exception& e) {
        // Fails closed: a lookup that cannot run must not let a duplicate in.
        ShowAlert(QStringLiteral("Erro ao consultar os dados (Valid_NCP).\r\nMsg. Erro : ") +
                  ErrorText(e));
    }
    return false;
}

void TFPlantio_Cad::BConfirmClick()
{
    switch (OperationMode) {
    case 1:
        IncluirPlantio();
        break;
    case 4:
        ExcluirPlantio();
        break;
    case 5:
        Gravar(5);
        ReopenGrid();
        break;
    default:
        break;
    }
}

void TFPlantio_Cad::IncluirPlantio()
{
    {
        ConfirmingScope confirming(Confirming);
        for (const QString& name : std::as_const(FieldNames)) {
            QWidget* control = FindFieldControl(name);
            const TFieldKind kind = control ? FieldKindOf(control) : TFieldKind::None;
            const bool checked = kind == TFieldKind::Edit || kind == TFieldKind::XComboBox ||
                                 kind == TFieldKind::NumEdit;
            if (checked && !ValidateField(control))
                return;
        }
    }
    const QString stored = QStringLiteral("Gravado: NCC ") + NCC_LIDO->text().trimmed() +
                           QStringLiteral("  →  NC Plantio ") + NCP_LIDO->text().trimmed();
    const bool written = Gravar(1);
    if (written)
        ShowInsertedPlantio();
    else
        ReopenGrid();
    ConfirmingScope confirming(Confirming);
    if (written) {
        m_feedback->ShowAccepted(stored);
        AfterGravar();
        return;
    }
    // Another writer stored one of the codes since the checks: they now say which.
    if (ValidateCode(NCC_LIDO) && ValidateCode(NCP_LIDO))
        ShowAlert(QStringLiteral("O plantio não foi gravado.\r\nLeia os códigos novamente."));
    Update_Lote_Faltando();
}

void TFPlantio_Cad::ExcluirPlantio()
{
    if (!QGrid->Active() || QGrid->RecordCount() == 0) {
        ShowAlert(QStringLiteral("Deve-se selecionar o lançamento a ser excluído."));
        return;
    }
    if (!SelectScannedRow())
        return;
    Gravar(4);
    ReopenGrid();
}

bool TFPlantio_Cad::SelectScannedRow()
{
    struct Scanned
    {
        TXEdit* Edit;
        const char* Column;
        bool Ncc;
    };
    QList<std::pair<const char*, qint64>> wanted;
    for (const Scanned& scanned :
         {Scanned{NCC_LIDO, "ncc", true}, Scanned{NCP_LIDO, "nc_plantio", false}}) {
        const QString text = scanned.Edit->text().trimmed();
        if (text.isEmpty())
            continue;
        QString typeName;
        QString message;
        if (scanned.Ncc)
            Config().NccBarcodeType(typeName);
        else
            Config().NcPlantioBarcodeType(typeName);
        const std::optional<qint64> number = NumberAs(text, typeName, &message);
        if (!number) {
            ShowAlert(message);
            return false;
        }
        wanted.append({scanned.Column, *number});
    }
    // Empty fields: the row the operator selected in the grid.
    if (wanted.isEmpty())
        return true;
    for (int recNo = 1; recNo <= QGrid->RecordCount(); ++recNo) {
        QGrid->SetRecNo(recNo);
        const bool match = std::all_of(wanted.cbegin(), wanted.cend(), [&](const auto& code) {
            return qint64(QGrid->FieldByName(QString::fromLatin1(code.first)).AsFloat()) ==
                   code.second;
        });
        // A transmitted one is made current too: the deletion then says why it refuses.
        if (match) {
            GCad->SetCurrentRecNo(recNo);
            return true;
        }
    }
    ShowAlert(kNotInGrid);
    return false;
}

bool TFPlantio_Cad::Gravar(int mode)
{
    if (mode == 1) {
        qint64 ncPlantio = 0;
        qint64 ncc = 0;
        CodeNumber(NCP_LIDO->text(), ncPlantio);
        CodeNumber(NCC_LIDO->text(), ncc);
        try {
            QAtu->SetCommandText(kPlantioInsertSQL);
            QAtu->ParamByName(QStringLiteral("id_slote")).SetInteger(SelectedLoteId());
            QAtu->ParamByName(QStringLiteral("nc_plantio")).SetLargeInt(ncPlantio);
            QAtu->ParamByName(QStringLiteral("ncc")).SetLargeInt(ncc);
            QAtu->ParamByName(QStringLiteral("id_user")).SetInteger(Config().OperatorId);
            QAtu->ParamByName(QStringLiteral("data_plantio")).SetString(NowAsText());
            if (QAtu->Execute() == 0)
                return false;
        } catch (const std::exception& e) {
            ShowAlert(QStringLiteral("Erro ao ") + QStringLiteral("Incluir") +
                      QStringLiteral(" o plantio.") + QStringLiteral("\r\n") +
                      QStringLiteral("Msg. Erro : ") + ErrorText(e));
        }
    } else if (mode == 4) {
        DeletePlantio();
    } else if (mode == 5) {
        FiltrarPlantio();
    }
    return true;
}

void TFPlantio_Cad::AfterGravar()
{
    ClearLidos();
    if (Update_Lote_Faltando() != 0) {
        PlayAlertSound(TAlertSound::Accepted);
        MoveFocus(NCC_LIDO);
        return;
    }
    const QString stored = m_feedback->Status()->text();
    ShowAlert(QStringLiteral("O Lote está completo com as linhagens."), TAlertSound::Complete);
    m_feedback->ShowAccepted(stored + QStringLiteral(". Sub-lote completo."));
    ClearLote();
}

void TFPlantio_Cad::DeletePlantio()
{
    auto field = [&](const char* name) { return QGrid->FieldByName(QString::fromLatin1(name)); };
    if (!field("origem_plantio").AsString().isEmpty()) {
        ShowScanError(kTransmitted, [] { PlayAlertSound(TAlertSound::Rejected); });
        return;
    }
    PlantioKey row;
    row.IdSlote = field("id_slote").AsInteger();
    row.NcPlantio = field("nc_plantio").AsFloat();
    row.Ncc = field("ncc").AsFloat();
    row.DataPlantio = field("data_plantio").AsString();
    const QString question = PlantioDeleteQuestion(row.Ncc, field("nc").AsFloat(),
                                                   field("rep").AsFloat(), row.NcPlantio);
    if (!AskYesNoWarning(question, QStringLiteral(" Exclusão de Registro ")))
        return;
    if (!AuthorizeDeletion())
        return;

    // The archive copy and the delete stand or fall together.
    QString failure;
    try {
        TXTransaction transaction(DM->Conn);
        int copied = 0;
        QString copyError;
        if (!Copy_Reg_Exc(row, copied, copyError)) {
            // No lock may outlive the box: the transmission works on the same file.
            transaction.Rollback();
            ShowAlert(QStringLiteral("Erro ao Excluir dados (Copy_Reg_Exc): ") + copyError);
            return;
        }
        int deleted = 0;
        if (copied > 0) {
            QAtu->SetCommandText(kPlantioDeleteSQL);
            QAtu->ParamByName(QStringLiteral("ncc")).SetFloat(row.Ncc);
            QAtu->ParamByName(QStringLiteral("id_slote")).SetInteger(row.IdSlote);
            QAtu->ParamByName(QStringLiteral("nc_plantio")).SetFloat(row.NcPlantio);
            QAtu->ParamByName(QStringLiteral("data_plantio")).SetString(row.DataPlantio);
            deleted = QAtu->Execute();
        }
        if (copied == 0 || deleted != copied) {
            // Transmitted (or gone) since the grid was read: nothing to archive or remove.
            transaction.Rollback();
            ShowScanError(kTransmitted, [] { PlayAlertSound(TAlertSound::Rejected); });
            return;
        }
        transaction.Commit();
        return;
    } catch (const std::exception& e) {
        // The transaction was rolled back when the error left its scope.
        failure = ErrorText(e);
    }
    ShowAlert(QStringLiteral("Erro ao ") + QStringLiteral("Excluir") +
              QStringLiteral(" o plantio.") + QStringLiteral("\r\n") +
              QStringLiteral("Msg. Erro : ") + failure);
}

bool TFPlantio_Cad::Copy_Reg_Exc(const PlantioKey& row, int& copied, QString& error)
{
    try {
        std::unique_ptr<TXCommand> command = NewCommand(DM->Conn);
        command->SetCommandText(PlantioCopyExcSQL(row, Config().DeleteAuthorizerId, NowAsText()));
        copied = command->Execute();
        return true;
    } catch (const std::exception& e) {
        error = ErrorText(e);
    }
    return false;
}

void TFPlantio_Cad::FiltrarPlantio()
{
    QGrid->Close();
    try {
        QString ncpType;
        QString nccType;
        Config().NcPlantioBarcodeType(ncpType);
        Config().NccBarcodeType(nccType);
        QString rejection;
        const QString filter =
            BuildFiltro(NCP_LIDO->text(), ncpType, NCC_LIDO->text(), nccType, rejection);
        if (!rejection.isEmpty())
            ShowAlert(rejection);
        QGrid->SetSQL(PlantioGridSQL(SelectedLoteId(), filter));
        OpenGrid();
    } catch (const std::exception& e) {
        ShowAlert(QStringLiteral("Erro ao aplicar o filtro.\r\nErro: ") + ErrorText(e));
        QGrid->SetSQL(PlantioGridSQL(SelectedLoteId(), QString()));
        OpenGrid();
    }
}
