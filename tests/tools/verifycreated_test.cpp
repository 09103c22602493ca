#include "appschema.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "scriptedpresenter.h"
#include "stationbuilder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ComputerName
{
    explicit ComputerName(const QString& name)
    {
        SetComputerNameSource([name] { return name; });
    }
    ~ComputerName() { SetComputerNameSource({}); }
};

} // namespace

// The client's check against the tool's own provisioning: what `create` makes
// must be accepted as it stands, and bound to the first computer that opens it.
TEST(VerifyCreatedStation, ProvisionedFilePassesAndBindsOnce)
{
    QTemporaryDir dir;
    ScriptedPresenter presenter;
    const QString path = dir.filePath(QStringLiteral("estacao.db"));
    CreateStation(path, StationOptions{});
    std::unique_ptr<TXConnection> connection = OpenStation(path);

    {
        ComputerName here(QStringLiteral("lab'01"));
        EXPECT_TRUE(VerifyDatabase(connection.get()));
        EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(connection->Connected());
        EXPECT_EQ(ReadStationConfig(connection.get()).Maquina, QStringLiteral("LAB'01"));
    }
    {
        ComputerName elsewhere(QStringLiteral("LAB02"));
        EXPECT_FALSE(VerifyDatabase(connection.get()));
        EXPECT_EQ(presenter.Texts(),
                  QStringList{QStringLiteral(
                      "O Banco de dados já foi utilizado no computador [LAB'01].\r\n")});
    }
}
