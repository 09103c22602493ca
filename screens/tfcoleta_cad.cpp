#include "tfcoleta_cad.h"

#include "codekind.h"
#include "codevalidation.h"
#include "coletadata.h"
#include "data/txquery.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tflogin.h"
#include "tfmain.h"
#include "tplaca.h"
#include "tplacagriddelegate.h"
#include "tscanfeedback.h"
#include "txapplication.h"
#include "txdbgrid.h"
#include "txedit.h"
#include "txradiogroup.h"
#include "xcolours.h"
#include "xexception.h"
#include "xfontscale.h"
#include "xmessages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QToolButton>

namespace {

// Scanner and keyboard entry are upper case and limited in length as typed.
QLineEdit* NewEdit(const char* name, int maxLength, QWidget* parent)
{
    auto* edit = new TXEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetCharCase(TXCharCase::Upper);
    edit->SetMaxLength(maxLength);
    return edit;
}

QLabel* NewLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QGroupBox* NewGroup(const char* name, const QString& title, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

TAppConfig& Config()
{
    return *FMain->AppConfig;
}

TXConnection* Conn()
{
    return DM ? DM->Conn : nullptr;
}

// Sets a flag for the duration of a scope, also when an error passes through.
class TFlagScope
{
public:
    explicit TFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~TFlagScope() { m_flag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& m_flag;
};

const QString kAlreadyCollected = QStringLiteral("NC Plantio já foi coletado. \r\n Placa : ");

QString PlacaTransmitidaText(const QString& code)
{
    return QStringLiteral("Os Dados da Placa  [") + code +
           QStringLiteral("] já foi transmitido para o Servidor. ") + QStringLiteral("\r\n") +
           QStringLiteral("Não é mais possivel a exclusão dos dados de coleta da Placa.");
}

// The code as its label prints it: the number and its check digit.
QString LabelCode(qint64 number, const QString& typeName)
{
    const QString digits = QString::number(number);
    if (typeName == kEan8 || typeName == kEan13)
        return digits + QString::number(EanCheckDigit(digits));
    return digits;
}

QString PocoTransmitidoText(const QString& poco)
{
    return QStringLiteral("A Informação do Poço [") + poco +
           QStringLiteral("] já foi transmitido para o Servidor. ") + QStringLiteral("\r\n") +
           QStringLiteral("Não é mais possivel a exclusão do dado de coleta do Poço.");
}

} // namespace

TFColeta_Cad::TFColeta_Cad(QWidget* parent)
    : TFBCad(884, 521, parent), m_placa(std::make_unique<TPlaca>())
{
    setObjectName(QStringLiteral("FColeta_Cad"));
    setWindowTitle(QStringLiteral("Coleta"));
    CreateControls();
    // FormCreate: the fields in the order the confirm action checks them.
    FieldNames = {QStringLiteral("PLACA_LIDO"), QStringLiteral("NCP_LIDO")};
    OperationMode = kInclusao;
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
}

TFColeta_Cad::~TFColeta_Cad() = default;

void TFColeta_Cad::CreateControls()
{
    GBUsuario = NewGroup("GBUsuario", QStringLiteral(" Usuário "), this);
    GBUsuario->setGeometry(DesignRect(8, 4, 330, 52));
    GBUsuario->setEnabled(false);
    Label3 = NewLabel("Label3", QStringLiteral("Nome"), GBUsuario);
    Label3->setGeometry(DesignRect(10, 24, 40, 16));
    USUA = NewEdit("USUA", 30, GBUsuario);
    USUA->setGeometry(DesignRect(52, 20, 266, 22));

    RGOper = new TXRadioGroup(QStringLiteral(" Operação "),
                              {QStringLiteral("Inclusão"), QStringLiteral("Exclusão - Placa"),
                               QStringLiteral("Exclusão - Poço")},
                              3, this);
    RGOper->setObjectName(QStringLiteral("RGOper"));
    RGOper->setGeometry(DesignRect(346, 4, 432, 52));
    RGOper->SetItemIndex(0);

    BSetOper = new QToolButton(this);
    BSetOper->setObjectName(QStringLiteral("BSetOper"));
    BSetOper->setText(QStringLiteral("Operação"));
    BSetOper->setAutoRaise(true);
    BSetOper->setGeometry(DesignRect(786, 20, 90, 28));
    BSetOper->setFocusPolicy(Qt::NoFocus);

    GBEnvelope = NewGroup("GBEnvelope", QStringLiteral(" Placa x Poço Coleta "), this);
    GBEnvelope->setGeometry(DesignRect(8, 62, 330, 112));
    LPLACA_Lido = NewLabel("LPLACA_Lido", QStringLiteral("Placa Lido"), GBEnvelope);
    LPLACA_Lido->setGeometry(DesignRect(10, 20, 200, 16));
    PLACA_LIDO = NewEdit("PLACA_LIDO", 20, GBEnvelope);
    PLACA_LIDO->setGeometry(DesignRect(10, 36, 220, 22));
    LNCP_Lido = NewLabel("LNCP_Lido", QStringLiteral("NC Plantio Lido"), GBEnvelope);
    LNCP_Lido->setGeometry(DesignRect(10, 62, 200, 16));
    NCP_LIDO = NewEdit("NCP_LIDO", 13, GBEnvelope);
    NCP_LIDO->setGeometry(DesignRect(10, 78, 220, 22));
    setTabOrder(PLACA_LIDO, NCP_LIDO);
    PLACA_LIDO->installEventFilter(this);
    NCP_LIDO->installEventFilter(this);

    GBPoco = NewGroup("GBPoco", QStringLiteral(" Poços faltando Coletar "), this);
    GBPoco->setGeometry(DesignRect(8, 180, 330, 62));
    PN_Poco_Falta = NewLabel("PN_Poco_Falta", QStringLiteral("0"), GBPoco);
    PN_Poco_Falta->setGeometry(DesignRect(10, 20, 310, 34));
    PN_Poco_Falta->setAlignment(Qt::AlignCenter);
    PN_Poco_Falta->setFrameShape(QFrame::Panel);
    PN_Poco_Falta->setFrameShadow(QFrame::Raised);
    QFont countFont = PN_Poco_Falta->font();
    countFont.setPixelSize(21);
    PN_Poco_Falta->setFont(countFont);
    PN_Poco_Falta->setStyleSheet(QStringLiteral("color: %1;").arg(kTextAlert.name()));

    QGrid = new TXQuery(Conn(), this);
    QGrid->setObjectName(QStringLiteral("QGrid"));
    QAtu = new TXCommand(Conn(), this);
    QAtu->setObjectName(QStringLiteral("QAtu"));

    GCad = new TXDBGrid(this);
    GCad->setObjectName(QStringLiteral("GCad"));
    GCad->setGeometry(DesignRect(8, 316, 360, 164));
    GCad->setFocusPolicy(Qt::NoFocus);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    GCad->SetColumns({{QStringLiteral("data_coleta"), QStringLiteral("Data Coleta"), 130},
                      {QStringLiteral("seq_coleta"), QStringLiteral("Seq."), 50, right},
                      {QStringLiteral("poco"), QStringLiteral("Poço"), 50, right},
                      {QStringLiteral("NC_PLANTIO"), QStringLiteral("NC_Plantio"), 100}});
    GCad->SetQuery(QGrid);

    m_feedback = new TScanFeedback(this, DesignRect(8, 248, 360, 64));
    for (QLineEdit* edit : {PLACA_LIDO, NCP_LIDO})
        static_cast<TXEdit*>(edit)->SetSelectAllOnFocus(true);

    LReg = NewLabel("LReg", QStringLiteral("Registros: 0"), this);
    LReg->setGeometry(DesignRect(8, 486, 240, 16));

    SG = new QTableWidget(this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->setGeometry(DesignRect(376, 62, 500, 390));
    SG->horizontalHeader()->hide();
    SG->verticalHeader()->hide();
    SG->horizontalHeader()->setMinimumSectionSize(1);
    SG->verticalHeader()->setMinimumSectionSize(1);
    SG->horizontalHeader()->setDefaultSectionSize(Scaled(35));
    SG->verticalHeader()->setDefaultSectionSize(Scaled(35));
    SG->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SG->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setSelectionMode(QAbstractItemView::NoSelection);
    SG->setFocusPolicy(Qt::NoFocus);
    SG->setEnabled(false);
    SG->setItemDelegate(new TPlacaGridDelegate(m_placa.get(), SG));
    m_placa->FillGrid(SG);

    // Nothing can be confirmed before an operation is applied.
    BConfirm->setEnabled(false);
}

int TFColeta_Cad::RGOperIndex() const
{
    return RGOper->ItemIndex();
}

void TFColeta_Cad::SetRGOperIndex(int index)
{
    RGOper->SetItemIndex(index);
}

// ---- opening and closing

void TFColeta_Cad::showEvent(QShowEvent* event)
{
    TFBCad::showEvent(event);
    // The opening sequence runs once; a restore shows the screen again.
    if (m_shown)
        return;
    m_shown = true;
    // A database error of the opening is shown here, not left to unwind Qt's show.
    TXApplication::Guarded([this] { FormShow(); })();
}

void TFColeta_Cad::FormShow()
{
    if (!FMain || !Config().Loaded) {
        ShowErrorMessage(QStringLiteral("Banco de dados não Conectado."));
        QMetaObject::invokeMethod(
            this, [this] { CloseChildForm(this); }, Qt::QueuedConnection);
        return;
    }
    LoginOperator();
    if (!FMain || Config().OperatorId < 1) {
        QMetaObject::invokeMethod(
            this, [this] { CloseChildForm(this); }, Qt::QueuedConnection);
        return;
    }
    USUA->setText(Config().OperatorName);
    UpdateLReg();
    m_placa->Reset();
    m_placa->FillGrid(SG);
    BSetOperClick();
    PLACA_LIDO->setFocus();
}

void TFColeta_Cad::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    TFBCad::closeEvent(event);
    // Every opening of the screen asks for a login again.
    if (event->isAccepted() && FMain)
        Config().SetOperator(-1, QString());
}

// ---- choosing the operation

void TFColeta_Cad::BSetOperClick()
{
    BSetOper->setStyleSheet(RGOper->isEnabled() ? QString() : BoldTextStyle(kTextAlert));
    RGOper->setEnabled(!RGOper->isEnabled());
    BConfirm->setEnabled(!RGOper->isEnabled());
    if (RGOper->isEnabled()) {
        // Arrows then pick the operation.
        if (QRadioButton* chosen = RGOper->Button(std::max(0, RGOperIndex())))
            MoveFocus(chosen);
        return;
    }
    // What the confirm acts on; the radio group may change while the next choice is made.
    m_appliedItem = RGOperIndex();
    if (m_appliedItem == 0) {
        OperationMode = kInclusao;
        QGrid->Close();
        QGrid->SetSQL(GridSQL(m_placa->IdPlaca));
        ReopenGrid();
        SetPlacaCaption(false);
        MoveFocus(PLACA_LIDO);
        return;
    }
    OperationMode = kExclusao;
    PLACA_LIDO->clear();
    NCP_LIDO->clear();
    m_placa->Reset();
    RefreshPlaca();
    SetPlacaCaption(true);
    MoveFocus(PLACA_LIDO);
}

void TFColeta_Cad::MoveFocus(QWidget* widget)
{
    m_movingFocus = true;
    widget->setFocus(Qt::OtherFocusReason);
    m_movingFocus = false;
}

void TFColeta_Cad::SetPlacaCaption(bool deleting)
{
    LPLACA_Lido->setText(deleting ? QStringLiteral("Placa") : QStringLiteral("Placa Lido"));
    LPLACA_Lido->setStyleSheet(deleting ? QStringLiteral("color: %1;").arg(kTextAlert.name())
                                        : QString());
}

// ---- keyboard

bool TFColeta_Cad::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || (edit != PLACA_LIDO && edit != NCP_LIDO))
        return TFBCad::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        bool handled = false;
        TXApplication::Guarded(
            [&] { handled = EditKeyDown(edit, static_cast<QKeyEvent*>(event)->key()); })();
        return handled;
    }
    case QEvent::FocusIn:
        m_focusedEdit = edit;
        break;
    case QEvent::FocusOut: {
        // Only a move to another control of the open screen is an exit: not a
        // box or another window taking the focus, not the screen closing, and
        // not an edit the focus was taken back from before it arrived.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Qt names the new focus widget before it tells the old one: a menu, a
        // box, another screen or window is not a move inside this screen.
        const QWidget* next = QApplication::focusWidget();
        const bool insideScreen = next && next != edit && FormOf(next) == FormOf(edit);
        if (edit != m_focusedEdit || reason == Qt::ActiveWindowFocusReason ||
            reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason || !insideScreen ||
            m_movingFocus || m_closing || !isVisible())
            break;
        m_focusedEdit = nullptr;
        // The edit finishes losing the focus first, so the check may give it back.
        static_cast<QObject*>(edit)->event(event);
        TXApplication::Guarded([this, edit] { EditExit(edit); })();
        return true;
    }
    default:
        break;
    }
    return TFBCad::eventFilter(watched, event);
}

