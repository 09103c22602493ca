#include "data/txconnection.h"
#include "logindriver.h"
#include "shellfixture.h"
#include "tflogin.h"
#include "xscramble.h"

#include <QLineEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

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
        adminId = AddUser(connection.get(), u"ADMIN"_s, u"Administrador"_s, u"1234"_s);
        // A password stored in lower case, as no login dialog can type it.
        station.Exec(QStringLiteral("INSERT INTO Usua (ID_USER, NOME, CODIGO, SENHA) "
                                    "VALUES (77, 'Minúsculo', 'MINUS', '%1')")
                         .arg(ScrambleText(u"abc"_s, QString(kUserPasswordKey))
                                  .replace(QLatin1Char('\''), u"''"_s)));
        presenter.Clear();
    }

    TAppConfig& Config() { return *mainForm->AppConfig; }
    int adminId = 0;
};

TEST_F(LoginTest, LowerCaseCodeWithBlanksLogsTheOperatorIn)
{
    QString shownUser;
    DriveLogin({[&](TFLogin* dialog) {
        Type(u"  admin "_s, u" 1234 "_s)(dialog);
        shownUser = dialog->EUser->text();
    }});
    LoginOperator();
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(shownUser, u"ADMIN"_s);
    EXPECT_EQ(Config().OperatorId, adminId);
    EXPECT_EQ(Config().OperatorName, u"Administrador"_s);
    EXPECT_EQ(Config().DeleteAuthorizerId, -1);
}

TEST_F(LoginTest, RefusalsAlertAndKeepTheDialogOpen)
{
    bool stillOpen = false;
    QString refused;
    DriveLogin({Type(u"ADMIN"_s, u"9999"_s),
                [&](TFLogin* dialog) { // the refused password is selected, to be typed over
                    refused = dialog->EPassword->selectedText();
                    Type(u"NINGUEM"_s, u"1234"_s)(dialog);
                },
                Type(QString(), u"1234"_s), Type(u"MINUS"_s, u"ABC"_s),
                [](TFLogin* dialog) { // pasted, outside Windows-1252
                    dialog->EUser->setText(u"ADMIN"_s);
                    dialog->EPassword->setText(u"12Ł4"_s);
                    dialog->BLogin->click();
                },
                [&](TFLogin* dialog) { stillOpen = dialog->isVisible(); }});
    LoginOperator();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(refused, u"9999"_s);
    EXPECT_EQ(presenter.Texts(),
              (QStringList{u"Senha inválida."_s, u"Usuário não Cadastrado."_s,
                           u"Usuário e Senha devem ser informados."_s, u"Senha inválida."_s,
                           u"A Senha contém caractere não permitido."_s}));
    // Closed with the close box: nobody is logged in.
    EXPECT_EQ(Config().OperatorId, -1);
}

TEST_F(LoginTest, DatabaseErrorClosesTheDialogWithoutUser)
{
    DM->Conn->Close();
    bool stayedOpen = false;
    DriveLogin({Type(u"ADMIN"_s, u"1234"_s), [&](TFLogin*) { stayedOpen = true; }});
    LoginOperator();
    EXPECT_FALSE(stayedOpen);
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Last().Text.startsWith(
        u"Erro ao consultar os dados do Usuário.\r\nMsg. Erro : "_s));
    EXPECT_EQ(Config().OperatorId, -1);
}

TEST_F(LoginTest, DeletionModeSetsOnlyTheAuthoriser)
{
    Config().SetOperator(5, u"Operador"_s);
    DriveLogin({Type(u"ADMIN"_s, u"1234"_s)});
    EXPECT_TRUE(AuthorizeDeletion());
    EXPECT_EQ(Config().DeleteAuthorizerId, adminId);
    EXPECT_EQ(Config().OperatorId, 5);

    // A wrong password and then the close box authorise nothing.
    DriveLogin({Type(u"ADMIN"_s, u"0000"_s)});
    EXPECT_FALSE(AuthorizeDeletion());
    EXPECT_EQ(Config().DeleteAuthorizerId, -1);
    EXPECT_EQ(presenter.Texts(), QStringList{u"Senha inválida."_s});
}

} // namespace
