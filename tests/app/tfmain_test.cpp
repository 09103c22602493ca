#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "shellfixture.h"
#include "shippedsounds.h"
#include "tfconfigdb.h"
#include "txsoundplayer.h"
#include "xexception.h"
#include "xfiledialogs.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSoundEffect>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString kTitleStart = u"Tressalin - V. 01.006 / DB. 01.000  -  "_s;

// A title, how the station is spoilt before the start, and the one box it shows. (A damaged
// connection file, another version and the failures of the connect itself have their boxes
// checked with the data module.)
using StartFailure = std::tuple<const char*, std::function<void(ProvisionedStation&)>, QString>;

class FailedStartTest : public ShellTest, public ::testing::WithParamInterface<StartFailure>
{
};

TEST_P(FailedStartTest, SaysWhyOnceClosesAndOpensTheConnectionScreen)
{
    const auto& [title, prepare, text] = GetParam();
    station.WriteConnectionFile();
    prepare(station);
    Start();
    EXPECT_EQ(presenter.Texts(), QStringList{text}) << title;
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_TRUE(IsChildOpen(u"FConfigDB"_s));
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
}

const QString kSupport = u"\r\nEntre em contato com o Suporte Técnico."_s;

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedStartTest,
    ::testing::Values(
        StartFailure{
            "EmptyVersion",
            [](ProvisionedStation& s) { s.Exec(u"UPDATE Configuracao SET VERSION_MDB = ''"_s); },
            u"A versão do Banco de Dados (Configuracao.VERSION_MDB) está vazia."_s + kSupport},
        StartFailure{"NoConfigurationRow",
                     [](ProvisionedStation& s) { s.Exec(u"DELETE FROM Configuracao"_s); },
                     u"A tabela Configuracao do Banco de Dados está vazia."_s + kSupport},
        StartFailure{"ErrorInsideTheVerification",
                     [](ProvisionedStation&) { SetComputerNameSource([] { return QString(); }); },
                     u"Computer name not detected"_s}),
    [](const auto& info) { return std::get<0>(info.param); });

TEST_F(ShellTest, ADamagedConnectionFileIsReplacedByTheNextVerifiedConnect)
{
    station.WriteConnectionFile();
    QFile file(DM->ConnectionFile());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 3)); // the stored path's length runs past the content
    file.close();
    Start();
    mainForm->LConfigConexao->trigger(); // opens as well as the start did
    auto* screen = qobject_cast<TFConfigDB*>(FindChildForm("TFConfigDB")->widget());
    ASSERT_NE(screen, nullptr);
    SetFileDialogHandler([this](const TXFileDialogRequest&) { return station.DbPath(); });
    screen->BLoadDBFile->click();
    screen->BConfirm->click();
    SetFileDialogHandler({});
    EXPECT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(mainForm->AppConfig->Loaded);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadConnectionPayload(file.readAll()), std::optional<QString>(station.DbPath()));
}

TEST_F(ShellTest, StartOnAGoodFileConnectsBindsAndTitles)
{
    station.WriteConnectionFile();
    Start();
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(mainForm->AppConfig->Loaded);
    EXPECT_EQ(Panel(0), u"Conectado"_s);
    EXPECT_EQ(Panel(2), station.DbPath());
    EXPECT_EQ(mainForm->windowTitle(), kTitleStart + u"Plantio  - Lote: LOTE A"_s);
    EXPECT_FALSE(IsChildOpen(u"FConfigDB"_s));
    EXPECT_EQ(station.Scalar(u"SELECT MAQUINA FROM Configuracao"_s), u"ESTACAO01"_s);
}

TEST_F(ShellTest, AConfigurationErrorAtStartReachesTheDefaultErrorDisplay)
{
    const QString sound = station.FilePath(u"alerta.wav"_s);
    QFile(sound).open(QIODevice::WriteOnly);
    station.Exec(u"UPDATE Configuracao SET ALERT_SOUND = '%1'"_s.arg(sound));
    station.WriteConnectionFile();
    player.FailOnSetFileName = [] { throw XException(u"dispositivo de som"_s); };
    Start();
    EXPECT_EQ(presenter.Texts(), QStringList{u"dispositivo de som"_s});
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
    EXPECT_TRUE(DM->Conn->Connected());
    EXPECT_EQ(mainForm->windowTitle(), u"Tressalin  "_s);
}

TEST_F(ShellTest, ConfigurarAgainKeepsOneConnectionScreenAndRestoresAMinimisedOne)
{
    Start(); // no connection file: the connection screen opens
    QMdiSubWindow* sub = FindChildForm("TFConfigDB");
    ASSERT_NE(sub, nullptr);
    sub->showMinimized();
    mainForm->LConfigConexao->trigger();
    EXPECT_EQ(mainForm->MdiArea->subWindowList().size(), 1);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_EQ(FindChildForm("TFConfigDB"), sub);
}

TEST_F(ShellTest, WorkActionsFollowTheOperationAndStopAfterADisconnect)
{
    station.WriteConnectionFile();
    Start();
    QStringList opened;
    mainForm->RegisterWorkScreen(TWorkAction::Cadastro, 0, [&] { opened << "plantio"; });
    mainForm->RegisterWorkScreen(TWorkAction::Cadastro, 1, [&] { opened << "coleta"; });
    mainForm->RegisterWorkScreen(TWorkAction::ConsultaResumo, 0, [&] { opened << "resumo"; });
    mainForm->LCadastro->trigger();
    mainForm->LCONS_RESUMO->trigger();
    mainForm->LCONS_CADASTRO->trigger(); // nothing registered: nothing happens
    EXPECT_EQ(opened, (QStringList{"plantio", "resumo"}));

    mainForm->LConfigConexao->trigger();
    auto* screen = qobject_cast<TFConfigDB*>(FindChildForm("TFConfigDB")->widget());
    screen->BConfirm->click(); // disconnects
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
    opened.clear();
    mainForm->LCadastro->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(mainForm->windowTitle(), kTitleStart + u"  - Lote: LOTE A"_s);
}