bool TFColeta_Cad::EditKeyDown(QLineEdit* edit, int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    if (edit == NCP_LIDO)
        BConfirmClick();
    else
        focusNextChild();
    return true;
}

void TFColeta_Cad::EditExit(QLineEdit* edit)
{
    if (!Confirming)
        ValidateField(edit);
}

// ---- field checks

bool TFColeta_Cad::ValidateField(QWidget* control)
{
    auto* edit = qobject_cast<QLineEdit*>(control);
    const QString text = edit ? edit->text() : QString();
    bool result = true;
    bool refocus = false;
    if (control == PLACA_LIDO) {
        refocus = OperationMode == kInclusao;
        if (text.isEmpty()) {
            ShowAlert(QStringLiteral("PLACA deve ser informado."));
            refocus = false;
            m_placa->Reset();
            RefreshPlaca();
            result = false;
        } else if (text != m_placa->Codigo) {
            result = LoadPlaca(text);
        }
        // A full plate is refused as soon as it is scanned, not at the next NC Plantio.
        if (result && OperationMode == kInclusao && m_placa->NextFreeIndex() == -1) {
            ShowAlert(QStringLiteral("A Placa já está completa. \r\nTodos os poços da Placa [") +
                      m_placa->Codigo + QStringLiteral("] já foram coletados; leia outra Placa."));
            result = false;
        }
        // Checked on every confirm, not only when the plate is read: the same
        // code must not slip past a refusal made at its load.
        if (result && OperationMode == kExclusao)
            result = DeletionAllowed();
    } else if (OperationMode == kInclusao && control == NCP_LIDO) {
        refocus = true;
        result = false;
        QString message;
        QString typeName;
        Config().NcPlantioBarcodeType(typeName);
        if (text.isEmpty()) {
            ShowAlert(QStringLiteral("NC Plantio deve ser informado."));
            refocus = false;
        } else if (!ValidateBarcode(text, typeName, message)) {
            RefuseCode(message, text, int(TCodeKind::NcPlantio));
        } else if (qint64 nc = 0; !CodeNumber(text, nc)) {
            RefuseCode(kCodeNotNumeric, text, int(TCodeKind::NcPlantio));
        } else {
            result = Valid_NCP(nc);
        }
    }
    if (OperationMode == kInclusao && !result && edit && (Confirming || refocus)) {
        edit->selectAll();
        edit->setFocus();
    }
    return result;
}

