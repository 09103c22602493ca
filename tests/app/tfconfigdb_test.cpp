#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "shellfixture.h"
#include "tfconfigdb.h"
#include "xfiledialogs.h"

#include <QFile>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

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
        SetFileDialogHandler([path](const TXFileDialogRequest&) { return path; });
        screen->BLoadDBFile->click();
    }

    TFConfigDB* screen = nullptr;
};

TEST_F(ConfigDBTest, OnlyAVerifiedConnectIsRememberedAndNoToOpenDataSetsChangesNothing)
{
    Choose(station.FilePath(u"nao_existe.db"_s));
    EXPECT_EQ(presenter.Take(), QStringList{u" Arquivo não Encontrado. "_s});
    EXPECT_EQ(DM->DatabasePath(), QString());

    // Choosing only changes the connection string; a failed verification closes again.
    station.Exec(u"UPDATE Configuracao SET MAQUINA = 'OUTRA'"_s);
    Choose(station.DbPath());
    EXPECT_EQ(screen->EDBase->text(), station.DbPath());
    EXPECT_FALSE(DM->Conn->Connected());
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Take(),
              QStringList{u"O Banco de dados já foi utilizado no computador [OUTRA].\r\n"_s});
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
    QFile file(ConnectionFilePathFor(station.ProgramPath()));
    EXPECT_FALSE(file.exists());

    station.Exec(u"UPDATE Configuracao SET MAQUINA = NULL"_s);
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_TRUE(mainForm->AppConfig->Loaded);
    EXPECT_EQ(Panel(0), u"Conectado"_s);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadConnectionPayload(file.readAll()), std::optional<QString>(station.DbPath()));

    // No to the open data sets question changes nothing and does not run the connect again.
    auto query = NewQuery(DM->Conn);
    query->SetSQL(u"SELECT * FROM Configuracao"_s);
    query->Open();
    presenter.QueueAnswer(TXMessageButton::No);
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Texts(), QStringList{u"Há conexões ativas. Desconectar assim mesmo?"_s});
    EXPECT_TRUE(query->Active());
    EXPECT_TRUE(mainForm->AppConfig->Loaded);
    EXPECT_FALSE(QFile::exists(BackupFilePathFor(file.fileName()))); // not rewritten
}

TEST_F(ConfigDBTest, AFileGoneWhileConnectedIsSaidOnceAndTheConnectionClosed)
{
    Choose(station.DbPath());
    screen->BConfirm->click();
    CloseChildForm(screen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(QFile::rename(station.DbPath(), station.FilePath(u"movido.db"_s)));
    mainForm->LConfigConexao->trigger();
    screen = qobject_cast<TFConfigDB*>(FindChildForm("TFConfigDB")->widget());
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Last().Text.startsWith(
        u"Erro ao verificar conexão com o banco de dados corrente."_s));
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
    EXPECT_EQ(Panel(0), u"Desconectado"_s);
}

} // namespace
