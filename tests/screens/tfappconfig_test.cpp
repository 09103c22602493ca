#include "shellfixture.h"
#include "tfappconfig.h"
#include "txnumedit.h"
#include "xfiledialogs.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class AppConfigScreenTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        mainForm->RegisterConfigScreen([] { OpenChildForm<TFAppConfig>(); });
    }
    void TearDown() override
    {
        SetFileDialogHandler({});
        ShellTest::TearDown();
    }

    /** Connects at start and opens the screen from the menu. */
    TFAppConfig* OpenScreen()
    {
        station.WriteConnectionFile();
        Start();
        presenter.Clear();
        mainForm->LAPPCONFIG->trigger();
        QMdiSubWindow* sub = FindChildForm("TFAppConfig");
        return sub ? qobject_cast<TFAppConfig*>(sub->widget()) : nullptr;
    }
};

TEST_F(AppConfigScreenTest, ShowsTheStoredRowReadOnlyWhereItMust)
{
    station.Exec(
        QStringLiteral("UPDATE Configuracao SET RELA_INICIAL = 1234567, "
                       "RELA_FINAL = 7654321, INFO_DB = 5, CB_NCC = 1, CB_NC_PLANTIO = 0"));
    TFAppConfig* screen = OpenScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->info_db->text(), u"Coleta"_s);
    EXPECT_EQ(screen->maquina->text(), u"ESTACAO01"_s);
    EXPECT_EQ(screen->rela_final->text(), u"7.654.321"_s);
    EXPECT_FALSE(screen->rela_inicial->isEnabled());
    EXPECT_EQ(screen->cb_ncc->currentIndex(), 1);
    // Enter on a valid field moves on, as a scanner's Enter does.
    screen->cb_ncc->setFocus();
    QTest::keyClick(screen->cb_ncc, Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), screen->cb_ncc);
}

TEST_F(AppConfigScreenTest, SavingTakesEffectAtOnce)
{
    const QString sound = station.FilePath(u"alerta.wav"_s);
    QFile(sound).open(QIODevice::WriteOnly);
    QPointer<TFAppConfig> screen = OpenScreen();
    ASSERT_TRUE(screen);
    screen->cb_nc_plantio->setCurrentIndex(1);
    SetFileDialogHandler([&](const TXFileDialogRequest&) { return sound; });
    screen->BLoadFile->click();
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Texts(), QStringList{u"Configuração Atualizado."_s});
    EXPECT_EQ(station.Scalar(u"SELECT CB_NC_PLANTIO FROM Configuracao"_s), u"1"_s);
    EXPECT_EQ(player.FileName(), sound); // the configuration was read again
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.isNull(); }, 2000)); // closes on success
}

TEST_F(AppConfigScreenTest, AFailingSaveKeepsTheScreenOpenAndAnEmptySoundWritesNull)
{
    station.Exec(u"UPDATE Configuracao SET ALERT_SOUND = 'x.wav'"_s);
    player.SetFileName(u"/anterior.wav"_s);
    TFAppConfig* screen = OpenScreen();
    ASSERT_NE(screen, nullptr);
    station.Exec(QStringLiteral("CREATE TRIGGER recusa BEFORE UPDATE ON Configuracao "
                                "BEGIN SELECT RAISE(ABORT, 'gravacao recusada'); END"));
    const int stored = mainForm->AppConfig->cb_ncc;
    screen->cb_ncc->setCurrentIndex(1 - stored);
    screen->BConfirm->click();
    EXPECT_TRUE(presenter.Take().value(0).startsWith(u"Erro ao atualizar a Configuração: "_s));
    EXPECT_EQ(mainForm->AppConfig->cb_ncc, stored);
    EXPECT_NE(FindChildForm("TFAppConfig"), nullptr);

    // An empty sound is stored as null and the player keeps its file.
    station.Exec(u"DROP TRIGGER recusa"_s);
    screen->alert_sound->clear();
    screen->BConfirm->click();
    EXPECT_EQ(station.Scalar(u"SELECT ALERT_SOUND IS NULL FROM Configuracao"_s), u"1"_s);
    EXPECT_EQ(player.FileName(), u"/anterior.wav"_s);
}

} // namespace