bool TFColeta_Cad::DeletionAllowed()
{
    const int last = m_placa->LastCollectedIndex();
    if (m_appliedItem == 1 && m_placa->AnyTransmitted()) {
        ShowAlert(PlacaTransmitidaText(m_placa->Codigo));
        return false;
    }
    if (m_appliedItem == 2 && last != -1 && !m_placa->GetPoco(last)->OrigemColeta.isEmpty()) {
        ShowAlert(PocoTransmitidoText(m_placa->GetPoco(last)->Poco));
        return false;
    }
    if (last == -1) {
        ShowAlert(QStringLiteral("Não há nenhum poço coletado na Placa."));
        return false;
    }
    return m_appliedItem != 2 || ScannedIsLastWell();
}

bool TFColeta_Cad::ScannedIsLastWell()
{
    const QString text = NCP_LIDO->text().trimmed();
    if (text.isEmpty())
        return true;
    QString typeName;
    QString message;
    Config().NcPlantioBarcodeType(typeName);
    const std::optional<qint64> nc = NumberAs(text, typeName, &message);
    if (!nc) {
        ShowAlert(message);
        return false;
    }
    const TPoco* last = m_placa->GetPoco(m_placa->LastCollectedIndex());
    if (*nc == last->NcPlantio)
        return true;
    // The next scan replaces the refused code.
    NCP_LIDO->selectAll();
    ShowAlert(QStringLiteral("O NC Plantio [") + text +
              QStringLiteral("] não é o do último poço coletado.\r\nSó o último poço pode ser "
                             "excluído: Poço [") +
              last->Poco + QStringLiteral("], NC Plantio [") +
              LabelCode(last->NcPlantio, typeName) + QStringLiteral("]."));
    return false;
}

