#include "appschema.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "tdm.h"
#include "xexception.h"
#include "xmessages.h"

#include <QSysInfo>

namespace {

constexpr bool kNull = true;
constexpr bool kNotNull = false;

const QString kNoConfigTable =
    QStringLiteral("Tabela de configuração não encontrado no banco de dados.");
const QString kCannotConnect = QStringLiteral("Não foi possível conectar ao banco de dados.");

std::unique_ptr<TTab_Struct> NewTable(const QString& name)
{
    return std::make_unique<TTab_Struct>(name);
}

void AddPrimaryKey(TTab_Struct& table, const QString& fields)
{
    table.AddIndex(fields, QStringLiteral("PK_") + table.Name, true, false);
}

// Shared by the registration procedures: the null check and the AddTable call.
void RegisterTable(TDB_Struct* db, const QString& name,
                   std::unique_ptr<TTab_Struct> (*builder)(const QString&))
{
    if (!db) {
        ShowErrorMessage(QStringLiteral("Instância de TDB_Struct não criado."));
        return;
    }
    db->AddTable(name, builder(name));
}

QString QuotedSql(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

struct ConfigValue
{
    QString Value;
    QString Error;       // empty when the read went through
    bool HasRow = false; // the table holds a row at all
};

const QString kEmptyConfiguration =
    QStringLiteral("A tabela Configuracao do Banco de Dados está vazia.\r\n"
                   "Entre em contato com o Suporte Técnico.");
const QString kEmptyVersion =
    QStringLiteral("A versão do Banco de Dados (Configuracao.VERSION_MDB) está vazia.\r\n"
                   "Entre em contato com o Suporte Técnico.");

// One column of the first Configuracao row, read on the actual structure's connection.
ConfigValue ReadConfigValue(TDB_Struct& actual, const QString& column)
{
    if (!actual.Tables.Find(QStringLiteral("Configuracao")))
        return {{}, kNoConfigTable};
    if (!actual.IsConnected())
        actual.SetConnected(true);
    if (!actual.IsConnected())
        return {{}, kCannotConnect};
    try {
        std::unique_ptr<TXQuery> query = NewQuery(actual.Connection);
        query->SetSQL(QStringLiteral("SELECT ") + column + QStringLiteral("   FROM Configuracao"));
        query->Open();
        ConfigValue result;
        result.HasRow = query->RecordCount() > 0;
        if (result.HasRow)
            result.Value = query->FieldByName(column).AsString();
        query->Close();
        return result;
    } catch (const XException& e) {
        return {{}, e.Message()};
    }
}

// Writes this computer's name into every Configuracao row; the error text, or empty.
QString BindToComputer(TDB_Struct& actual, const QString& computer)
{
    if (!actual.IsConnected())
        return kCannotConnect;
    try {
        std::unique_ptr<TXCommand> command = NewCommand(actual.Connection);
        command->SetCommandText(QStringLiteral("UPDATE Configuracao SET  maquina = ") +
                                QuotedSql(computer));
        command->Execute();
        return {};
    } catch (const XException& e) {
        return e.Message();
    }
}

std::function<QString()>& ComputerNameSource()
{
    static std::function<QString()> source;
    return source;
}

} // namespace

std::unique_ptr<TTab_Struct> Struct_Configuracao(const QString& name)
{
    auto t = NewTable(name);
    t->AddField(QStringLiteral("ID"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("MAQUINA"), sftText, 40, kNull);
    t->AddField(QStringLiteral("RELA_INICIAL"), sftFloat, 0, kNotNull);
    t->AddField(QStringLiteral("RELA_FINAL"), sftFloat, 0, kNotNull);
    t->AddField(QStringLiteral("ID_LOTE"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("DESCRICAO_LOTE"), sftText, 20, kNotNull);
    t->AddField(QStringLiteral("INFO_DB"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("ID_TRESSALIN"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("VERSION_MDB"), sftText, 20, kNotNull);
    t->AddField(QStringLiteral("CB_NCC"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("CB_NC_PLANTIO"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("ALERT_SOUND"), sftText, 100, kNull);
    AddPrimaryKey(*t, QStringLiteral("ID"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Lote(const QString& name)
{
    auto t = NewTable(name);
    t->AddField(QStringLiteral("ID_SLOTE"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("NOME"), sftText, 20, kNotNull);
    t->AddField(QStringLiteral("QTE_TRATAMENTO"), sftLong, 0, kNotNull);
    AddPrimaryKey(*t, QStringLiteral("ID_SLOTE"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Planta(const QString& name)
{
    auto t = NewTable(name);
    t->AddField(QStringLiteral("NCC"), sftFloat, 0, kNotNull);
    t->AddField(QStringLiteral("NC"), sftFloat, 0, kNotNull);
    t->AddField(QStringLiteral("REP"), sftLong, 0, kNotNull);
    AddPrimaryKey(*t, QStringLiteral("NCC"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Plantio(const QString& name)
{
    auto t = NewTable(name);
    t->AddField(QStringLiteral("ID_SLOTE"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("NC_PLANTIO"), sftFloat, 0, kNotNull);
    t->AddField(QStringLiteral("NCC"), sftFloat, 0, kNotNull);
    t->AddField(QStringLiteral("ID_USER"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("DATA_PLANTIO"), sftText, 20, kNotNull);
    t->AddField(QStringLiteral("ORIGEM_PLANTIO"), sftText, 20, kNull);
    AddPrimaryKey(*t, QStringLiteral("NC_PLANTIO, NCC"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Plantio_Exc(const QString& name)
{
    auto t = Struct_Plantio(name);
    t->AddField(QStringLiteral("USER_PLANTIO_EXC"), sftLong, 0, kNull);
    t->AddField(QStringLiteral("DATA_PLANTIO_EXC"), sftText, 20, kNull);
    t->Indexes.Clear(); // the archive has its own key, not Plantio's
    AddPrimaryKey(*t, QStringLiteral("NC_PLANTIO, NCC, DATA_PLANTIO_EXC"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Placa(const QString& name)
{
    auto t = NewTable(name);
    t->AddField(QStringLiteral("ID_PLACA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("PLACA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("CODIGO"), sftText, 20, kNotNull);
    t->AddField(QStringLiteral("TLINHA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("TCOLUNA"), sftLong, 0, kNotNull);
    AddPrimaryKey(*t, QStringLiteral("ID_PLACA"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Placa_Poco(const QString& name)
{
    auto t = NewTable(name);
    t->AddField(QStringLiteral("ID_PLACA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("PLACA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("POCO"), sftText, 5, kNotNull);
    t->AddField(QStringLiteral("LINHA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("COLUNA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("SEQ_COLETA"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("AMOSTRA"), sftText, 1, kNotNull);
    t->AddField(QStringLiteral("STATUS_POCO"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("NC_PLANTIO"), sftFloat, 0, kNull);
    t->AddField(QStringLiteral("USER_COLETA"), sftLong, 0, kNull);
    t->AddField(QStringLiteral("DATA_COLETA"), sftText, 20, kNull);
    t->AddField(QStringLiteral("ORIGEM_COLETA"), sftText, 20, kNull);
    AddPrimaryKey(*t, QStringLiteral("ID_PLACA, POCO, STATUS_POCO"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Placa_Poco_Exc(const QString& name)
{
    auto t = Struct_Placa_Poco(name);
    t->AddField(QStringLiteral("USER_COLETA_EXC"), sftLong, 0, kNull);
    t->AddField(QStringLiteral("DATA_COLETA_EXC"), sftText, 20, kNull);
    t->Indexes.Clear(); // the archive has its own key, not Placa_Poco's
    AddPrimaryKey(*t, QStringLiteral("ID_PLACA, POCO, DATA_COLETA_EXC"));
    return t;
}

std::unique_ptr<TTab_Struct> Struct_Usua(const QString& name)
{
    auto t = NewTable(name);
    t->AddField(QStringLiteral("ID_USER"), sftLong, 0, kNotNull);
    t->AddField(QStringLiteral("NOME"), sftText, 60, kNotNull);
    t->AddField(QStringLiteral("CODIGO"), sftText, 15, kNotNull);
    t->AddField(QStringLiteral("SENHA"), sftText, 34, kNotNull);
    AddPrimaryKey(*t, QStringLiteral("ID_USER"));
    return t;
}

void Register_Configuracao(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Configuracao"), &Struct_Configuracao);
}

void Register_Lote(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Lote"), &Struct_Lote);
}

void Register_Planta(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Planta"), &Struct_Planta);
}

void Register_Plantio(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Plantio"), &Struct_Plantio);
}

void Register_Plantio_Exc(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Plantio_Exc"), &Struct_Plantio_Exc);
}

void Register_Placa(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Placa"), &Struct_Placa);
}

void Register_Placa_Poco(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Placa_Poco"), &Struct_Placa_Poco);
}

void Register_Placa_Poco_Exc(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Placa_Poco_Exc"), &Struct_Placa_Poco_Exc);
}

void Register_Usua(TDB_Struct* db)
{
    RegisterTable(db, QStringLiteral("Usua"), &Struct_Usua);
}

void DeclareSchema(TDB_Struct* db)
{
    if (!db) {
        ShowErrorMessage(QStringLiteral("Instância de TDB_Struct não criado."));
        return;
    }
    Register_Configuracao(db);
    Register_Lote(db);
    Register_Planta(db);
    Register_Plantio(db);
    Register_Plantio_Exc(db);
    Register_Placa(db);
    Register_Placa_Poco(db);
    Register_Placa_Poco_Exc(db);
    Register_Usua(db);
}

QString ConfigSelectSQL()
{
    return QStringLiteral("SELECT maquina, rela_inicial, rela_final, descricao_lote, info_db, "
                          "cb_ncc, cb_nc_plantio, alert_sound   FROM Configuracao");
}

QString DatabaseVersionProblem(TDB_Struct& actual, const QString& expectedVersion)
{
    const ConfigValue version = ReadConfigValue(actual, QStringLiteral("version_mdb"));
    if (!version.Error.isEmpty())
        return QStringLiteral("Erro ao atualizar o banco de dados.\r\n") + version.Error;
    // Without a word the operator would only see the connection screen come back.
    if (version.Value.isEmpty())
        return version.HasRow ? kEmptyVersion : kEmptyConfiguration;
    if (version.Value != expectedVersion)
        return QStringLiteral("Versão do sistema diferente ao do Banco de Dados.\r\n"
                              "Entre em contato com o Suporte Técnico.");
    return {};
}

bool CheckDatabaseVersion(TDB_Struct& actual, const QString& expectedVersion)
{
    const QString problem = DatabaseVersionProblem(actual, expectedVersion);
    if (!problem.isEmpty())
        ShowErrorMessage(problem);
    return problem.isEmpty();
}

bool CheckDatabaseMachine(TDB_Struct& actual, QStringList& messages)
{
    const ConfigValue stored = ReadConfigValue(actual, QStringLiteral("maquina"));
    if (!stored.Error.isEmpty()) {
        messages.append(stored.Error);
        return false;
    }
    const QString computer = LocalComputerName().trimmed().toUpper();
    QString error;
    if (stored.Value.isEmpty())
        error = BindToComputer(actual, computer);
    else if (stored.Value != computer)
        error = QStringLiteral("O Banco de dados já foi utilizado no computador [") + stored.Value +
                QStringLiteral("].");
    if (!error.isEmpty()) {
        messages.append(error);
        return false;
    }
    return true;
}

bool VerifyDatabase(TXConnection* connection)
{
    TDB_Struct expected;
    TDB_Struct actual;
    QStringList messages;
    DeclareSchema(&expected);
    actual.SetConnection(connection);
    // The shared connection must survive the structure, also when reading raises.
    struct Lend
    {
        TDB_Struct& db;
        ~Lend() { db.ClearConnection(); }
    } lend{actual};

    actual.LoadFromDatabase();
    const bool result = CheckDatabaseVersion(actual, kDatabaseVersion) &&
                        expected.CompareTo(actual, messages) &&
                        CheckDatabaseMachine(actual, messages);
    if (!result && !messages.isEmpty())
        ShowErrorMessage(StringListText(messages));
    return result;
}

bool VerifyDatabase()
{
    return VerifyDatabase(DM ? DM->Conn : nullptr);
}

QString LocalComputerName()
{
    QString name;
    if (ComputerNameSource()) {
        name = ComputerNameSource()();
    } else {
        // A NetBIOS-like name: the first label of the host name, 15 characters at most.
        name = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0).left(15);
    }
    if (name.isEmpty())
        throw XException(QStringLiteral("Computer name not detected"));
    return name;
}

void SetComputerNameSource(std::function<QString()> source)
{
    ComputerNameSource() = std::move(source);
}
