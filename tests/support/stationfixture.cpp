#include "stationfixture.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"

namespace {

const QString kPassword = QStringLiteral("7k4M9R5");

QString Text(const char* name, int size, bool notNull = true)
{
    return TextColumnDecl(QString::fromUtf8(name), size, notNull);
}

} // namespace

QString MakeStation(const QString& path)
{
    CreateStationFile(path, kPassword);
    std::unique_ptr<TXConnection> connection = OpenStationFile(path);
    ExecuteSql(connection.get(),
               QStringLiteral("CREATE TABLE Configuracao (ID LONG NOT NULL, %1, RELA_INICIAL "
                              "DOUBLE NOT NULL, RELA_FINAL DOUBLE NOT NULL, ID_LOTE LONG NOT NULL, "
                              "%2, INFO_DB LONG NOT NULL, ID_TRESSALIN LONG NOT NULL, %3, CB_NCC "
                              "LONG NOT NULL, CB_NC_PLANTIO LONG NOT NULL, %4, "
                              "CONSTRAINT PK_Configuracao PRIMARY KEY (ID))")
                   .arg(Text("MAQUINA", 40, false), Text("DESCRICAO_LOTE", 20),
                        Text("VERSION_MDB", 20), Text("ALERT_SOUND", 100, false)));
    ExecuteSql(connection.get(),
               QStringLiteral("INSERT INTO Configuracao (ID, RELA_INICIAL, RELA_FINAL, ID_LOTE, "
                              "DESCRICAO_LOTE, INFO_DB, ID_TRESSALIN, VERSION_MDB, CB_NCC, "
                              "CB_NC_PLANTIO) VALUES (1, 0, 0, 0, '', 0, 0, '01.000', 0, 0)"));
    return path;
}

std::unique_ptr<TXConnection> OpenStationFile(const QString& path)
{
    auto connection = std::make_unique<TXConnection>();
    connection->SetConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
        QStringLiteral(";Jet OLEDB:Database Password=") + kPassword);
    connection->Open();
    return connection;
}

void ExecuteSql(TXConnection* connection, const QString& sql)
{
    auto command = NewCommand(connection);
    command->SetCommandText(sql);
    command->Execute();
}