void TFColeta_Cad::RefuseCode(const QString& message, const QString& code, int expectedKind)
{
    ShowAlert(message + WrongKindNote(Conn(), Config(), code, TCodeKind(expectedKind)));
}

bool TFColeta_Cad::LoadPlaca(const QString& code)
{
    auto query = NewQuery(Conn());
    query->SetSQL(kLoadPlacaSQL);
    query->ParamByName(QStringLiteral("codigo_placa")).SetString(code);
    query->ParamByName(QStringLiteral("amostra")).SetString(QStringLiteral("T"));
    query->Open();
    if (query->Eof()) {
        m_placa->Reset();
        RefreshPlaca();
        RefuseCode(QStringLiteral("A Placa de coleta [") + code +
                       QStringLiteral("] não está cadastrado. "),
                   code, int(TCodeKind::Placa));
        return false;
    }
    const QString maquina = Config().maquina;
    const QString machine = GetMaquinaColeta(*query, maquina);
    if (machine != maquina) {
        // Refused in both modes: the plate model keeps the plate it held.
        const QString started = QStringLiteral("A Placa  [") + code +
                                QStringLiteral("] iniciou a coleta no computador [") + machine +
                                QStringLiteral("]. ") + QStringLiteral("\r\n");
        if (OperationMode == kInclusao)
            ShowAlert(started + QStringLiteral("Uma Placa não pode ser coletado em máquinas "
                                               "diferentes."));
        else
            ShowAlert(started + QStringLiteral("Os dados de coleta de outro computador não podem "
                                               "ser excluídos neste computador."));
        return false;
    }
    query->First();
    m_placa->Reset();
    m_placa->IdPlaca = query->FieldByName(QStringLiteral("id_placa")).AsInteger();
    m_placa->Codigo = query->FieldByName(QStringLiteral("codigo")).AsString();
    m_placa->TLinha = query->FieldByName(QStringLiteral("tlinha")).AsInteger();
    m_placa->TColuna = query->FieldByName(QStringLiteral("tcoluna")).AsInteger();
    RefreshPlaca();
    return true;
}

