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

namespace {

QString StoredMachine(TXConnection* connection)
{
    auto query = NewQuery(connection);
    query->SetSQL(QStringLiteral("SELECT maquina FROM Configuracao"));
    query->Open();
    return query->FieldByName(QStringLiteral("maquina")).AsString();
}

// Each table as "NAME|FIELD type size null ...|PK fields", sorted by table name.
QStringList Describe(const TDB_Struct& db)
{
    QStringList tables;
    for (const auto& table : db.Tables) {
        QStringList parts{table.Name.toUpper()};
        for (const auto& f : table.Object->Fields)
            parts << QStringLiteral("%1 %2 %3 %4")
                         .arg(f.Name)
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
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
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
    actual.SetConnection(Open(QStringLiteral("p.db")));
    ASSERT_TRUE(actual.LoadFromDatabase());
    actual.ClearConnection();
    EXPECT_EQ(Describe(actual), Describe(declared));
    EXPECT_EQ(declared.Tables.Count(), 9);
    EXPECT_EQ(presenter.Count(), 0);
}

TEST_F(VerifyDatabaseTest, BindingComparesTheStoredNameExactly)
{
    struct Case
    {
        const char* stored;
        const char* computer;
        bool passes;
        const char* storedAfter;
    };
    const Case cases[] = {
        {"", "o'neil-pc", true, "O'NEIL-PC"},       {"", "quote''twice", true, "QUOTE''TWICE"},
        {"ESTACAO", " estacao", true, "ESTACAO"},   {"estacao", "estacao", false, "estacao"},
        {"OUTRO-PC", "estacao", false, "OUTRO-PC"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString stored = QString::fromUtf8(c.stored);
        SCOPED_TRACE(c.computer);
        presenter.Clear();
        ComputerName here(QString::fromUtf8(c.computer));
        TXConnection* conn = Open(QStringLiteral("b%1.db").arg(n++));
        auto command = NewCommand(conn);
        command->SetCommandText(QStringLiteral("UPDATE Configuracao SET maquina = :m"));
        command->ParamByName(QStringLiteral("m")).SetString(stored);
        command->Execute();

        EXPECT_EQ(VerifyDatabase(conn), c.passes);
        EXPECT_EQ(StoredMachine(conn), QString::fromUtf8(c.storedAfter));
        EXPECT_EQ(presenter.Texts(),
                  c.passes ? QStringList()
                           : QStringList{QStringLiteral(
                                             "O Banco de dados já foi utilizado no computador [") +
                                         stored + QStringLiteral("].\r\n")});
    }
}

TEST_F(VerifyDatabaseTest, OtherVersionFailsBeforeTheStructureIsCompared)
{
    ComputerName here(QStringLiteral("ESTACAO"));
    TXConnection* conn = Open(QStringLiteral("v.db"));
    Exec(conn, "UPDATE Configuracao SET version_mdb = '01.001'");
    Exec(conn, "DROP TABLE Placa");
    EXPECT_FALSE(VerifyDatabase(conn));
    EXPECT_EQ(presenter.Texts(),
              QStringList{QStringLiteral("Versão do sistema diferente ao do Banco de Dados.\r\n"
                                         "Entre em contato com o Suporte Técnico.")});
    EXPECT_EQ(StoredMachine(conn), QString()); // not bound either

    presenter.Clear();
    Exec(conn, "DROP TABLE Configuracao");
    EXPECT_FALSE(VerifyDatabase(conn));
    EXPECT_EQ(presenter.Texts(),
              QStringList{QStringLiteral("Erro ao atualizar o banco de dados.\r\n"
                                         "Tabela de configuração não encontrado no banco de "
                                         "dados.")});
}

TEST_F(VerifyDatabaseTest, StructureDifferencesOfAllTablesShowInOneBox)
{
    ComputerName here(QStringLiteral("ESTACAO"));
    TXConnection* conn = Open(QStringLiteral("d.db"));
    Exec(conn, "DROP TABLE Placa");
    Exec(conn, "DROP TABLE Plantio");
    Exec(conn, "CREATE TABLE PLANTIO (id_slote LONG NOT NULL, NC_PLANTIO DOUBLE NOT NULL, NCC "
               "LONG NOT NULL, ID_USER LONG, DATA_PLANTIO TEXT(20), ORIGEM_PLANTIO TEXT(20), "
               "EXTRA MEMO)");
    Exec(conn, "CREATE TABLE [~Tmp] (x LONG)");
    EXPECT_FALSE(VerifyDatabase(conn));
    EXPECT_EQ(presenter.Texts(),
              QStringList{QStringLiteral("Tabela: Plantio\r\nCampo: NCC.  Estrutura Esperada: "
                                         "FLOAT   Estrutura retornada: LONG \r\n\r\n"
                                         "Tabela Placa não encontrado.\r\n")});
    EXPECT_EQ(StoredMachine(conn), QString());
}

TEST_F(VerifyDatabaseTest, LoadFromDatabaseReadsUserTablesAsTheyAreNamed)
{
    const QString path = dir.filePath(QStringLiteral("e.db"));
    CreateStationFile(path, kStationPassword);
    connection = OpenStation(path);
    TXConnection* conn = connection.get();
    Exec(conn, "CREATE TABLE Amostra (ID COUNTER, NOME TEXT(40) NOT NULL, PESO DOUBLE, QTD "
               "LONG, QUANDO DATETIME, OBS MEMO, OK YESNO, S SHORT, CU CURRENCY, B LONGBINARY, "
               "CONSTRAINT PK_Amostra PRIMARY KEY (ID, NOME))");
    for (const char* skipped : {"~Temp", "_interna", "1tabela", "ética"})
        Exec(conn, QStringLiteral("CREATE TABLE [%1] (X LONG)").arg(QString::fromUtf8(skipped)));
    Exec(conn, "CREATE TABLE zeta (X LONG)");
    Exec(conn, "CREATE VIEW Visao AS SELECT NOME FROM Amostra");

    TDB_Struct actual;
    actual.SetConnection(conn);
    ASSERT_TRUE(actual.LoadFromDatabase());
    actual.ClearConnection();
    ASSERT_EQ(actual.Tables.Count(), 2);
    EXPECT_EQ(actual.Tables.Name(1), QStringLiteral("zeta"));

    const TTab_Struct* t = actual.Tables.Find(QStringLiteral("AMOSTRA"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Name, QStringLiteral("Amostra"));
    struct Column
    {
        const char* name;
        TStructFieldType type;
        int size;
        bool allowNull;
    };
    const Column columns[] = {
        {"ID", sftAutoInc, 0, false}, {"NOME", sftText, 40, false},     {"PESO", sftFloat, 0, true},
        {"QTD", sftLong, 0, true},    {"QUANDO", sftDateTime, 0, true}, {"OBS", sftMemo, 0, true},
        {"OK", sftUnknown, 0, true},  {"S", sftLong, 0, true},          {"CU", sftFloat, 0, true},
        {"B", sftMemo, 0, true},
    };
    ASSERT_EQ(t->Fields.Count(), int(std::size(columns)));
    for (int i = 0; i < t->Fields.Count(); ++i) {
        const TField_Struct* f = t->Fields.Object(i);
        SCOPED_TRACE(columns[i].name);
        EXPECT_EQ(f->Name, QString::fromUtf8(columns[i].name));
        EXPECT_EQ(f->FieldType, columns[i].type);
        EXPECT_EQ(f->Size, columns[i].size);
        if (columns[i].type != sftAutoInc) {
            EXPECT_EQ(f->AllowNull, columns[i].allowNull);
        }
    }
    const TIndex_Struct* key = t->Indexes.Find(QStringLiteral("PK_Amostra"));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Fields, QStringLiteral("ID,NOME")); // ";" of the provider stored as ","
    EXPECT_TRUE(key->Primary);
}

TEST_F(VerifyDatabaseTest, StructureConnectsItselfByTheConnectionStringRule)
{
    const QString db = NewStation(dir.filePath(QStringLiteral("c.db")));
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
            QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=") + db));
        ASSERT_TRUE(s.LoadFromDatabase());

        s.Password = QStringLiteral("errada");
        s.SetConnected(true);
        EXPECT_FALSE(s.IsConnected());
        ASSERT_EQ(presenter.Count(), 1);
        EXPECT_TRUE(
            presenter.Last().Text.startsWith(QStringLiteral("Tipo: EOleException\r\nErro: ")));
        EXPECT_FALSE(s.LoadFromDatabase()); // cannot connect: tables left as they were
        EXPECT_EQ(s.Tables.Count(), 9);

        presenter.Clear();
        s.DatabaseFile = dir.filePath(QStringLiteral("nada.db"));
        s.SetConnected(true);
        s.DatabaseFile.clear();
        s.SetConnected(true);
        s.ClearConnection();
        s.SetConnected(true);
        EXPECT_EQ(presenter.Texts(),
                  QStringList({QStringLiteral("Arquivo do Banco de Dados não encontrado.\r\n"
                                              "Arquivo: ") +
                                   dir.filePath(QStringLiteral("nada.db")),
                               QStringLiteral("Nome do Banco de Dados não definido."),
                               QStringLiteral("ADOCONNECTION não definido.")}));
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
