#include "tfappconfig.h"

#include "appschema.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfmain.h"
#include "txapplication.h"
#include "txnumedit.h"
#include "xexception.h"
#include "xfiledialogs.h"
#include "xfontscale.h"
#include "xmessages.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QLabel* Caption(const QString& text, QWidget* parent, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->move(Scaled(x), Scaled(y));
    return label;
}

template <class T> T* Named(T* widget, const char* name, int x, int y, int w, int h)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(DesignRect(x, y, w, h));
    return widget;
}

QComboBox* BarcodeCombo(QWidget* parent, const char* name, int x, int y)
{
    auto* combo = Named(new QComboBox(parent), name, x, y, 90, 22);
    combo->addItems({QStringLiteral("EAN-8"), QStringLiteral("EAN-13")});
    combo->setCurrentIndex(0);
    return combo;
}

TXNumEdit* RangeEdit(QWidget* parent, const char* name, int x, int y)
{
    auto* edit = Named(new TXNumEdit(parent), name, x, y, 110, 22);
    edit->SetEntryRequired(TNumberEditType::floatingpointvalue);
    edit->SetDisplayFormat(QStringLiteral(",0;(,0)"));
    edit->SetMaxLength(8);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

TFAppConfig::TFAppConfig(QWidget* parent) : TFBCad(543, 221, parent)
{
    setObjectName(QStringLiteral("FAppConfig"));
    setWindowTitle(QStringLiteral("Configuração"));
    CreateControls();
    QAtu = new TXCommand(DM ? DM->Conn : nullptr, this);
    QAtu->setObjectName(QStringLiteral("QAtu"));
    FieldNames = {QStringLiteral("cb_ncc"), QStringLiteral("cb_nc_plantio"),
                  QStringLiteral("alert_sound")};
    connect(BConfirm, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BConfirmClick(); }));
    connect(BLoadFile, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BLoadFileClick(); }));
}

TFAppConfig::~TFAppConfig() = default;

void TFAppConfig::CreateControls()
{
    PConfig = Named(new QFrame(this), "PConfig", 0, 0, 543, 180);
    GBCBarra = Named(new QGroupBox(QStringLiteral(" Padrão do Código de Barra para "), PConfig),
                     "GBCBarra", 8, 4, 260, 80);
    Caption(QStringLiteral("NCC"), GBCBarra, 10, 24);
    cb_ncc = BarcodeCombo(GBCBarra, "cb_ncc", 10, 42);
    Caption(QStringLiteral("NC Plantio"), GBCBarra, 130, 24);
    cb_nc_plantio = BarcodeCombo(GBCBarra, "cb_nc_plantio", 130, 42);

    GBAlertSound = Named(new QGroupBox(QStringLiteral(" Som de Alerta "), PConfig), "GBAlertSound",
                         276, 4, 259, 80);
    alert_sound = Named(new QLineEdit(GBAlertSound), "alert_sound", 10, 42, 205, 22);
    // Read-only: the path comes from the dialog and is never cut to fit.
    alert_sound->setReadOnly(true);
    BLoadFile = Named(new QToolButton(GBAlertSound), "BLoadFile", 220, 42, 28, 22);
    BLoadFile->setText(QStringLiteral("..."));

    GBNC = Named(new QGroupBox(QStringLiteral(" Faixa de NC Plantio "), PConfig), "GBNC", 8, 90,
                 260, 80);
    rela_inicial = RangeEdit(GBNC, "rela_inicial", 10, 42);
    Caption(QStringLiteral(" a "), GBNC, 124, 45);
    rela_final = RangeEdit(GBNC, "rela_final", 140, 42);
    GBNC->setEnabled(false);

    gbp = Named(new QGroupBox(PConfig), "gbp", 276, 90, 259, 80);
    Caption(QStringLiteral("Computador"), gbp, 10, 10);
    maquina = Named(new QLineEdit(gbp), "maquina", 10, 26, 150, 20);
    Caption(QStringLiteral("Operação"), gbp, 168, 10);
    info_db = Named(new QLineEdit(gbp), "info_db", 168, 26, 80, 20);
    // Two pixels higher than drawn, so the field stays inside its box.
    Caption(QStringLiteral("Lote"), gbp, 10, 46);
    descricao_lote = Named(new QLineEdit(gbp), "descricao_lote", 10, 60, 238, 20);
    gbp->setEnabled(false);

    for (QWidget* field : {static_cast<QWidget*>(cb_ncc), static_cast<QWidget*>(cb_nc_plantio),
                           static_cast<QWidget*>(alert_sound)})
        field->installEventFilter(this);
    setTabOrder(cb_ncc, cb_nc_plantio);
    setTabOrder(cb_nc_plantio, alert_sound);
    setTabOrder(alert_sound, BLoadFile);
}

