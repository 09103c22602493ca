#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "shellfixture.h"
#include "tfconfigdb.h"
#include "txsoundplayer.h"
#include "xexception.h"
#include "xfiledialogs.h"

#include <QFile>
#include <QLabel>
#include <QToolButton>

namespace {

const QString kTitleStart = QStringLiteral("Tressalin - V. 01.006 / DB. 01.000  -  ");

TEST_F(ShellTest, StartWithoutConnectionFileOpensTheConnectionScreen)
{
    Start();
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral("Banco de Dados  não Encontrado.")});
    EXPECT_TRUE(IsChildOpen(QStringLiteral("FConfigDB")));
    EXPECT_EQ(Panel(0), QStringLiteral("Desconectado"));
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
}

// Cuts the stored path short, so its length runs past the content.
void DamageConnectionFile(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 3));
}

struct StartFailure
{
    const char* title;
    std::function<void(ProvisionedStation&)> prepare;
    QString text; // "{dat}" stands for the connection file
};

void PrintTo(const StartFailure& failure, std::ostream* out)
{
    *out << failure.title;
}

class FailedStartTest : public ShellTest, public ::testing::WithParamInterface<StartFailure>
{
};

TEST_P(FailedStartTest, SaysWhyOnceClosesAndOpensTheConnectionScreen)
{
    station.WriteConnectionFile();
    GetParam().prepare(station);
    Start();
    EXPECT_EQ(presenter.Texts(),
              QStringList{
                  QString(GetParam().text).replace(QStringLiteral("{dat}"), DM->ConnectionFile())});
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_TRUE(IsChildOpen(QStringLiteral("FConfigDB")));
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
}

const QString kSupport = QStringLiteral("\r\nEntre em contato com o Suporte Técnico.");

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedStartTest,
    ::testing::Values(
        StartFailure{"OtherVersion",
                     [](ProvisionedStation& s) {
                         s.Exec(QStringLiteral("UPDATE Configuracao SET VERSION_MDB = '01.001'"));
                     },
                     QStringLiteral("Versão do sistema diferente ao do Banco de Dados.") +
                         kSupport},
        StartFailure{"EmptyVersion",
                     [](ProvisionedStation& s) {
                         s.Exec(QStringLiteral("UPDATE Configuracao SET VERSION_MDB = ''"));
                     },
                     QStringLiteral("A versão do Banco de Dados (Configuracao.VERSION_MDB) "
                                    "está vazia.") +
                         kSupport},
        StartFailure{
            "NoConfigurationRow",
            [](ProvisionedStation& s) { s.Exec(QStringLiteral("DELETE FROM Configuracao")); },
            QStringLiteral("A tabela Configuracao do Banco de Dados está vazia.") + kSupport},
        StartFailure{"ErrorInsideTheVerification",
                     [](ProvisionedStation&) { SetComputerNameSource([] { return QString(); }); },
                     QStringLiteral("Computer name not detected")},
        StartFailure{"DamagedConnectionFile",
                     [](ProvisionedStation&) { DamageConnectionFile(DM->ConnectionFile()); },
                     QStringLiteral("O arquivo de conexão {dat} está danificado e não pode ser "
                                    "lido.\r\nSelecione o Banco de Dados a conectar.")}),
    [](const ::testing::TestParamInfo<StartFailure>& info) { return info.param.title; });

TEST_F(ShellTest, ADamagedConnectionFileIsReplacedByTheNextVerifiedConnect)
{
    station.WriteConnectionFile();
    DamageConnectionFile(DM->ConnectionFile());
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
    QFile file(DM->ConnectionFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadConnectionPayload(file.readAll()), std::optional<QString>(station.DbPath()));
}