TEST_F(ShellTest, DirectConnectActionBothWays)
{
    Start();
    presenter.Clear();
    mainForm->LConection->trigger();
    EXPECT_EQ(presenter.Texts(), QStringList{u"Selecione o Banco de Dados a conectar."_s});

    DM->SetDatabase(station.DbPath());
    mainForm->LConection->trigger();
    EXPECT_TRUE(DM->Conn->Connected());
    mainForm->LConection->trigger();
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_FALSE(mainForm->LConection->isVisible());
}

TEST_F(ShellTest, AMissingDatabaseIsNamedAndTheConnectionScreenShowsItsPath)
{
    station.WriteConnectionFile();
    ASSERT_TRUE(QFile::rename(station.DbPath(), station.FilePath(u"movido.db"_s)));
    Start();
    EXPECT_EQ(presenter.Count(), 2); // the boxes' texts are the data module's
    auto* screen = qobject_cast<TFConfigDB*>(FindChildForm("TFConfigDB")->widget());
    EXPECT_EQ(screen->EDBase->text(), station.DbPath());
}

TEST_F(ShellTest, ADisconnectClosesEveryScreenButTheConnectionScreenAndSaysWhich)
{
    station.WriteConnectionFile();
    Start();
    QPointer<QMdiSubWindow> open = AddChildForm(new QWidget);
    open->widget()->setWindowTitle(u"Cadastro de Plantio"_s);
    open->show();
    mainForm->LConfigConexao->trigger();
    presenter.Clear();
    mainForm->LConection->trigger();
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return open.isNull(); }));
    EXPECT_TRUE(IsChildOpen(u"FConfigDB"_s));
    EXPECT_EQ(
        presenter.Texts(),
        QStringList{u"Desconectado do Banco de Dados; telas fechadas: Cadastro de Plantio."_s});
}

TEST_F(ShellTest, AlertPlaysTheSoundAndAlwaysShowsTheBox)
{
    ShowAlert(u"sem som"_s);
    EXPECT_TRUE(player.Played.isEmpty());
    mainForm->AppConfig->MPlayer = &player;
    player.SetFileName(station.FilePath(u"alerta.wav"_s));
    ShowAlert(u"com som"_s);
    EXPECT_EQ(player.Played.size(), 1);
    EXPECT_EQ(presenter.Texts(), (QStringList{"sem som", "com som"}));
    EXPECT_EQ(presenter.Last().Kind, TXMessageKind::Error);
}

TEST_F(ShellTest, AcceptedAndCompleteSoundsAreTheFilesBesideTheAlertSound)
{
    mainForm->AppConfig->MPlayer = &player;
    const QString alert = station.FilePath(u"alerta.wav"_s);
    const QString accepted = station.FilePath(kAcceptedSoundName);
    const QString complete = station.FilePath(kCompleteSoundName);
    // The alert sound, the files in its folder, what Accepted, Complete and Rejected then play.
    const QList<std::tuple<QString, QStringList, QStringList>> cases = {
        {alert, {alert, accepted, complete}, {accepted, complete, alert}},
        {alert, {alert}, {alert}},
        {QString(), {alert, accepted, complete}, {}},
    };
    for (const auto& [sound, files, played] : cases) {
        for (const QString& file : {alert, accepted, complete})
            QFile::remove(file);
        for (const QString& file : files)
            QFile(file).open(QIODevice::WriteOnly);
        player.SetFileName(sound);
        player.Played.clear();
        PlayAlertSound(TAlertSound::Accepted);
        ShowAlert(u"completo"_s, TAlertSound::Complete);
        PlayAlertSound(TAlertSound::Rejected);
        EXPECT_EQ(player.Played, played) << files.join(u' ').toStdString();
    }
}

TEST_F(ShellTest, RealPlayerWithAMissingFileOrNoAudioDeviceNeverThrows)
{
    const QString sound = station.FilePath(u"alerta.wav"_s);
    QFile(sound).open(QIODevice::WriteOnly);
    auto* real = mainForm->findChild<TXSoundPlayer*>();
    ASSERT_NE(real, nullptr);
    mainForm->AppConfig->MPlayer = real;
    real->SetFileName(sound);
    QFile::remove(sound);
    EXPECT_NO_THROW(ShowAlert(u"alerta"_s));
    EXPECT_EQ(presenter.Texts(), QStringList{u"alerta"_s});

    // The shipped sounds, each loaded once however often it plays.
    real->SetFileName(ShippedAlertSound());
    for (int round = 0; round < 2; ++round) {
        for (const TAlertSound outcome :
             {TAlertSound::Rejected, TAlertSound::Accepted, TAlertSound::Complete})
            EXPECT_NO_THROW(PlayAlertSound(outcome));
    }
    const QList<QSoundEffect*> effects = real->findChildren<QSoundEffect*>();
    EXPECT_EQ(effects.size(), 3);
    // Qt's sample cache hangs the process's exit while a sample is still loading.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return std::none_of(effects.cbegin(), effects.cend(), [](const QSoundEffect* e) {
                return e->status() == QSoundEffect::Loading;
            });
        },
        5000));
}

} // namespace
