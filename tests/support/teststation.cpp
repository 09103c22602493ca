#include "teststation.h"

#include "data/txquery.h"
#include "data/xstationfile.h"

TestStation::TestStation(const QString& fileName)
    : m_path(m_dir.filePath(fileName)), m_conn(std::make_unique<TXConnection>())
{
    CreateStationFile(m_path, kPassword);
    m_conn->SetConnectionString(ConnectionString());
    m_conn->SetConnectionTimeout(5);
    m_conn->Open();
}

TestStation::~TestStation() = default;

QString TestStation::ConnectionString(const QString& password) const
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;"
                          "Persist Security Info=False;Jet OLEDB:Database Password=%2")
        .arg(m_path, password);
}

int TestStation::Exec(const QString& sql)
{
    TXCommand command(m_conn.get());
    command.SetCommandText(sql);
    return command.Execute();
}

std::unique_ptr<TXConnection> TestStation::OpenAnother(int timeoutSeconds) const
{
    auto conn = std::make_unique<TXConnection>();
    conn->SetConnectionString(ConnectionString());
    conn->SetConnectionTimeout(timeoutSeconds);
    conn->Open();
    return conn;
}

void TestStation::CreatePlantingTables()
{
    Exec(QStringLiteral("CREATE TABLE Lote (ID_SLOTE LONG NOT NULL, %1, "
                        "QTE_TRATAMENTO LONG NOT NULL, CONSTRAINT PK_Lote PRIMARY KEY (ID_SLOTE))")
             .arg(TextColumnDecl(QStringLiteral("NOME"), 20, true)));
    Exec(QStringLiteral("CREATE TABLE Planta (NCC DOUBLE NOT NULL, NC DOUBLE NOT NULL, "
                        "REP LONG NOT NULL, CONSTRAINT PK_Planta PRIMARY KEY (NCC))"));
    Exec(QStringLiteral("CREATE TABLE Plantio (ID_SLOTE LONG NOT NULL, NC_PLANTIO DOUBLE NOT NULL, "
                        "NCC DOUBLE NOT NULL, ID_USER LONG NOT NULL, %1, %2, "
                        "CONSTRAINT PK_Plantio PRIMARY KEY (NC_PLANTIO, NCC))")
             .arg(TextColumnDecl(QStringLiteral("DATA_PLANTIO"), 20, true),
                  TextColumnDecl(QStringLiteral("ORIGEM_PLANTIO"), 20, false)));
    Exec(QStringLiteral("CREATE TABLE Usua (ID_USER LONG NOT NULL, %1, %2, %3, "
                        "CONSTRAINT PK_Usua PRIMARY KEY (ID_USER))")
             .arg(TextColumnDecl(QStringLiteral("NOME"), 60, true),
                  TextColumnDecl(QStringLiteral("CODIGO"), 15, true),
                  TextColumnDecl(QStringLiteral("SENHA"), 34, true)));
}