TEST_F(ShellTest, StartOnAGoodFileConnectsBindsAndTitles)
{
    station.WriteConnectionFile();
    Start();
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(mainForm->AppConfig->Loaded);
    EXPECT_EQ(Panel(0), QStringLiteral("Conectado"));
    EXPECT_EQ(Panel(1), QStringLiteral("ESTACAO01"));
    EXPECT_EQ(Panel(2), station.DbPath());
    EXPECT_EQ(mainForm->windowTitle(), kTitleStart + QStringLiteral("Plantio  - Lote: LOTE A"));
    EXPECT_FALSE(IsChildOpen(QStringLiteral("FConfigDB")));
    EXPECT_EQ(station.Scalar(QStringLiteral("SELECT MAQUINA FROM Configuracao")),
              QStringLiteral("ESTACAO01"));
}

TEST_F(ShellTest, AConfigurationErrorAtStartReachesTheDefaultErrorDisplay)
{
    const QString sound = station.FilePath(QStringLiteral("alerta.wav"));
    QFile(sound).open(QIODevice::WriteOnly);
    station.Exec(QStringLiteral("UPDATE Configuracao SET ALERT_SOUND = '%1'").arg(sound));
    station.WriteConnectionFile();
    player.FailOnSetFileName = [] { throw XException(QStringLiteral("dispositivo de som")); };
    Start();
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral("dispositivo de som")});
    EXPECT_FALSE(mainForm->AppConfig->Loaded);
    EXPECT_TRUE(DM->Conn->Connected());
    EXPECT_EQ(mainForm->windowTitle(), QStringLiteral("Tressalin  "));
}

TEST_F(ShellTest, ConfigurarTwiceKeepsOneConnectionScreenAndRestoresAMinimisedOne)
{
    station.WriteConnectionFile();
    Start();
    mainForm->LConfigConexao->trigger();
    mainForm->LConfigConexao->trigger();
    EXPECT_EQ(mainForm->MdiArea->subWindowList().size(), 1);
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
    mainForm->LCONS_RESUMO->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(mainForm->windowTitle(), kTitleStart + QStringLiteral("  - Lote: LOTE A"));
}

TEST_F(ShellTest, DirectConnectActionBothWays)
{
    Start();
    presenter.Clear();
    mainForm->LConection->trigger();
    EXPECT_EQ(presenter.Texts(),
              QStringList{QStringLiteral("Selecione o Banco de Dados a conectar.")});

    DM->SetDatabase(station.DbPath());
    mainForm->LConection->trigger();
    EXPECT_TRUE(DM->Conn->Connected());
    mainForm->LConection->trigger();
    EXPECT_FALSE(DM->Conn->Connected());
    EXPECT_FALSE(mainForm->LConection->isVisible());
}

TEST_F(ShellTest, AlertPlaysTheSoundAndAlwaysShowsTheBox)
{
    ShowAlert(QStringLiteral("sem som"));
    EXPECT_TRUE(player.Played.isEmpty());
    mainForm->AppConfig->MPlayer = &player;
    player.SetFileName(station.FilePath(QStringLiteral("alerta.wav")));
    ShowAlert(QStringLiteral("com som"));
    EXPECT_EQ(player.Played.size(), 1);
    EXPECT_EQ(presenter.Texts(), (QStringList{"sem som", "com som"}));
    EXPECT_EQ(presenter.Last().Kind, TXMessageKind::Error);
}

TEST_F(ShellTest, RealPlayerWithAMissingFileNeverThrows)
{
    const QString sound = station.FilePath(QStringLiteral("alerta.wav"));
    QFile(sound).open(QIODevice::WriteOnly);
    auto* real = mainForm->findChild<TXSoundPlayer*>();
    ASSERT_NE(real, nullptr);
    mainForm->AppConfig->MPlayer = real;
    real->SetFileName(sound);
    QFile::remove(sound);
    EXPECT_NO_THROW(ShowAlert(QStringLiteral("alerta")));
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral("alerta")});
}

TEST_F(ShellTest, NowAsTextIsLocalTwentyFourHourTime)
{
    SetNowSource([] { return QDateTime(QDate(2026, 3, 7), QTime(15, 4, 9)); });
    EXPECT_EQ(NowAsText(), QStringLiteral("2026-03-07 15:04:09"));
    SetNowSource({});
    EXPECT_EQ(NowAsText().size(), 19);
}

} // namespace
