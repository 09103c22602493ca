#include "tdb_struct.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "xexception.h"
#include "xmessages.h"

#include <QFile>

QString StructConnectionString(int tag, const QString& databaseFile, const QString& password,
                               const QString& extraOptions)
{
    QString text = tag == kAce2007Tag ? QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0")
                                      : QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");
    text += QStringLiteral(";Data Source=") + databaseFile + QStringLiteral(";") +
            QStringLiteral("Persist Security Info=False") + QStringLiteral(";");
    if (!password.isEmpty())
        text += QStringLiteral("Jet OLEDB:DataBase Password=") + password;
    if (!extraOptions.isEmpty())
        text += QStringLiteral(";") + extraOptions;
    return text;
}

QString StringListText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

TDB_Struct::~TDB_Struct()
{
    Tables.Clear();
    if (Connection && Connection->Connected())
        Connection->Close();
    Connection = nullptr;
}

bool TDB_Struct::AddTable(const QString& name, std::unique_ptr<TTab_Struct> table)
{
    if (name.isEmpty()) {
        ShowErrorMessage(QStringLiteral("Nome da tabela deve ser informado."));
        return false;
    }
    if (!table) {
        ShowErrorMessage(
            QStringLiteral("Estrutura da tabela deve ser informado(Objeto TTab_Struct)."));
        return false;
    }
    Tables.Add(name, std::move(table));
    return true;
}

void TDB_Struct::SetConnection(TXConnection* connection)
{
    if (!connection) {
        ShowErrorMessage(QStringLiteral("ADOConn inválido"));
        return;
    }
    Connection = connection;
}

void TDB_Struct::ClearConnection()
{
    Connection = nullptr;
}

bool TDB_Struct::IsConnected() const
{
    return Connection && Connection->Connected();
}

void TDB_Struct::SetConnected(bool open)
{
    if (!open) {
        if (IsConnected())
            Connection->Close();
        return;
    }
    if (!Connection) {
        ShowErrorMessage(QStringLiteral("ADOCONNECTION não definido."));
        return;
    }
    if (DatabaseFile.isEmpty()) {
        ShowErrorMessage(QStringLiteral("Nome do Banco de Dados não definido."));
        return;
    }
    if (!QFile::exists(DatabaseFile)) {
        ShowErrorMessage(QStringLiteral("Arquivo do Banco de Dados não encontrado.\r\nArquivo: ") +
                         DatabaseFile);
        return;
    }
    if (Connection->Connected())
        Connection->Close();
    Connection->SetConnectionString(
        StructConnectionString(Connection->Tag(), DatabaseFile, Password, ExtraOptions));
    try {
        Connection->Open();
    } catch (const XException& e) {
        ShowErrorMessage(QStringLiteral("Tipo: ") + e.ClassName() + QStringLiteral("\r\n") +
                         QStringLiteral("Erro: ") + e.Message());
    }
}

bool TDB_Struct::LoadFromDatabase()
{
    if (!IsConnected())
        SetConnected(true);
    if (!IsConnected())
        return false;

    std::unique_ptr<TXQuery> schema = Connection->OpenSchemaTables();
    schema->SetFilter(QStringLiteral("(TABLE_TYPE = 'TABLE')"));
    schema->SetFiltered(true);
    Tables.Clear();
    for (schema->First(); !schema->Eof(); schema->Next()) {
        const QString name = schema->FieldByName(QStringLiteral("TABLE_NAME")).AsString();
        // Temporary and internal tables start with "~", "_" or a digit.
        const QChar first = name.isEmpty() ? QChar() : name.at(0);
        const bool letter = (first >= QLatin1Char('A') && first <= QLatin1Char('Z')) ||
                            (first >= QLatin1Char('a') && first <= QLatin1Char('z'));
        if (letter)
            Tables.Add(name, LoadTable(name));
    }
    schema->Close();
    return true;
}

std::unique_ptr<TTab_Struct> TDB_Struct::LoadTable(const QString& name) const
{
    auto table = std::make_unique<TTab_Struct>(name);
    const TXTableDefs defs = Connection->TableDefinitions(name);
    for (const TXColumnDef& column : defs.Columns)
        table->AddField(column.Name, FieldTypeFromDataType(column.DataType), column.Size,
                        !column.Required);
    for (const TXIndexDef& index : defs.Indexes)
        table->AddIndex(index.Fields, index.Name, index.Primary, index.Unique);
    return table;
}

bool TDB_Struct::CompareTo(const TDB_Struct& actual, QStringList& messages) const
{
    messages.clear();
    QStringList fieldLines;
    for (const auto& entry : Tables) {
        fieldLines.clear();
        const TTab_Struct* found = actual.Tables.Find(entry.Name);
        if (!found) {
            messages.append(QStringLiteral("Tabela ") + entry.Name +
                            QStringLiteral(" não encontrado."));
        } else if (!TTab_Struct::CompareFields(entry.Object.get(), found, fieldLines)) {
            messages.append(QStringLiteral("Tabela: ") + entry.Name + QStringLiteral("\r\n") +
                            StringListText(fieldLines));
        }
    }
    return messages.isEmpty();
}
