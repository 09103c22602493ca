#include "tfconfigdb.h"

#include "appschema.h"
#include "data/txconnection.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfmain.h"
#include "txapplication.h"
#include "xcolours.h"
#include "xfiledialogs.h"
#include "xfontscale.h"
#include "xmessages.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QToolButton>

namespace {

QToolButton* FlatButton(const QString& caption, const QColor& colour, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setStyleSheet(BoldTextStyle(colour));
    return button;
}

} // namespace

TFConfigDB::TFConfigDB(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FConfigDB"));
    setWindowTitle(QStringLiteral("Configurar Conexão DB"));
    setFixedSize(Scaled(QSize(420, 97)));

    GBDados = new QGroupBox(QStringLiteral(" Banco de Dados "), this);
    GBDados->setObjectName(QStringLiteral("GBDados"));
    GBDados->setGeometry(DesignRect(8, 4, 404, 52));
    EDBase = new QLineEdit(GBDados);
    EDBase->setObjectName(QStringLiteral("EDBase"));
    EDBase->setReadOnly(true);
    // Read-only, and it looks so: the file is chosen with "...". The path can still be
    // selected and copied with the mouse.
    QPalette readOnly = EDBase->palette();
    readOnly.setColor(QPalette::Base, readOnly.color(QPalette::Window));
    EDBase->setPalette(readOnly);
    EDBase->setFocusPolicy(Qt::ClickFocus);
    BLoadDBFile = new QToolButton(GBDados);
    BLoadDBFile->setObjectName(QStringLiteral("BLoadDBFile"));
    BLoadDBFile->setText(QStringLiteral("..."));
    auto* row = new QHBoxLayout(GBDados);
    row->addWidget(EDBase);
    row->addWidget(BLoadDBFile);

    BConfirm = FlatButton(QStringLiteral("Conectar"), kTextGo, this);
    BConfirm->setObjectName(QStringLiteral("BConfirm"));
    BConfirm->setGeometry(DesignRect(252, 64, 80, 25));
    BClose = FlatButton(QStringLiteral("Fechar"), kTextClose, this);
    BClose->setObjectName(QStringLiteral("BClose"));
    BClose->setGeometry(DesignRect(332, 64, 80, 25));

    connect(BLoadDBFile, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BLoadDBFileClick(); }));
    connect(BConfirm, &QToolButton::clicked, this,
            TXApplication::Guarded([this] { BConfirmClick(); }));
    connect(BClose, &QToolButton::clicked, this, TXApplication::Guarded([this] { BCloseClick(); }));

    // The create event.
    RefreshState();
    // A damaged connection file, or a missing database, was reported when the connect failed.
    if (DM->TriedDatabasePath().isEmpty())
        DM->LoadConnectionFile(false);
    EDBase->setText(DM->TriedDatabasePath());
}

void TFConfigDB::RefreshState()
{
    const bool connected = DM->IsConnected();
    BConfirm->setText(connected ? QStringLiteral("Desconectar") : QStringLiteral("Conectar"));
    BLoadDBFile->setEnabled(!connected);
    RefreshMainStatus();
}

void TFConfigDB::BLoadDBFileClick()
{
    const QString file = ChooseExistingFile(this, kDatabaseFileFilter, kDatabaseFileExt);
    if (file.isEmpty())
        return;
    DM->UseDatabaseFile(file);
    EDBase->setText(file);
}

void TFConfigDB::BConfirmClick()
{
    TAppConfig* config = FMain ? FMain->AppConfig : nullptr;
    // The held connection decides: a click on "Desconectar" never connects.
    if (DM->Conn->Connected()) {
        // "No" to the open-datasets question changes nothing.
        if (!DM->SetConnected(false))
            return RefreshState();
    } else if (DM->ConnectVerified(true) && config) {
        config->SetLoaded(true);
    }
    if (!DM->IsConnected() && config) {
        config->SetLoaded(false);
        config->ResetOperation();
    }
    RefreshState();
}

void TFConfigDB::BCloseClick()
{
    CloseChildForm(this);
}