void TFAppConfig::showEvent(QShowEvent* event)
{
    TFBCad::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (FMain && FMain->AppConfig->Loaded) {
        FillControls();
        return;
    }
    ShowErrorMessage(QStringLiteral("Banco de dados não Conectado."));
    // Closing inside the show event would pull the window from under Qt: close once it settled.
    QMetaObject::invokeMethod(
        this, [this] { CloseChildForm(this); }, Qt::QueuedConnection);
}

bool TFAppConfig::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::FocusOut && !Confirming)
        ValidateField(control);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ValidateField(control)) {
            focusNextChild();
            return true;
        }
    }
    return TFBCad::eventFilter(watched, event);
}

bool TFAppConfig::ValidateField(QWidget*)
{
    return true;
}

void TFAppConfig::FillControls()
{
    auto query = NewQuery(DM->Conn);
    query->SetSQL(ConfigSelectSQL());
    query->Open();
    if (query->RecordCount() == 0)
        return;
    auto field = [&](const char* name) { return query->FieldByName(QString::fromLatin1(name)); };
    maquina->setText(field("maquina").AsString());
    descricao_lote->setText(field("descricao_lote").AsString());
    info_db->setText(field("info_db").AsInteger() == 0 ? QStringLiteral("Plantio")
                                                       : QStringLiteral("Coleta"));
    rela_inicial->SetValue(field("rela_inicial").AsFloat());
    rela_final->SetValue(field("rela_final").AsFloat());
    cb_ncc->setCurrentIndex(field("cb_ncc").AsInteger());
    cb_nc_plantio->setCurrentIndex(field("cb_nc_plantio").AsInteger());
    alert_sound->setText(field("alert_sound").AsString());
}

bool TFAppConfig::ConfigIsEmpty()
{
    auto query = NewQuery(DM->Conn);
    query->SetSQL(ConfigSelectSQL());
    query->Open();
    return query->RecordCount() == 0;
}

bool TFAppConfig::SaveConfig()
{
    try {
        QString columns, values;
        if (ConfigIsEmpty()) {
            BuildFieldLists(columns, values, true);
            QAtu->SetCommandText(QStringLiteral("INSERT INTO Configuracao (") + columns +
                                 QStringLiteral(") values (") + values + QStringLiteral(") "));
        } else {
            BuildFieldLists(columns, values, false);
            QAtu->SetCommandText(QStringLiteral("UPDATE Configuracao SET ") + columns);
        }
        SetFieldParameters(QAtu);
        QAtu->Execute();
        return true;
    } catch (const XException& e) {
        ShowErrorMessage(QStringLiteral("Erro ao atualizar a Configuração: ") + e.Message());
    } catch (const std::exception& e) {
        ShowErrorMessage(QStringLiteral("Erro ao atualizar a Configuração: ") +
                         QString::fromUtf8(e.what()));
    }
    return false;
}

void TFAppConfig::BLoadFileClick()
{
    const QString file = ChooseExistingFile(this, kSoundFileFilter, kSoundFileExt);
    if (file.isEmpty())
        return;
    alert_sound->setText(QFileInfo(file).absoluteFilePath());
}

void TFAppConfig::BConfirmClick()
{
    if (!ValidateFields())
        return;
    if (!SaveConfig())
        return;
    FMain->AppConfig->LoadConfig();
    ShowInfoMessage(QStringLiteral("Configuração Atualizado."));
    CloseChildForm(this);
}
