#include "data/txconnection.h"
#include "data/txquery.h"
#include "provisionedstation.h"
#include "recordingplayer.h"
#include "scriptedpresenter.h"
#include "tappconfig.h"
#include "xexception.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TAppConfigTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        connection = station.Open();
        config.Connection = connection.get();
        config.MPlayer = &player;
    }

    void SetSound(const QString& path)
    {
        station.Exec(u"UPDATE Configuracao SET alert_sound = '%1'"_s.arg(path));
    }

    ProvisionedStation station;
    std::unique_ptr<TXConnection> connection;
    RecordingPlayer player;
    TAppConfig config;
    ScriptedPresenter presenter;
};

QString LoadError(TAppConfig& config)
{
    try {
        config.SetLoaded(true);
    } catch (const XException& e) {
        return e.Message();
    }
    return u"(no error)"_s;
}

} // namespace

TEST_F(TAppConfigTest, LoadsTheConfigurationRowAndKeepsTheSoundWhenItsFileIsGone)
{
    const QString sound = station.FilePath(u"alerta.wav"_s);
    ASSERT_TRUE(QFile(sound).open(QIODevice::WriteOnly));
    station.Exec(QStringLiteral("UPDATE Configuracao SET maquina = 'ESTACAO-01', rela_inicial = "
                                "1000.5, rela_final = 123456789012, descricao_lote = 'Lote 7', "
                                "info_db = 1, cb_ncc = 1, cb_nc_plantio = 0"));
    SetSound(sound);
    config.SetLoaded(true);
    EXPECT_TRUE(config.Loaded);
    EXPECT_EQ(u"%1|%2|%3|%4|%5|%6|%7"_s.arg(config.maquina)
                  .arg(config.rela_inicial)
                  .arg(config.rela_final, 0, 'f', 0)
                  .arg(config.descricao_lote)
                  .arg(config.info_db)
                  .arg(config.cb_ncc)
                  .arg(config.cb_nc_plantio),
              u"ESTACAO-01|1000.5|123456789012|Lote 7|1|1|0"_s);
    EXPECT_EQ(player.FileName(), sound);
    EXPECT_EQ(connection->DataSetCount(), 0);

    // A sound file gone keeps the previous one (the configuration screen tests an empty one).
    SetSound(station.FilePath(u"apagado.wav"_s));
    EXPECT_TRUE(config.LoadConfig());
    EXPECT_EQ(player.FileName(), sound);
    EXPECT_TRUE(player.Played.isEmpty());
}

TEST_F(TAppConfigTest, LoadFailuresRaiseAndLeaveLoadedAsItWas)
{
    config.Loaded = true;
    station.Exec(u"DELETE FROM Configuracao"_s);
    EXPECT_EQ(LoadError(config), QStringLiteral("Erro ao carregar a configuração.\r\nEntre em "
                                                "contato com o Administrador."));
    EXPECT_TRUE(config.Loaded);
    EXPECT_EQ(connection->DataSetCount(), 0); // the query was freed on the way out

    config.Loaded = false;
    config.Connection = nullptr;
    EXPECT_EQ(LoadError(config), u"Defina a Conexão antes de ler a configuração."_s);
    EXPECT_FALSE(config.Loaded);
    EXPECT_EQ(presenter.Count(), 0);
}

TEST(TAppConfig, DestroyingClosesThePlayer)
{
    RecordingPlayer player;
    {
        TAppConfig config;
        config.MPlayer = &player;
    }
    EXPECT_EQ(player.CloseCount, 1);
}