bool TFColeta_Cad::Valid_NCP(qint64 nc)
{
    if (const QString range = Config().NcPlantioRangeMessage(static_cast<double>(nc));
        !range.isEmpty()) {
        RefuseCode(range, NCP_LIDO->text(), int(TCodeKind::NcPlantio));
        return false;
    }
    try {
        auto query = NewQuery(Conn());
        query->SetSQL(kColetaNcpSQL);
        query->ParamByName(QStringLiteral("ncp")).SetFloat(static_cast<double>(nc));
        query->Open();
        if (query->Eof()) {
            RefuseCode(QStringLiteral("NC Plantio não Cadastrado. "), NCP_LIDO->text(),
                       int(TCodeKind::NcPlantio));
            return false;
        }
        if (m_placa->NextFreeIndex() == -1) {
            ShowAlert(QStringLiteral("A Placa já está completa. "));
            return false;
        }
        const QString data = query->FieldByName(QStringLiteral("data_coleta")).DisplayText();
        if (!data.isEmpty()) {
            const QString origem =
                query->FieldByName(QStringLiteral("origem_coleta")).DisplayText();
            const QString place = origem.isEmpty() || origem == Config().maquina
                                      ? QStringLiteral("Nesse Computador.")
                                      : origem;
            ShowAlert(kAlreadyCollected +
                      query->FieldByName(QStringLiteral("codigo")).DisplayText() +
                      QStringLiteral("\r\n") + QStringLiteral(" Poço : ") +
                      query->FieldByName(QStringLiteral("poco")).DisplayText() +
                      QStringLiteral("\r\n") + QStringLiteral(" Data da Coleta : ") + data +
                      QStringLiteral("\r\n") + QStringLiteral(" Computador: ") + place);
            return false;
        }
        return true;
    } catch (const XException& e) {
        // Fails closed: a duplicate must not slip in while the database misbehaves.
        ShowAlert(QStringLiteral("Erro ao consultar os dados (Valid_NCP).\r\nMsg. Erro : ") +
                  e.Message());
        return false;
    }
}

