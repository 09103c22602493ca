#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

/**
 * The modal login dialog: in registration mode it makes the user the operator
 * of the opening screen; in deletion mode it records who authorised a deletion.
 */
class TFLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TFLogin(QWidget* parent = nullptr);

    QFrame* PLogin = nullptr;
    QLabel* LUser = nullptr;
    QLineEdit* EUser = nullptr;
    QLabel* LPassword = nullptr;
    QLineEdit* EPassword = nullptr;
    QToolButton* BLogin = nullptr;

    bool DeleteMode = false;

    void BLoginClick();
    /**
     * Looks the user up and compares the password; sets the operator or the
     * deletion authoriser. Alerts on failure. A database error alerts and
     * answers true with no user set, so the dialog closes without a login.
     */
    bool CheckLogin();
    void SelectRefusedPassword();

protected:
    void showEvent(QShowEvent* event) override;
};

/** Logs an operator in for a registration screen; the caller reads AppConfig->OperatorId. */
void LoginOperator();

/** Asks a user to authorise a deletion; true when one did (AppConfig->DeleteAuthorizerId). */
bool AuthorizeDeletion();

/** The user lookup of the login. */
inline const QString kLoginSQL =
    QStringLiteral("SELECT id_user, nome, senha   FROM Usua WHERE (codigo = :codigo) ");
