#include "data/txconnection.h"
#include "logindriver.h"
#include "shellfixture.h"
#include "tflogin.h"
#include "xscramble.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

class LoginTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        station.WriteConnectionFile();
        Start();
        auto connection = station.Open();
        adminId = AddUser(connection.get(), QStringLiteral("ADMIN"),
                          QStringLiteral("Administrador"), QStringLiteral("1234"));
        // A password stored in lower case, as no login dialog can type it.
        station.Exec(QStringLiteral("INSERT INTO Usua (ID_USER, NOME, CODIGO, SENHA) "
                                    "VALUES (77, 'Minúsculo', 'MINUS', '%1')")
                         .arg(ScrambleText(QStringLiteral("abc"), QString(kUserPasswordKey))
                                  .replace(QLatin1Char('\''), QStringLiteral("''"))));
        presenter.Clear();
    }

    TAppConfig& Config() { return *mainForm->AppConfig; }
    int adminId = 0;
};

TEST_F(LoginTest, LowerCaseCodeWithBlanksLogsTheOperatorIn)
{
    QString shownUser;
    DriveLogin({[&](TFLogin* dialog) {
        Type(QStringLiteral("  admin "), QStringLiteral(" 1234 "))(dialog);
        shownUser = dialog->EUser->text();
    }});
    LoginOperator();
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(shownUser, QStringLiteral("ADMIN"));
    EXPECT_EQ(Config().OperatorId, adminId);
    EXPECT_EQ(Config().OperatorName, QStringLiteral("Administrador"));
    EXPECT_EQ(Config().DeleteAuthorizerId, -1);
}

TEST_F(LoginTest, RefusalsAlertAndKeepTheDialogOpen)
{
    bool stillOpen = false;
    DriveLogin({Type(QStringLiteral("ADMIN"), QStringLiteral("9999")),
                Type(QStringLiteral("NINGUEM"), QStringLiteral("1234")),
                Type(QString(), QStringLiteral("1234")),
                Type(QStringLiteral("MINUS"), QStringLiteral("ABC")),
                [](TFLogin* dialog) { // pasted, outside Windows-1252
                    dialog->EUser->setText(QStringLiteral("ADMIN"));
                    dialog->EPassword->setText(QStringLiteral("12Ł4"));
                    dialog->BLogin->click();
                },
                [&](TFLogin* dialog) { stillOpen = dialog->isVisible(); }});
    LoginOperator();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(
        presenter.Texts(),
        (QStringList{QStringLiteral("Senha inválida."), QStringLiteral("Usuário não Cadastrado."),
                     QStringLiteral("Usuário e Senha devem ser informados."),
                     QStringLiteral("Senha inválida."),
                     QStringLiteral("A Senha contém caractere não permitido.")}));
    // Closed with the close box: nobody is logged in.
    EXPECT_EQ(Config().OperatorId, -1);
}

TEST_F(LoginTest, DatabaseErrorClosesTheDialogWithoutUser)
{
    DM->Conn->Close();
    bool stayedOpen = false;
    DriveLogin({Type(QStringLiteral("ADMIN"), QStringLiteral("1234")),
                [&](TFLogin*) { stayedOpen = true; }});
    LoginOperator();
    EXPECT_FALSE(stayedOpen);
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Last().Text.startsWith(
        QStringLiteral("Erro ao consultar os dados do Usuário.\r\nMsg. Erro : ")));
    EXPECT_EQ(Config().OperatorId, -1);
}

TEST_F(LoginTest, DeletionModeSetsOnlyTheAuthoriser)
{
    Config().SetOperator(5, QStringLiteral("Operador"));
    QString caption;
    DriveLogin({[&](TFLogin* dialog) {
        caption = dialog->windowTitle();
        Type(QStringLiteral("ADMIN"), QStringLiteral("1234"))(dialog);
    }});
    EXPECT_TRUE(AuthorizeDeletion());
    EXPECT_EQ(caption, QStringLiteral("Exclusão"));
    EXPECT_EQ(Config().DeleteAuthorizerId, adminId);
    EXPECT_EQ(Config().OperatorId, 5);

    // A wrong password and then the close box authorise nothing.
    DriveLogin({Type(QStringLiteral("ADMIN"), QStringLiteral("0000"))});
    EXPECT_FALSE(AuthorizeDeletion());
    EXPECT_EQ(Config().DeleteAuthorizerId, -1);
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral("Senha inválida.")});
}

} // namespace