// ---- confirming and writing

void TFColeta_Cad::BConfirmClick()
{
    bool valid = false;
    if (OperationMode == kInclusao) {
        TFlagScope confirming(Confirming);
        valid = ValidateFields();
    } else {
        valid = ValidateField(PLACA_LIDO);
    }
    if (!valid)
        return;
    if (OperationMode == kInclusao) {
        if (!Gravar(OperationMode))
            return;
        TFlagScope confirming(Confirming);
        AfterGravar();
    } else {
        Gravar(OperationMode);
    }
    ReopenGrid();
}

bool TFColeta_Cad::Gravar(quint8 mode)
{
    return mode == kInclusao ? GravarInclusao() : GravarExclusao();
}

bool TFColeta_Cad::GravarInclusao()
{
    const int index = m_placa->NextFreeIndex();
    if (index == -1) {
        ShowAlert(QStringLiteral("A Placa já está completa. "));
        return false;
    }
    TPoco* poco = m_placa->GetPoco(index);
    const QString label = poco->Poco;
    qint64 nc = 0;
    CodeNumber(NCP_LIDO->text(), nc);
    try {
        QAtu->SetCommandText(kGravarColetaSQL);
        QAtu->ParamByName(QStringLiteral("nc_plantio")).SetLargeInt(nc);
        QAtu->ParamByName(QStringLiteral("user_coleta")).SetInteger(Config().OperatorId);
        QAtu->ParamByName(QStringLiteral("data_coleta")).SetString(NowAsText());
        QAtu->ParamByName(QStringLiteral("status_poco")).SetInteger(1);
        QAtu->ParamByName(QStringLiteral("id_placa")).SetInteger(m_placa->IdPlaca);
        QAtu->ParamByName(QStringLiteral("poco")).SetString(label);
        if (QAtu->Execute() == 0) {
            NothingWritten(label, nc);
            NCP_LIDO->selectAll();
            return false;
        }
    } catch (const XException& e) {
        ShowAlert(QStringLiteral("Erro ao ") + QStringLiteral("Incluir") +
                  QStringLiteral(" os dados.") + QStringLiteral("\r\n") +
                  QStringLiteral("Msg. Erro : ") + e.Message());
        return false;
    }
    poco->Coletado = 1;
    poco->NcPlantio = nc;
    SG->viewport()->update();
    m_feedback->ShowAccepted(QStringLiteral("Poço ") + label + QStringLiteral(": NC Plantio ") +
                             NCP_LIDO->text().trimmed());
    return true;
}

void TFColeta_Cad::NothingWritten(const QString& label, qint64 nc)
{
    // Another writer got there between the checks and the write: show the plate as it is.
    RefreshPlaca();
    const TPoco* well = nullptr;
    for (int i = 0; i < m_placa->Count() && !well; ++i) {
        if (m_placa->GetPoco(i)->Poco == label)
            well = m_placa->GetPoco(i);
    }
    if (well && well->Coletado) {
        ShowAlert(QStringLiteral("O Poço [") + label +
                  QStringLiteral("] já estava coletado e não foi alterado.\r\n") +
                  QStringLiteral("A Placa foi recarregada; leia o NC Plantio novamente."));
        return;
    }
    // The planting went into another well: the check now says where.
    if (Valid_NCP(nc))
        ShowAlert(QStringLiteral("O NC Plantio não foi gravado.\r\n") +
                  QStringLiteral("A Placa foi recarregada; leia o NC Plantio novamente."));
}

