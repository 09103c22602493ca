#include "appschema.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"
#include "dbstation.h"
#include "scriptedpresenter.h"
#include "tdb_struct.h"
#include "xexception.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString StoredMachine(TXConnection* connection)
{
    auto query = NewQuery(connection);
    query->SetSQL(u"SELECT maquina FROM Configuracao"_s);
    query->Open();
    return query->FieldByName(u"maquina"_s).AsString();
}

// Each table as "NAME|FIELD type size null ...|PK fields", sorted by table name.
QStringList Describe(const TDB_Struct& db)
{
    QStringList tables;
    for (const auto& table : db.Tables) {
        QStringList parts{table.Name.toUpper()};
        for (const auto& f : table.Object->Fields)
            parts << u"%1 %2 %3 %4"_s.arg(f.Name)
                         .arg(f.Object->FieldType)
                         .arg(f.Object->Size)
                         .arg(f.Object->AllowNull);
        for (const auto& index : table.Object->Indexes)
            if (index.Object->Primary)
                parts << index.Name + u' ' + QString(index.Object->Fields).remove(u' ');
        tables << parts.join(u'|');
    }
    tables.sort();
    return tables;
}

class VerifyDatabaseTest : public ::testing::Test
{
protected:
    // A provisioned station, open, as the data module holds it.
    TXConnection* Open(const QString& name)
    {
        connection = OpenStation(NewStation(dir.filePath(name)));
        return connection.get();
    }

    QTemporaryDir dir;
    std::unique_ptr<TXConnection> connection;
    ScriptedPresenter presenter;
};

} // namespace

// The client's declared schema and the tool's provisioning describe the same
// tables, columns, null flags and keys, both ways.
TEST_F(VerifyDatabaseTest, ProvisionedStationMatchesTheDeclaredSchema)
{
    TDB_Struct declared;
    DeclareSchema(&declared);
    TDB_Struct actual;
    actual.SetConnection(Open(u"p.db"_s));
    ASSERT_TRUE(actual.LoadFromDatabase());
    actual.ClearConnection();
    EXPECT_EQ(Describe(actual), Describe(declared));
    EXPECT_EQ(declared.Tables.Count(), 9);
    EXPECT_EQ(presenter.Count(), 0);
}

TEST_F(VerifyDatabaseTest, BindingComparesTheStoredNameExactly)
{
    // Stored name, this computer, whether it passes, the name stored afterwards.
    const std::tuple<QString, QString, bool, QString> cases[] = {
        {"", "o'neil-pc", true, "O'NEIL-PC"},       {"", "quote''twice", true, "QUOTE''TWICE"},
        {"ESTACAO", " estacao", true, "ESTACAO"},   {"estacao", "estacao", false, "estacao"},
        {"OUTRO-PC", "estacao", false, "OUTRO-PC"},
    };
    int n = 0;
    for (const auto& [stored, computer, passes, storedAfter] : cases) {
        SCOPED_TRACE(computer.toStdString());
        presenter.Clear();
        ComputerName here(computer);
        TXConnection* conn = Open(u"b%1.db"_s.arg(n++));
        auto command = NewCommand(conn);
        command->SetCommandText(u"UPDATE Configuracao SET maquina = :m"_s);
        command->ParamByName(u"m"_s).SetString(stored);
        command->Execute();

        EXPECT_EQ(VerifyDatabase(conn), passes);
        EXPECT_EQ(StoredMachine(conn), storedAfter);
        EXPECT_EQ(presenter.Texts(),
                  passes ? QStringList()
                         : QStringList{u"O Banco de dados já foi utilizado no computador ["_s +
                                       stored + u"].\r\n"_s});
    }
}

TEST_F(VerifyDatabaseTest, VersionThenStructureAreCheckedBeforeBinding)
{
    ComputerName here(u"ESTACAO"_s);
    TXConnection* conn = Open(u"v.db"_s);
    Exec(conn, "UPDATE Configuracao SET version_mdb = '01.001'");
    Exec(conn, "DROP TABLE Placa");
    EXPECT_FALSE(VerifyDatabase(conn));
    EXPECT_EQ(presenter.Take(), QStringList{u"Versão do sistema diferente ao do Banco de Dados."
                                            "\r\nEntre em contato com o Suporte Técnico."_s});

    // Differences of every table show in one box.
    Exec(conn, "UPDATE Configuracao SET version_mdb = '01.000'");
    Exec(conn, "DROP TABLE Plantio");
    Exec(conn, "CREATE TABLE PLANTIO (id_slote LONG NOT NULL, NC_PLANTIO DOUBLE NOT NULL, NCC "
               "LONG NOT NULL, ID_USER LONG, DATA_PLANTIO TEXT(20), ORIGEM_PLANTIO TEXT(20), "
               "EXTRA MEMO)");
    Exec(conn, "CREATE TABLE [~Tmp] (x LONG)");
    EXPECT_FALSE(VerifyDatabase(conn));
    EXPECT_EQ(presenter.Take(), QStringList{u"Tabela: Plantio\r\nCampo: NCC.  Estrutura Esperada: "
                                            "FLOAT   Estrutura retornada: LONG \r\n\r\n"
                                            "Tabela Placa não encontrado.\r\n"_s});
    EXPECT_EQ(StoredMachine(conn), QString()); // not bound either

    Exec(conn, "DROP TABLE Configuracao");
    EXPECT_FALSE(VerifyDatabase(conn));
    EXPECT_EQ(presenter.Take(), QStringList{u"Erro ao atualizar o banco de dados.\r\n"
                                            "Tabela de configuração não encontrado no banco de "
                                            "dados."_s});
}

