#include "stationfixture.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"

namespace {

QString Text(const char* name, int size, bool notNull = true)
{
    return TextColumnDecl(QString::fromUtf8(name), size, notNull);
}

// The nine tables as the provisioning declares them (Jet type names).
QStringList SchemaDdl()
{
    const QString plantio = QStringLiteral("ID_SLOTE LONG NOT NULL, NC_PLANTIO DOUBLE NOT NULL, "
                                           "NCC DOUBLE NOT NULL, ID_USER LONG NOT NULL, ") +
                            Text("DATA_PLANTIO", 20) + QStringLiteral(", ") +
                            Text("ORIGEM_PLANTIO", 20, false);
    const QString poco =
        QStringLiteral("ID_PLACA LONG NOT NULL, PLACA LONG NOT NULL, ") + Text("POCO", 5) +
        QStringLiteral(", LINHA LONG NOT NULL, COLUNA LONG NOT NULL, "
                       "SEQ_COLETA LONG NOT NULL, ") +
        Text("AMOSTRA", 1) +
        QStringLiteral(", STATUS_POCO LONG NOT NULL, NC_PLANTIO DOUBLE, "
                       "USER_COLETA LONG, ") +
        Text("DATA_COLETA", 20, false) + QStringLiteral(", ") + Text("ORIGEM_COLETA", 20, false);
    return {
        QStringLiteral("CREATE TABLE Configuracao (ID LONG NOT NULL, ") +
            Text("MAQUINA", 40, false) +
            QStringLiteral(", RELA_INICIAL DOUBLE NOT NULL, RELA_FINAL DOUBLE NOT NULL, ID_LOTE "
                           "LONG NOT NULL, ") +
            Text("DESCRICAO_LOTE", 20) +
            QStringLiteral(", INFO_DB LONG NOT NULL, ID_TRESSALIN LONG NOT NULL, ") +
            Text("VERSION_MDB", 20) +
            QStringLiteral(", CB_NCC LONG NOT NULL, CB_NC_PLANTIO LONG NOT NULL, ") +
            Text("ALERT_SOUND", 100, false) +
            QStringLiteral(", CONSTRAINT PK_Configuracao PRIMARY KEY (ID))"),
        QStringLiteral("CREATE TABLE Lote (ID_SLOTE LONG NOT NULL, ") + Text("NOME", 20) +
            QStringLiteral(", QTE_TRATAMENTO LONG NOT NULL, CONSTRAINT PK_Lote PRIMARY KEY "
                           "(ID_SLOTE))"),
        QStringLiteral("CREATE TABLE Planta (NCC DOUBLE NOT NULL, NC DOUBLE NOT NULL, REP LONG "
                       "NOT NULL, CONSTRAINT PK_Planta PRIMARY KEY (NCC))"),
        QStringLiteral("CREATE TABLE Plantio (") + plantio +
            QStringLiteral(", CONSTRAINT PK_Plantio PRIMARY KEY (NC_PLANTIO, NCC))"),
        QStringLiteral("CREATE TABLE Plantio_Exc (") + plantio +
            QStringLiteral(", USER_PLANTIO_EXC LONG, ") + Text("DATA_PLANTIO_EXC", 20, false) +
            QStringLiteral(", CONSTRAINT PK_Plantio_Exc PRIMARY KEY (NC_PLANTIO, NCC, "
                           "DATA_PLANTIO_EXC))"),
        QStringLiteral("CREATE TABLE Placa (ID_PLACA LONG NOT NULL, PLACA LONG NOT NULL, ") +
            Text("CODIGO", 20) +
            QStringLiteral(", TLINHA LONG NOT NULL, TCOLUNA LONG NOT NULL, CONSTRAINT PK_Placa "
                           "PRIMARY KEY (ID_PLACA))"),
        QStringLiteral("CREATE TABLE Placa_Poco (") + poco +
            QStringLiteral(", CONSTRAINT PK_Placa_Poco PRIMARY KEY (ID_PLACA, POCO, "
                           "STATUS_POCO))"),
        QStringLiteral("CREATE TABLE Placa_Poco_Exc (") + poco +
            QStringLiteral(", USER_COLETA_EXC LONG, ") + Text("DATA_COLETA_EXC", 20, false) +
            QStringLiteral(", CONSTRAINT PK_Placa_Poco_Exc PRIMARY KEY (ID_PLACA, POCO, "
                           "DATA_COLETA_EXC))"),
        QStringLiteral("CREATE TABLE Usua (ID_USER LONG NOT NULL, ") + Text("NOME", 60) +
            QStringLiteral(", ") + Text("CODIGO", 15) + QStringLiteral(", ") + Text("SENHA", 34) +
            QStringLiteral(", CONSTRAINT PK_Usua PRIMARY KEY (ID_USER))"),
    };
}

} // namespace

QString MakeEmptyStation(const QString& path, const QString& password)
{
    CreateStationFile(path, password);
    return path;
}

QString MakeStation(const QString& path, const QString& password, const QString& version)
{
    CreateStationFile(path, password);
    std::unique_ptr<TXConnection> connection = OpenStationFile(path, password);
    for (const QString& ddl : SchemaDdl())
        ExecuteSql(connection.get(), ddl);
    auto insert = NewCommand(connection.get());
    insert->SetCommandText(
        QStringLiteral("INSERT INTO Configuracao (ID, RELA_INICIAL, RELA_FINAL, ID_LOTE, "
                       "DESCRICAO_LOTE, INFO_DB, ID_TRESSALIN, VERSION_MDB, CB_NCC, CB_NC_PLANTIO) "
                       "VALUES (1, 0, 0, 0, '', 0, 0, :version, 0, 0)"));
    insert->ParamByName(QStringLiteral("version")).SetString(version);
    insert->Execute();
    return path;
}

std::unique_ptr<TXConnection> OpenStationFile(const QString& path, const QString& password)
{
    auto connection = std::make_unique<TXConnection>();
    connection->SetConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
        QStringLiteral(";Jet OLEDB:Database Password=") + password);
    connection->Open();
    return connection;
}

void ExecuteSql(TXConnection* connection, const QString& sql)
{
    auto command = NewCommand(connection);
    command->SetCommandText(sql);
    command->Execute();
}
