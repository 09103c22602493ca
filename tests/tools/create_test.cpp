#include "admintool.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "stationbuilder.h"
#include "xexception.h"

#include <QFileInfo>
#include <QMap>

namespace {

// Each column as "NAME:type[?]": T<n> text, L long, F double; "?" allows null.
const QMap<QString, QStringList> kExpectedTables = {
    {"Configuracao",
     {"ID:L", "MAQUINA:T40?", "RELA_INICIAL:F", "RELA_FINAL:F", "ID_LOTE:L", "DESCRICAO_LOTE:T20",
      "INFO_DB:L", "ID_TRESSALIN:L", "VERSION_MDB:T20", "CB_NCC:L", "CB_NC_PLANTIO:L",
      "ALERT_SOUND:T100?"}},
    {"Lote", {"ID_SLOTE:L", "NOME:T20", "QTE_TRATAMENTO:L"}},
    {"Planta", {"NCC:F", "NC:F", "REP:L"}},
    {"Plantio",
     {"ID_SLOTE:L", "NC_PLANTIO:F", "NCC:F", "ID_USER:L", "DATA_PLANTIO:T20",
      "ORIGEM_PLANTIO:T20?"}},
    {"Plantio_Exc",
     {"ID_SLOTE:L", "NC_PLANTIO:F", "NCC:F", "ID_USER:L", "DATA_PLANTIO:T20", "ORIGEM_PLANTIO:T20?",
      "USER_PLANTIO_EXC:L?", "DATA_PLANTIO_EXC:T20?"}},
    {"Placa", {"ID_PLACA:L", "PLACA:L", "CODIGO:T20", "TLINHA:L", "TCOLUNA:L"}},
    {"Placa_Poco",
     {"ID_PLACA:L", "PLACA:L", "POCO:T5", "LINHA:L", "COLUNA:L", "SEQ_COLETA:L", "AMOSTRA:T1",
      "STATUS_POCO:L", "NC_PLANTIO:F?", "USER_COLETA:L?", "DATA_COLETA:T20?",
      "ORIGEM_COLETA:T20?"}},
    {"Placa_Poco_Exc",
     {"ID_PLACA:L", "PLACA:L", "POCO:T5", "LINHA:L", "COLUNA:L", "SEQ_COLETA:L", "AMOSTRA:T1",
      "STATUS_POCO:L", "NC_PLANTIO:F?", "USER_COLETA:L?", "DATA_COLETA:T20?", "ORIGEM_COLETA:T20?",
      "USER_COLETA_EXC:L?", "DATA_COLETA_EXC:T20?"}},
    {"Usua", {"ID_USER:L", "NOME:T60", "CODIGO:T15", "SENHA:T34"}},
};

const QMap<QString, QString> kExpectedKeys = {
    {"Configuracao", "ID"},
    {"Lote", "ID_SLOTE"},
    {"Planta", "NCC"},
    {"Plantio", "NC_PLANTIO, NCC"},
    {"Plantio_Exc", "NC_PLANTIO, NCC, DATA_PLANTIO_EXC"},
    {"Placa", "ID_PLACA"},
    {"Placa_Poco", "ID_PLACA, POCO, STATUS_POCO"},
    {"Placa_Poco_Exc", "ID_PLACA, POCO, DATA_COLETA_EXC"},
    {"Usua", "ID_USER"},
};

QString Describe(const TXColumnDef& column)
{
    QString type;
    switch (column.DataType) {
    case TXFieldType::String:
    case TXFieldType::WideString:
        type = QStringLiteral("T%1").arg(column.Size);
        break;
    case TXFieldType::Integer:
        type = QStringLiteral("L");
        break;
    case TXFieldType::Float:
        type = QStringLiteral("F");
        break;
    default:
        type = QStringLiteral("?type");
    }
    return column.Name + QLatin1Char(':') + type +
           (column.Required ? QString() : QStringLiteral("?"));
}

QString TableSql(TXConnection* connection, const QString& table)
{
    auto query = NewQuery(connection);
    query->SetSQL(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = :name"));
    query->ParamByName(QStringLiteral("name")).SetString(table);
    query->Open();
    return query->Eof() ? QString() : query->FieldByName(QStringLiteral("sql")).AsString();
}

} // namespace

TEST_F(AdminToolTest, CreateDeclaresTheNineTablesTheirKeysAndLookupIndexes)
{
    const QString db = Path(QStringLiteral("estacao.db"));
    const AdminRun run = RunAdmin({"create", db, "--operacao", "plantio"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    auto connection = OpenStation(db);
    for (auto it = kExpectedTables.cbegin(); it != kExpectedTables.cend(); ++it) {
        QStringList actual;
        for (const TXColumnDef& column : connection->TableDefinitions(it.key()).Columns)
            actual << Describe(column);
        EXPECT_EQ(actual, it.value()) << it.key().toStdString();
        const QString sql = TableSql(connection.get(), it.key());
        EXPECT_TRUE(sql.contains(QStringLiteral("CONSTRAINT PK_%1 PRIMARY KEY (%2)")
                                     .arg(it.key(), kExpectedKeys.value(it.key()))))
            << sql.toStdString();
    }
    const QStringList indexes = {"IX_Plantio_NCC",    "IX_Plantio_Lote", "IX_Placa_Poco_NC_Plantio",
                                 "IX_Placa_Poco_Seq", "IX_Placa_Codigo", "IX_Usua_Codigo"};
    for (const QString& index : indexes)
        EXPECT_FALSE(TableSql(connection.get(), index).isEmpty()) << index.toStdString();
}

TEST_F(AdminToolTest, CreateWritesTheConfigurationRowFromItsOptions)
{
    struct Case
    {
        QStringList Options;
        QString
            Expected; // maquina|ini|fim|lote|info|ncc|ncp|version|id_lote|id_tressalin|alert null
    };
    const QList<Case> cases = {
        {{"--operacao", "plantio"}, "|0|0||0|1|1|01.000|0|0|1"},
        {{"--operacao", "COLETA", "--faixa", "200000000001", "200000009999", "--ncc", "EAN-8",
          "--nc-plantio", "ean13", "--lote", "SAFRA 2024"},
         "|200000000001|200000009999|SAFRA 2024|1|0|1|01.000|0|0|1"},
        {{"--operacao", "plantio", "--faixa", "500", "0", "--nc-plantio", "EAN-8"},
         "|500|0||0|1|0|01.000|0|0|1"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString db = Path(QStringLiteral("c%1.db").arg(++n));
        const AdminRun run = RunAdmin(QStringList{"create", db} + c.Options);
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        auto connection = OpenStation(db);
        auto query = NewQuery(connection.get());
        query->SetSQL(QStringLiteral("SELECT * FROM Configuracao"));
        query->Open();
        ASSERT_EQ(query->RecordCount(), 1);
        EXPECT_EQ(query->FieldByName(QStringLiteral("ID")).AsInteger(), 1);
        const QStringList actual = {
            query->FieldByName(QStringLiteral("MAQUINA")).AsString(),
            query->FieldByName(QStringLiteral("RELA_INICIAL")).AsString(),
            query->FieldByName(QStringLiteral("RELA_FINAL")).AsString(),
            query->FieldByName(QStringLiteral("DESCRICAO_LOTE")).AsString(),
            query->FieldByName(QStringLiteral("INFO_DB")).AsString(),
            query->FieldByName(QStringLiteral("CB_NCC")).AsString(),
            query->FieldByName(QStringLiteral("CB_NC_PLANTIO")).AsString(),
            query->FieldByName(QStringLiteral("VERSION_MDB")).AsString(),
            query->FieldByName(QStringLiteral("ID_LOTE")).AsString(),
            query->FieldByName(QStringLiteral("ID_TRESSALIN")).AsString(),
            query->FieldByName(QStringLiteral("ALERT_SOUND")).IsNull() ? "1" : "0"};
        EXPECT_EQ(actual.join(QLatin1Char('|')), c.Expected) << c.Options.join(' ').toStdString();
    }
}

TEST_F(AdminToolTest, CreateRefusesBadOptionsAndExistingFiles)
{
    struct Case
    {
        QStringList Options;
        int ExitCode;
        QString Message;
    };
    const QList<Case> cases = {
        {{}, 2, "--operacao"},
        {{"--operacao", "colheita"}, 2, "Operação inválida"},
        {{"--operacao", "plantio", "--ncc", "EAN-9"}, 2, "Tipo de código inválido"},
        {{"--operacao", "plantio", "--faixa", "10"}, 2, "--faixa"},
        {{"--operacao", "plantio", "--faixa", "10", "-5"}, 2, "Limite de faixa inválido"},
        {{"--operacao", "plantio", "--faixa", "200", "100"}, 1, "início da faixa"},
        {{"--operacao", "plantio", "--lote", "DESCRICAO COM MAIS DE 20"}, 1, "20 caracteres"},
        {{"--operacao", "plantio", "--desconhecida"}, 2, "Opção desconhecida"},
    };
    for (const Case& c : cases) {
        const QString db = Path(QStringLiteral("recusado.db"));
        const AdminRun run = RunAdmin(QStringList{"create", db} + c.Options);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Options.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(c.Message)) << run.Err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(db)) << c.Options.join(' ').toStdString();
    }

    const QString existing = Path(QStringLiteral("existente.db"));
    WriteFile(existing, "not a station file");
    const AdminRun run = RunAdmin({"create", existing, "--operacao", "plantio"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("já existe")));
    EXPECT_EQ(FileBytes(existing), QByteArray("not a station file"));
}

TEST_F(AdminToolTest, TextColumnsRefuseOverlongValuesAndIgnoreCase)
{
    const QString db = Path(QStringLiteral("texto.db"));
    ASSERT_EQ(RunAdmin({"create", db, "--operacao", "plantio"}).ExitCode, 0);
    auto connection = OpenStation(db);
    InsertLote(connection.get(), 1, QStringLiteral("Milho Precoce"), 10);
    EXPECT_THROW(InsertLote(connection.get(), 2, QStringLiteral("NOME COM VINTE E UM C"), 10),
                 XException);
    auto query = NewQuery(connection.get());
    query->SetSQL(QStringLiteral("SELECT id_slote FROM Lote WHERE nome = 'MILHO PRECOCE'"));
    query->Open();
    EXPECT_EQ(query->RecordCount(), 1);
}

TEST_F(AdminToolTest, HelpIsPortuguese)
{
    const AdminRun general = RunAdmin({"--help"});
    EXPECT_EQ(general.ExitCode, 0);
    EXPECT_TRUE(general.Out.startsWith(QStringLiteral("Uso: tressalin-admin COMANDO")));
    for (const QString& command : QStringList{"create", "demo", "import", "transmitir"}) {
        const AdminRun run = RunAdmin({command, "--help"});
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_TRUE(run.Out.startsWith(QStringLiteral("Uso: tressalin-admin ") + command));
    }
    const AdminRun unknown = RunAdmin({"apagar"});
    EXPECT_EQ(unknown.ExitCode, 2);
    EXPECT_TRUE(unknown.Err.contains(QStringLiteral("Comando desconhecido: apagar")));
}
