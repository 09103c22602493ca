#include "stationverify.h"

#include "csvimport.h"
#include "stationbuilder.h"
#include "stationrules.h"

#include "appschema.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "tdb_struct.h"
#include "xexception.h"

#include <cmath>

namespace {

const QString kSelectMaquinaSQL = QStringLiteral("SELECT maquina   FROM Configuracao");

// The client's machine check, read-only: an unbound file passes without being bound.
bool CheckMachine(TXConnection* connection, StationVerification& result)
{
    auto query = NewQuery(connection);
    query->SetSQL(kSelectMaquinaSQL);
    query->Open();
    result.Maquina = query->Eof() ? QString() : query->Fields(0).AsString();
    result.Computer = LocalComputerName().trimmed().toUpper();
    if (result.Maquina.isEmpty() || result.Maquina == result.Computer)
        return true;
    result.Messages << QStringLiteral("O Banco de dados já foi utilizado no computador [%1].")
                           .arg(result.Maquina);
    return false;
}

QString KeyText(const StationTable& table, const QHash<QString, QVariant>& row)
{
    QStringList parts;
    for (const QString& column : table.PrimaryKey) {
        const QVariant value = row.value(column);
        const bool whole = value.typeId() == QMetaType::Double &&
                           value.toDouble() == std::floor(value.toDouble()) &&
                           std::fabs(value.toDouble()) < 1e16;
        parts << column + QLatin1Char(' ') +
                     (whole ? QString::number(value.toDouble(), 'f', 0) : value.toString());
    }
    return parts.join(QStringLiteral(", "));
}

// What import would refuse, found in a file filled by other means.
bool CheckContent(TXConnection* connection, StationVerification& result)
{
    constexpr int kMaxReported = 20;
    const StationRules rules = ReadStationRules(connection);
    StationReferences references(connection);
    int problems = 0;
    auto report = [&](const QString& message) {
        if (++problems <= kMaxReported)
            result.Messages << message;
    };
    for (const QString& name : ImportableTables()) {
        const StationTable& table = *FindStationTable(name);
        auto query = NewQuery(connection);
        query->SetSQL(QStringLiteral("SELECT * FROM %1").arg(table.Name));
        query->Open();
        const QString wrongStation = CheckTableForOperation(table, rules.Operation);
        if (!query->Eof() && !wrongStation.isEmpty()) {
            report(QStringLiteral("Tabela %1: %2").arg(table.Name, wrongStation));
            continue;
        }
        for (; !query->Eof(); query->Next()) {
            QHash<QString, QVariant> row;
            for (const StationColumn& column : table.Columns)
                row.insert(column.Name, query->FieldByName(column.Name).Value());
            QList<ColumnProblem> found;
            for (const StationColumn& column : table.Columns) {
                // Passwords are stored scrambled; their plain text is not in the file.
                if (column.Name == QLatin1String("SENHA"))
                    continue;
                const QString message = CheckStationValue(rules, table, column, row[column.Name]);
                if (!message.isEmpty())
                    found << ColumnProblem{column.Name, message};
            }
            if (const auto problem = references.Check(table, row))
                found << *problem;
            for (const ColumnProblem& problem : found) {
                report(QStringLiteral("Tabela %1, registro %2, coluna %3: %4")
                           .arg(table.Name, KeyText(table, row), problem.Column, problem.Message));
            }
        }
    }
    if (problems > kMaxReported)
        result.Messages
            << QStringLiteral("... e mais %1 problema(s).").arg(problems - kMaxReported);
    return problems == 0;
}

bool RunChecks(TXConnection* connection, TDB_Struct& actual, StationVerification& result)
{
    TDB_Struct expected;
    DeclareSchema(&expected);
    actual.SetConnection(connection);
    if (!actual.LoadFromDatabase())
        return false;
    if (const QString problem = DatabaseVersionProblem(actual, kDatabaseVersion);
        !problem.isEmpty()) {
        result.Messages << problem;
        return false;
    }
    QStringList differences;
    if (!expected.CompareTo(actual, differences)) {
        result.Messages << differences;
        return false;
    }
    if (!CheckMachine(connection, result))
        return false;
    return CheckContent(connection, result);
}

} // namespace

StationVerification VerifyStation(const QString& path)
{
    StationVerification result;
    try {
        auto connection = OpenStation(path);
        TDB_Struct actual;
        try {
            result.Passed = RunChecks(connection.get(), actual, result);
        } catch (...) {
            actual.ClearConnection();
            throw;
        }
        // The structure would close a connection it does not own.
        actual.ClearConnection();
    } catch (const XException& error) {
        result.Passed = false;
        result.Messages << error.Message();
    }
    return result;
}
