#include "tflogin.h"

#include "data/txquery.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfmain.h"
#include "txapplication.h"
#include "xcodepage.h"
#include "xexception.h"
#include "xfontscale.h"
#include "xscramble.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <exception>

namespace {

const QString kPasswordCharacterRefused = QStringLiteral("A Senha contém caractere não permitido.");

// Scanner and keyboard entry alike are stored upper case, as the users' codes are.
void ForceUpperCase(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

QLabel* BoldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: black;"));
    return label;
}

TAppConfig* Config()
{
    return FMain ? FMain->AppConfig : nullptr;
}

} // namespace

TFLogin::TFLogin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FLogin"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(Scaled(QSize(222, 97)));

    PLogin = new QFrame(this);
    PLogin->setObjectName(QStringLiteral("PLogin"));
    PLogin->setFrameShape(QFrame::StyledPanel);
    PLogin->setGeometry(DesignRect(0, 0, 222, 97));

    LUser = BoldLabel(QStringLiteral("Usuário"), PLogin);
    LUser->setObjectName(QStringLiteral("LUser"));
    LUser->setGeometry(DesignRect(8, 6, 130, 16));
    EUser = new QLineEdit(PLogin);
    EUser->setObjectName(QStringLiteral("EUser"));
    EUser->setGeometry(DesignRect(8, 22, 130, 22));
    ForceUpperCase(EUser);

    LPassword = BoldLabel(QStringLiteral("Senha"), PLogin);
    LPassword->setObjectName(QStringLiteral("LPassword"));
    LPassword->setGeometry(DesignRect(8, 48, 130, 16));
    EPassword = new QLineEdit(PLogin);
    EPassword->setObjectName(QStringLiteral("EPassword"));
    EPassword->setGeometry(DesignRect(8, 64, 130, 22));
    EPassword->setEchoMode(QLineEdit::Password);
    EPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 35;"));
    ForceUpperCase(EPassword);

    BLogin = new QToolButton(PLogin);
    BLogin->setObjectName(QStringLiteral("BLogin"));
    BLogin->setText(QStringLiteral("Login"));
    BLogin->setGeometry(DesignRect(146, 22, 68, 64));
    BLogin->setFocusPolicy(Qt::NoFocus);

    setTabOrder(EUser, EPassword);
    connect(EUser, &QLineEdit::returnPressed, EPassword, [this] { EPassword->setFocus(); });
    connect(EPassword, &QLineEdit::returnPressed, BLogin, &QToolButton::click);
    connect(BLogin, &QToolButton::clicked, this, TXApplication::Guarded([this] { BLoginClick(); }));
}

void TFLogin::showEvent(QShowEvent* event)
{
    setWindowTitle(DeleteMode ? QStringLiteral("Exclusão") : QStringLiteral("Cadastro"));
    if (QWidget* main = FMain) {
        const QRect frame = main->geometry();
        move(frame.left() + (frame.width() - width()) / 2,
             frame.top() + (frame.height() - height()) / 2);
    }
    QDialog::showEvent(event);
    EUser->setFocus();
}

void TFLogin::BLoginClick()
{
    if (EUser->text().trimmed().isEmpty() || EPassword->text().trimmed().isEmpty()) {
        ShowAlert(QStringLiteral("Usuário e Senha devem ser informados."));
        return;
    }
    EUser->setText(EUser->text().trimmed());
    EPassword->setText(EPassword->text().trimmed());
    // Stored passwords are Windows-1252: any other character would be stored as "?".
    if (!IsWindows1252Text(EPassword->text())) {
        SelectRefusedPassword();
        ShowAlert(kPasswordCharacterRefused);
        return;
    }
    if (CheckLogin())
        accept();
}

// Typed again over the selection, without a key to erase it first.
void TFLogin::SelectRefusedPassword()
{
    EPassword->setFocus();
    EPassword->selectAll();
}

bool TFLogin::CheckLogin()
{
    TAppConfig* config = Config();
    try {
        std::unique_ptr<TXQuery> query = NewQuery(DM->Conn);
        query->SetSQL(kLoginSQL);
        query->ParamByName(QStringLiteral("codigo")).SetString(EUser->text());
        query->Open();
        if (query->RecordCount() == 0) {
            ShowAlert(QStringLiteral("Usuário não Cadastrado."));
            return false;
        }
        const QString stored = query->FieldByName(QStringLiteral("senha")).AsString();
        if (UnscrambleText(stored, QString(kUserPasswordKey)) != EPassword->text()) {
            SelectRefusedPassword();
            ShowAlert(QStringLiteral("Senha inválida."));
            return false;
        }
        const int id = query->FieldByName(QStringLiteral("id_user")).AsInteger();
        if (config && DeleteMode)
            config->DeleteAuthorizerId = id;
        else if (config)
            config->SetOperator(id, query->FieldByName(QStringLiteral("nome")).AsString());
        return true;
    } catch (const XException& e) {
        ShowAlert(QStringLiteral("Erro ao consultar os dados do Usuário.\r\nMsg. Erro : ") +
                  e.Message());
    } catch (const std::exception& e) {
        ShowAlert(QStringLiteral("Erro ao consultar os dados do Usuário.\r\nMsg. Erro : ") +
                  QString::fromUtf8(e.what()));
    }
    return true;
}

void LoginOperator()
{
    OpenChildForm<TFLogin>(true, true);
}

bool AuthorizeDeletion()
{
    TAppConfig* config = Config();
    if (!config)
        return false;
    config->DeleteAuthorizerId = -1;
    std::unique_ptr<TFLogin> dialog(OpenChildForm<TFLogin>(false, false));
    dialog->DeleteMode = true;
    dialog->exec();
    return config->DeleteAuthorizerId != -1;
}