bool TFColeta_Cad::GravarExclusao()
{
    const bool wholePlate = m_appliedItem == 1;
    const QString poco =
        wholePlate ? QString() : m_placa->GetPoco(m_placa->LastCollectedIndex())->Poco;
    const QString question =
        wholePlate ? QStringLiteral("Confirma a Exclusão dos dados de coleta da Placa?")
                   : QStringLiteral("Confirma a Exclusão do dado de coleta do poço [") + poco +
                         QStringLiteral("]?");
    if (!AskYesNoWarning(question, QStringLiteral(" Exclusão de dados de Coleta. ")))
        return false;
    if (!AuthorizeDeletion())
        return false;
    const TExclusaoOutcome outcome = ExcluirColeta(
        Conn(), *QAtu, m_placa->IdPlaca, wholePlate ? TExclusaoKind::Placa : TExclusaoKind::Poco,
        poco, Config().DeleteAuthorizerId, NowAsText());
    switch (outcome.Result) {
    case TExclusaoResult::Done:
        RefreshPlaca();
        return true;
    case TExclusaoResult::PlacaTransmitida:
        // Transmitted since the plate was read: show it as it is now and refuse.
        RefreshPlaca();
        ShowAlert(PlacaTransmitidaText(m_placa->Codigo));
        return false;
    case TExclusaoResult::PocoTransmitido:
        RefreshPlaca();
        ShowAlert(PocoTransmitidoText(poco));
        return false;
    case TExclusaoResult::CopyFailed:
        ShowAlert(QStringLiteral("Erro ao Excluir dados (Copy_Reg_Exc): ") + outcome.Error);
        return false;
    case TExclusaoResult::ResetFailed:
        ShowAlert(QStringLiteral("Erro ao ") + QStringLiteral("Excluir") +
                  QStringLiteral(" os dados.") + QStringLiteral("\r\n") +
                  QStringLiteral("Msg. Erro : ") + outcome.Error);
        return false;
    }
    return false;
}

void TFColeta_Cad::AfterGravar()
{
    ClearLidos();
    if (ShowPocosFalta() == 0) {
        const QString code = m_placa->Codigo;
        ShowAlert(QStringLiteral("A Placa já foi totalmente coletado."), TAlertSound::Complete);
        m_feedback->ShowAccepted(QStringLiteral("Placa ") + code + QStringLiteral(" completa."));
        PLACA_LIDO->setFocus();
        m_placa->Reset();
        RefreshPlaca();
    } else {
        PlayAlertSound(TAlertSound::Accepted);
        NCP_LIDO->setFocus();
    }
    QGrid->SetSQL(GridSQL(m_placa->IdPlaca));
}

void TFColeta_Cad::ClearLidos()
{
    if (m_placa->NextFreeIndex() == -1)
        PLACA_LIDO->clear();
    NCP_LIDO->clear();
}

// ---- refreshing

void TFColeta_Cad::RefreshPlaca()
{
    ClearGridCells(SG);
    LoadPlacaPoco();
    ShowPocosFalta();
    QGrid->SetSQL(GridSQL(m_placa->IdPlaca));
    ReopenGrid();
    SG->viewport()->update();
}

bool TFColeta_Cad::LoadPlacaPoco()
{
    try {
        ReadPlacaPocos(Conn(), *m_placa);
        m_placa->FillGrid(SG);
        return true;
    } catch (const XException& e) {
        ShowAlert(QStringLiteral("Erro ao Consultar Dados (LoadPlacaPoco): ") + e.Message());
        return false;
    }
}

void TFColeta_Cad::ReopenGrid()
{
    if (QGrid->Active())
        QGrid->Requery();
    else
        QGrid->Open();
    GCad->Refresh();
    UpdateLReg();
}

void TFColeta_Cad::UpdateLReg()
{
    LReg->setText(QStringLiteral("Registros: ") +
                  (QGrid->Active() ? QString::number(QGrid->RecordCount()) : QString()));
}

int TFColeta_Cad::ShowPocosFalta()
{
    const int remaining = m_placa->RemainingCount();
    PN_Poco_Falta->setText(QString::number(remaining));
    return remaining;
}
