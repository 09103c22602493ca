#include "connectionfile.h"
#include "data/txconnection.h"
#include "shellfixture.h"
#include "tfconfigdb.h"
#include "xfiledialogs.h"

#include <QFile>
#include <QLineEdit>
#include <QToolButton>

namespace {

class ConfigDBTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        Start(); // no connection file: the screen opens by itself
        presenter.Clear();
        screen = qobject_cast<TFConfigDB*>(FindChildForm("TFConfigDB")->widget());
        ASSERT_NE(screen, nullptr);
    }
    void TearDown() override
    {
        SetFileDialogHandler({});
        ShellTest::TearDown();
    }

    void Choose(const QString& path)
    {
        SetFileDialogHandler([path, this](const TXFileDialogRequest& request) {
            lastRequest = request;
            return path;
        });
        screen->BLoadDBFile->click();
    }

    TFConfigDB* screen = nullptr;
    TXFileDialogRequest lastRequest;
};

TEST_F(ConfigDBTest, ChoosingAFileOnlyChangesTheConnectionString)
{
    Choose(station.FilePath(QStringLiteral("nao_existe.db")));
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral(" Arquivo não Encontrado. ")});
    EXPECT_EQ(DM->DatabasePath(), QString());
    EXPECT_EQ(lastRequest.Filter, kDatabaseFileFilter);

    Choose(station.DbPath());
    EXPECT_EQ(screen->EDBase->text(), station.DbPath());
    EXPECT_EQ(DM->DatabasePath(), station.DbPath());
    EXPECT_FALSE(DM->Conn->Connected());
}

TEST_F(ConfigDBTest, AVerifiedConnectIsRememberedAndLoadsTheConfiguration)
{
    Choose(station.DbPath());
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_TRUE(DM->Conn->Connected());
    EXPECT_TRUE(mainForm->AppConfig->Loaded);
    EXPECT_EQ(Panel(0), QStringLiteral("Conectado"));
    QFile file(ConnectionFilePathFor(station.ProgramPath()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadConnectionPayload(file.readAll()), std::optional<QString>(station.DbPath()));
}

TEST_F(ConfigDBTest, AFailedVerificationClosesAndLeavesTheConnectionFileAlone)
{
    station.Exec(QStringLiteral("UPDATE Configuracao SET MAQUINA = 'OUTRA'"));
    Choose(station.DbPath());
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Texts(),
              QStringList{QStringLiteral("O Banco de dados já foi utilizado no computador "
                                         "[OUTRA].\r\n")});
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
    EXPECT_FALSE(QFile::exists(ConnectionFilePathFor(station.ProgramPath())));
}

} // namespace