TEST_F(VerifyDatabaseTest, LoadFromDatabaseReadsUserTablesAsTheyAreNamed)
{
    const QString path = dir.filePath(u"e.db"_s);
    CreateStationFile(path, kStationPassword);
    connection = OpenStation(path);
    TXConnection* conn = connection.get();
    Exec(conn, "CREATE TABLE Amostra (ID COUNTER, NOME TEXT(40) NOT NULL, PESO DOUBLE, QTD "
               "LONG, QUANDO DATETIME, OBS MEMO, OK YESNO, S SHORT, CU CURRENCY, B LONGBINARY, "
               "CONSTRAINT PK_Amostra PRIMARY KEY (ID, NOME))");
    for (const char* skipped : {"~Temp", "_interna", "1tabela", "ética"})
        Exec(conn, u"CREATE TABLE [%1] (X LONG)"_s.arg(QString::fromUtf8(skipped)));
    Exec(conn, "CREATE TABLE zeta (X LONG)");
    Exec(conn, "CREATE VIEW Visao AS SELECT NOME FROM Amostra");

    TDB_Struct actual;
    actual.SetConnection(conn);
    ASSERT_TRUE(actual.LoadFromDatabase());
    actual.ClearConnection();
    ASSERT_EQ(actual.Tables.Count(), 2);
    EXPECT_EQ(actual.Tables.Name(1), u"zeta"_s);
    EXPECT_EQ(Describe(actual)[0],
              u"AMOSTRA|ID %1 0 1|NOME %2 40 0|PESO %3 0 1|QTD %4 0 1|QUANDO %5 0 1|OBS %6 0 1|"
              "OK %7 0 1|S %4 0 1|CU %3 0 1|B %6 0 1|PK_Amostra ID,NOME"_s.arg(sftAutoInc)
                  .arg(sftText)
                  .arg(sftFloat)
                  .arg(sftLong)
                  .arg(sftDateTime)
                  .arg(sftMemo)
                  .arg(sftUnknown));
    EXPECT_EQ(actual.Tables.Object(0)->Name, u"Amostra"_s);
}

TEST_F(VerifyDatabaseTest, StructureConnectsItselfByTheConnectionStringRule)
{
    const QString db = NewStation(dir.filePath(u"c.db"_s));
    TXConnection conn;
    conn.SetTag(kAce2007Tag);
    {
        TDB_Struct s;
        s.SetConnection(&conn);
        s.DatabaseFile = db;
        s.Password = kStationPassword;
        s.SetConnected(true);
        EXPECT_TRUE(s.IsConnected());
        EXPECT_TRUE(conn.ConnectionString().startsWith(
            u"Provider=Microsoft.ACE.OLEDB.12.0;Data Source="_s + db));
        ASSERT_TRUE(s.LoadFromDatabase());

        s.Password = u"errada"_s;
        s.SetConnected(true);
        EXPECT_FALSE(s.IsConnected());
        EXPECT_TRUE(presenter.Last().Text.startsWith(u"Tipo: EOleException\r\nErro: "_s));
        EXPECT_FALSE(s.LoadFromDatabase()); // cannot connect: tables left as they were
        EXPECT_EQ(s.Tables.Count(), 9);

        presenter.Clear();
        s.DatabaseFile = dir.filePath(u"nada.db"_s);
        s.SetConnected(true);
        s.DatabaseFile.clear();
        s.SetConnected(true);
        s.ClearConnection();
        s.SetConnected(true);
        EXPECT_EQ(presenter.Texts(),
                  QStringList({u"Arquivo do Banco de Dados não encontrado.\r\nArquivo: "_s +
                                   dir.filePath(u"nada.db"_s),
                               u"Nome do Banco de Dados não definido."_s,
                               u"ADOCONNECTION não definido."_s}));
    }
    // A structure that owns the connection closes it when it dies.
    conn.SetTag(0);
    {
        TDB_Struct s;
        s.SetConnection(&conn);
        s.DatabaseFile = db;
        s.Password = kStationPassword;
        s.SetConnected(true);
        ASSERT_TRUE(conn.Connected());
    }
    EXPECT_FALSE(conn.Connected());
}
