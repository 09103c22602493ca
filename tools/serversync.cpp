#include "serversync.h"

#include "centralschema.h"
#include "csvimport.h"
#include "data/txtransaction.h"
#include "demodata.h"
#include "masterdata.h"
#include "pgconnection.h"
#include "receive.h"
#include "stationbuilder.h"
#include "stationdata.h"
#include "stationregistry.h"
#include "stationrules.h"
#include "stationschema.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "xexception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cmath>
#include <limits>
#include <unistd.h>

namespace {

const StationColumn& ColumnOf(const QString& table, const QString& column)
{
    const StationColumn* found = FindStationTable(table)->FindColumn(column);
    Q_ASSERT(found);
    return *found;
}

// Codes are whole numbers kept as floats by the station and as bigint by the server.
PgValue ToServer(const QVariant& value, StationColumnType type)
{
    if (value.isNull())
        return std::nullopt;
    if (type == StationColumnType::Text)
        return value.toString();
    if (type == StationColumnType::Long) {
        // A hand-edited file may hold text or a fraction here: never sent as 0 or truncated.
        bool whole = false;
        const qint64 number = value.toString().trimmed().toLongLong(&whole);
        if (!whole && value.typeId() == QMetaType::Double) {
            const double real = value.toDouble();
            whole = real == std::floor(real) && std::fabs(real) <= double(kMaxExactWhole);
            if (whole)
                return QString::number(qint64(real));
        }
        if (!whole)
            throw XException(
                QStringLiteral("o valor \"%1\" não é um número inteiro.").arg(value.toString()));
        return QString::number(number);
    }
    const double number = value.toDouble();
    if (number != std::floor(number) || std::fabs(number) > double(kMaxExactWhole))
        throw XException(QStringLiteral("o valor %1 não é um código válido (número inteiro).")
                             .arg(number, 0, 'g', 17));
    return QString::number(qint64(number));
}

void SetStationParameter(TXParameter& parameter, StationColumnType type, const PgValue& value)
{
    const TXParamType paramType = type == StationColumnType::Text   ? TXParamType::String
                                  : type == StationColumnType::Long ? TXParamType::Integer
                                                                    : TXParamType::Float;
    if (!value)
        parameter.SetNull(paramType);
    else if (paramType == TXParamType::String)
        parameter.SetString(*value);
    else if (paramType == TXParamType::Integer)
        parameter.SetInteger(value->toInt());
    else
        parameter.SetFloat(value->toDouble());
}

QString Upper(const QStringList& names, const QString& separator = QStringLiteral(", "))
{
    QStringList out;
    for (const QString& name : names)
        out << name.toUpper();
    return out.join(separator);
}

/** The key the station identifies a master row by, for updates. */
QStringList StationKey(const QString& table)
{
    if (table == QLatin1String("Placa_Poco"))
        return {QStringLiteral("ID_PLACA"), QStringLiteral("POCO")};
    return FindStationTable(table)->PrimaryKey;
}

QString KeyOfServerRow(const StationTableData& data, int row, const QStringList& key)
{
    QStringList parts;
    for (const QString& column : key)
        parts << data.Rows.Text(row, int(data.Columns.indexOf(column)));
    return parts.join(QLatin1Char('|'));
}

QSet<QString> LocalKeys(TXConnection* connection, const QString& table, const QStringList& key)
{
    auto query = NewQuery(connection);
    query->SetSQL(QStringLiteral("SELECT %1 FROM %2").arg(key.join(QStringLiteral(", ")), table));
    query->Open();
    QSet<QString> keys;
    for (; !query->Eof(); query->Next()) {
        QStringList parts;
        for (int c = 0; c < key.size(); ++c)
            parts << *ToServer(query->Fields(c).Value(), ColumnOf(table, key[c]).Type);
        keys.insert(parts.join(QLatin1Char('|')));
    }
    return keys;
}

/** Inserts the server's rows of one table whose key the file lacks (all when known is null). */
int InsertMissing(TXConnection* connection, const StationTableData& data,
                  const QSet<QString>* known)
{
    QStringList names;
    for (qsizetype c = 0; c < data.Columns.size(); ++c)
        names << QStringLiteral(":v%1").arg(c);
    auto command = NewCommand(connection);
    command->SetCommandText(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(data.Table, data.Columns.join(QStringLiteral(", ")),
                                     names.join(QStringLiteral(", "))));
    // Looked up once: a large table has hundreds of thousands of cells.
    QList<TXParameter*> parameters;
    QList<StationColumnType> types;
    for (qsizetype c = 0; c < data.Columns.size(); ++c) {
        parameters << &command->ParamByName(names[c].mid(1));
        types << ColumnOf(data.Table, data.Columns[c]).Type;
    }
    const QStringList key = StationKey(data.Table);
    int inserted = 0;
    for (int r = 0; r < data.Rows.Rows(); ++r) {
        if (known && known->contains(KeyOfServerRow(data, r, key)))
            continue;
        for (qsizetype c = 0; c < data.Columns.size(); ++c)
            SetStationParameter(*parameters[c], types[c], data.Rows.Value(r, int(c)));
        command->Execute();
        ++inserted;
    }
    return inserted;
}

// A well another station collected fills the file's empty well, so the collection
// screen sees another computer's plate; a well the station filled stays as it is. The
// station's own collections never come back: one it deleted after the server took it
// unmarked would return as transmitted, and could no longer be deleted.
int FillCollectedWells(TXConnection* connection, const StationTableData& wells,
                       const QString& maquina)
{
    const QStringList archiveKey = {QStringLiteral("ID_PLACA"), QStringLiteral("POCO"),
                                    QStringLiteral("NC_PLANTIO")};
    const QSet<QString> deleted =
        LocalKeys(connection, QStringLiteral("Placa_Poco_Exc"), archiveKey);
    auto command = NewCommand(connection);
    command->SetCommandText(QStringLiteral(
        "UPDATE Placa_Poco SET STATUS_POCO = :status, NC_PLANTIO = :nc, USER_COLETA = :usuario,"
        " DATA_COLETA = :data, ORIGEM_COLETA = :origem"
        " WHERE ID_PLACA = :placa AND POCO = :poco AND NC_PLANTIO IS NULL"));
    const auto at = [&wells](const char* column) {
        return int(wells.Columns.indexOf(QString::fromLatin1(column)));
    };
    int filled = 0;
    for (int r = 0; r < wells.Rows.Rows(); ++r) {
        if (wells.Rows.IsNull(r, at("NC_PLANTIO")) ||
            wells.Rows.Text(r, at("ORIGEM_COLETA")) == maquina ||
            deleted.contains(KeyOfServerRow(wells, r, archiveKey)))
            continue;
        command->ParamByName(QStringLiteral("status"))
            .SetInteger(wells.Rows.Text(r, at("STATUS_POCO")).toInt());
        command->ParamByName(QStringLiteral("nc"))
            .SetFloat(wells.Rows.Text(r, at("NC_PLANTIO")).toDouble());
        SetStationParameter(command->ParamByName(QStringLiteral("usuario")),
                            StationColumnType::Long, wells.Rows.Value(r, at("USER_COLETA")));
        SetStationParameter(command->ParamByName(QStringLiteral("data")), StationColumnType::Text,
                            wells.Rows.Value(r, at("DATA_COLETA")));
        SetStationParameter(command->ParamByName(QStringLiteral("origem")), StationColumnType::Text,
                            wells.Rows.Value(r, at("ORIGEM_COLETA")));
        command->ParamByName(QStringLiteral("placa"))
            .SetInteger(wells.Rows.Text(r, at("ID_PLACA")).toInt());
        command->ParamByName(QStringLiteral("poco")).SetString(wells.Rows.Text(r, at("POCO")));
        filled += command->Execute();
    }
    return filled;
}

int StationId(TXConnection* connection)
{
    auto query = NewQuery(connection);
    query->SetSQL(QStringLiteral("SELECT ID_TRESSALIN FROM Configuracao ORDER BY ID"));
    query->Open();
    return query->Eof() ? 0 : query->Fields(0).Value().toInt();
}

RegisteredStation StationOfFile(PgConnection& server, TXConnection* connection,
                                const StationConfig& config)
{
    const std::optional<RegisteredStation> station = FindStationById(server, StationId(connection));
    if (!station) {
        throw XException(QStringLiteral("O arquivo não foi preparado a partir deste servidor"
                                        " (nenhuma estação cadastrada corresponde a ele)."));
    }
    if (station->Operacao != int(config.Operation)) {
        throw XException(QStringLiteral("A estação %1 não é do mesmo tipo de trabalho do arquivo.")
                             .arg(station->Nome));
    }
    return *station;
}

// What each received column holds on the server, to refuse what would not fit before sending.
const QString kServerColumnsSql = QStringLiteral(
    "SELECT column_name::text, data_type::text, coalesce(character_maximum_length, 0)"
    " FROM information_schema.columns WHERE table_schema = current_schema() AND table_name = $1");

struct ServerColumn
{
    QString Type;
    int Length = 0;
};

QString DoesNotFit(const QString& value, const ServerColumn& column)
{
    if (column.Type == QLatin1String("integer")) {
        const qint64 number = value.toLongLong();
        if (number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<qint32>::max())
            return QStringLiteral("o valor %1 não cabe na coluna do servidor (integer).")
                .arg(value);
    } else if (column.Length > 0 && value.size() > column.Length) {
        return QStringLiteral("o valor \"%1\" tem mais de %2 caracteres, o limite da coluna do"
                              " servidor.")
            .arg(value)
            .arg(column.Length);
    }
    return QString();
}

const QStringList kServerTables = {QStringLiteral("Lote"), QStringLiteral("Planta"),
                                   QStringLiteral("Placa"), QStringLiteral("Placa_Poco"),
                                   QStringLiteral("Usua")};

} // namespace

ServerImportResult ImportCsvToServer(const QString& url, const QString& tableName,
                                     const QString& csvPath, const ServerImportOptions& options)
{
    QString table;
    for (const QString& name : kServerTables) {
        if (name.compare(tableName, Qt::CaseInsensitive) == 0)
            table = name;
    }
    if (table.isEmpty())
        throw XException(QStringLiteral("A tabela %1 não pode ser importada no servidor. Tabelas"
                                        " aceitas: %2.")
                             .arg(tableName, kServerTables.join(QStringLiteral(", "))));
    const bool needsLote = table == QLatin1String("Lote") || table == QLatin1String("Placa");
    const QString lote = options.Lote.trimmed();
    if (needsLote && (lote.isEmpty() || lote.size() > 20))
        throw XException(QStringLiteral("Informe o lote da tabela %1 com --lote NOME (até 20"
                                        " caracteres).")
                             .arg(table));
    const QString text = ReadCsvFileText(csvPath);
    PgConnection server(url);
    StationRules rules;
    rules.Operation = table.startsWith(QLatin1String("Placa")) ? StationOperation::Coleta
                                                               : StationOperation::Plantio;
    rules.NccType = options.CbNcc;
    rules.NcPlantioType = options.CbNcPlantio;
    QSet<qint64> plates;
    if (table == QLatin1String("Placa_Poco")) {
        const QList<qint64> ids = ServerPlateIds(server);
        plates = QSet<qint64>(ids.begin(), ids.end());
    }
    const ImportRows read = ReadImportCsv(
        rules, table, text,
        [&plates](const StationTable& station,
                  const QHash<QString, QVariant>& row) -> std::optional<ColumnProblem> {
            if (station.Name != QLatin1String("Placa_Poco"))
                return std::nullopt;
            for (const char* column :
                 {"NC_PLANTIO", "USER_COLETA", "DATA_COLETA", "ORIGEM_COLETA"}) {
                if (!row.value(QString::fromLatin1(column)).isNull())
                    return ColumnProblem{QString::fromLatin1(column),
                                         QStringLiteral("no servidor os poços são cadastrados"
                                                        " vazios; as coletas vêm das estações.")};
            }
            const qint64 id = row.value(QStringLiteral("ID_PLACA")).toLongLong();
            if (!plates.contains(id))
                return ColumnProblem{
                    QStringLiteral("ID_PLACA"),
                    QStringLiteral("a placa %1 não existe na tabela Placa.").arg(id)};
            return std::nullopt;
        });

    MasterRows rows;
    rows.Table = table.toLower();
    for (const StationColumn* column : read.Columns)
        rows.Columns << column->Name.toLower();
    if (needsLote)
        rows.Columns << QStringLiteral("lote");
    for (const ImportRow& row : read.Rows) {
        QList<PgValue> values;
        for (qsizetype c = 0; c < read.Columns.size(); ++c)
            values << ToServer(row.Values[c], read.Columns[c]->Type);
        if (needsLote)
            values << lote;
        rows.Rows << values;
        rows.Lines << row.Line;
    }
    const MasterStoreResult stored = StoreMasterRows(server, rows);
    return {stored.Inserted, stored.Unchanged};
}

QList<TableCount> PrepareStation(const QString& url, const QString& estacao, const QString& path)
{
    if (QFileInfo::exists(path))
        throw XException(QStringLiteral("O arquivo %1 já existe e não será alterado.").arg(path));
    PgConnection server(url);
    const std::optional<RegisteredStation> station = FindStation(server, estacao);
    if (!station)
        throw XException(
            QStringLiteral("A estação %1 não está cadastrada no servidor.").arg(estacao));
    const std::vector<StationTableData> data = ReadStationData(server, *station);

    StationOptions options;
    options.Operation =
        station->Operacao == 1 ? StationOperation::Coleta : StationOperation::Plantio;
    options.RelaInicial = double(station->RelaInicial);
    options.RelaFinal = double(station->RelaFinal);
    options.CbNcc = BarcodeType(station->CbNcc);
    options.CbNcPlantio = BarcodeType(station->CbNcPlantio);
    options.DescricaoLote = station->Lote;
    options.AlertSound = NewStationAlertSound();

    // Built under another name and linked into place, so a half-built file is never seen
    // under the name and a file that appeared meanwhile is not overwritten.
    const QFileInfo target(path);
    const QString building = target.absoluteDir().filePath(
        QStringLiteral(".%1.preparando-%2").arg(target.fileName()).arg(::getpid()));
    QFile::remove(building);
    CreateStation(building, options);
    QList<TableCount> counts;
    try {
        {
            auto connection = OpenStation(building);
            TXTransaction transaction(connection.get());
            auto command = NewCommand(connection.get());
            command->SetCommandText(
                QStringLiteral("UPDATE Configuracao SET ID_TRESSALIN = :id, MAQUINA = :maquina"));
            command->ParamByName(QStringLiteral("id")).SetInteger(station->Id);
            command->ParamByName(QStringLiteral("maquina")).SetString(station->Maquina);
            command->Execute();
            for (const StationTableData& table : data)
                counts.append({table.Table, InsertMissing(connection.get(), table, nullptr)});
            transaction.Commit();
        }
        if (::link(QFile::encodeName(building).constData(), QFile::encodeName(path).constData()) !=
            0)
            throw XException(
                QStringLiteral("O arquivo %1 já existe e não será alterado.").arg(path));
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    QFile::remove(building);
    return counts;
}

QList<TableCount> UpdateStation(const QString& url, const QString& path)
{
    RequireWritableStation(path);
    auto connection = OpenStation(path);
    const StationConfig config = ReadStationConfig(connection.get());
    PgConnection server(url);
    const RegisteredStation station = StationOfFile(server, connection.get(), config);
    const std::vector<StationTableData> data = ReadStationData(server, station);

    QList<TableCount> counts;
    TXTransaction transaction(connection.get());
    for (const StationTableData& table : data) {
        const QSet<QString> known =
            LocalKeys(connection.get(), table.Table, StationKey(table.Table));
        int changed = InsertMissing(connection.get(), table, &known);
        if (table.Table == QLatin1String("Placa_Poco"))
            changed += FillCollectedWells(connection.get(), table, config.Maquina.trimmed());
        counts.append({table.Table, changed});
    }
    transaction.Commit();
    return counts;
}

ServerTransmission TransmitToServer(const QString& path, const QString& url)
{
    RequireWritableStation(path);
    auto connection = OpenStation(path);
    const StationConfig config = ReadStationConfig(connection.get());
    const QString maquina = config.Maquina.trimmed();
    if (maquina.isEmpty())
        throw XException(QStringLiteral("O banco de dados ainda não está vinculado a um computador;"
                                        " a estação o vincula ao conectar. Nada foi transmitido."));
    if (maquina.size() > 20)
        throw XException(
            QStringLiteral("O computador da estação deve ter no máximo 20 caracteres."));
    const bool collection = config.Operation == StationOperation::Coleta;
    const ReceivedTable kind = collection ? ReceivedTable::PlacaPoco : ReceivedTable::Plantio;
    const QString table = collection ? QStringLiteral("Placa_Poco") : QStringLiteral("Plantio");
    const QString origin =
        collection ? QStringLiteral("ORIGEM_COLETA") : QStringLiteral("ORIGEM_PLANTIO");
    const QString pending = collection
                                ? QStringLiteral("NC_PLANTIO IS NOT NULL AND ORIGEM_COLETA IS NULL")
                                : QStringLiteral("ORIGEM_PLANTIO IS NULL");

    PgConnection server(url);
    const RegisteredStation station = StationOfFile(server, connection.get(), config);
    const QStringList columns = ReceivedColumns(kind);
    const QStringList archiveColumns = ArchiveColumns(kind);
    const auto read = [&connection, &server](const QString& sql, const QString& tableName,
                                             const QStringList& names) {
        QHash<QString, ServerColumn> onServer;
        const PgResult described = server.Exec(kServerColumnsSql, {tableName.toLower()});
        for (int r = 0; r < described.Rows(); ++r)
            onServer.insert(described.Text(r, 0), {described.Text(r, 1), int(described.Int(r, 2))});
        QList<StationColumnType> types;
        for (const QString& name : names)
            types << ColumnOf(tableName, name.toUpper()).Type;
        const QStringList key = FindStationTable(tableName)->PrimaryKey;
        auto query = NewQuery(connection.get());
        query->SetSQL(sql);
        query->Open();
        QList<QList<PgValue>> rows;
        rows.reserve(query->RecordCount());
        for (; !query->Eof(); query->Next()) {
            QList<PgValue> values;
            values.reserve(names.size());
            for (qsizetype c = 0; c < names.size(); ++c) {
                QString problem;
                try {
                    values << ToServer(query->Fields(int(c)).Value(), types[c]);
                    if (values.last())
                        problem = DoesNotFit(*values.last(), onServer.value(names[c]));
                } catch (const XException& error) {
                    problem = error.Message();
                }
                if (problem.isEmpty())
                    continue;
                // The row is named by the station's key, as the operator finds it in the file.
                QStringList where;
                if (key.isEmpty())
                    where << QString::number(rows.size() + 1);
                for (qsizetype k = 0; k < names.size(); ++k) {
                    if (key.contains(names[k].toUpper()))
                        where << names[k].toUpper() + QLatin1Char('=') +
                                     query->Fields(int(k)).Value().toString();
                }
                throw XException(QStringLiteral("Tabela %1, registro %2, coluna %3: %4 Nada foi"
                                                " transmitido.")
                                     .arg(tableName, where.join(QStringLiteral(", ")),
                                          names[c].toUpper(), problem));
            }
            rows << values;
        }
        return rows;
    };
    const auto run = [&connection](const QString& sql) {
        auto command = NewCommand(connection.get());
        command->SetCommandText(sql);
        return command->Execute();
    };
    // What is sent is kept aside as it was read, in one statement: the rows the server
    // accepts are marked from it afterwards. Row i of the batch is its row i + 1.
    run(QStringLiteral("CREATE TEMP TABLE Enviados AS SELECT %1 FROM %2 WHERE %3")
            .arg(Upper(columns), table, pending));
    ReceiveBatch batch;
    batch.Estacao = station.Nome;
    batch.Maquina = maquina;
    batch.Table = kind;
    batch.Rows =
        read(QStringLiteral("SELECT %1 FROM temp.Enviados ORDER BY rowid").arg(Upper(columns)),
             table, columns);
    batch.Archives = read(QStringLiteral("SELECT %1 FROM %2_Exc").arg(Upper(archiveColumns), table),
                          table + QStringLiteral("_Exc"), archiveColumns);

    const ReceiveResult received = ReceiveRows(server, batch);

    ServerTransmission result;
    result.Estacao = station.Nome;
    result.Sent = int(batch.Rows.size());
    result.Inserted = received.Inserted;
    result.AlreadyPresent = received.AlreadyPresent;
    result.Archives = int(batch.Archives.size());
    for (const RefusedRow& refused : received.Refused)
        result.Conflicts.append({refused.StationValues, refused.ServerValues, refused.Reason});

    // Only a row still untransmitted and still as it was sent is marked: the rows the server
    // did not accept leave the sent set, and one statement marks the rows matching the rest.
    const QStringList key = FindStationTable(table)->PrimaryKey;
    QStringList match;
    for (const QString& column : columns) {
        const QString name = column.toUpper();
        match << QStringLiteral("t.%1 %2 a.%1")
                     .arg(name, key.contains(name) ? QStringLiteral("=") : QStringLiteral("IS"));
    }
    QList<bool> accepted(batch.Rows.size(), false);
    for (const int index : received.Accepted)
        accepted[index] = true;
    TXTransaction transaction(connection.get());
    auto drop = NewCommand(connection.get());
    drop->SetCommandText(QStringLiteral("DELETE FROM temp.Enviados WHERE rowid = :linha"));
    for (qsizetype index = 0; index < accepted.size(); ++index) {
        if (accepted[index])
            continue;
        drop->ParamByName(QStringLiteral("linha")).SetInteger(int(index) + 1);
        drop->Execute();
    }
    auto mark = NewCommand(connection.get());
    mark->SetCommandText(QStringLiteral("UPDATE %1 AS t SET %2 = :origem FROM temp.Enviados AS a"
                                        " WHERE t.%2 IS NULL AND %3")
                             .arg(table, origin, match.join(QStringLiteral(" AND "))));
    mark->ParamByName(QStringLiteral("origem")).SetString(maquina);
    result.Marked = mark->Execute();
    run(QStringLiteral("DROP TABLE temp.Enviados"));
    transaction.Commit();
    return result;
}

DemoServer FillDemoServer(const QString& url)
{
    PgConnection server(url);
    CreateCentralSchema(server);
    const QString lote = QStringLiteral("DEMO");
    const auto store = [&server](const char* table, const char* columns,
                                 const QList<QList<PgValue>>& values) {
        MasterRows rows{QString::fromLatin1(table),
                        QString::fromLatin1(columns).split(QLatin1Char(' ')),
                        values,
                        {}};
        for (qsizetype i = 0; i < values.size(); ++i)
            rows.Lines << int(i) + 2;
        StoreMasterRows(server, rows);
    };
    QList<QList<PgValue>> users;
    int id = 0;
    for (const DemoUser& user : DemoUsers())
        users.append({QString::number(++id), user.Nome, LoginText(user.Codigo),
                      ScramblePassword(LoginText(user.Senha))});
    // The demo users are stored once; a later run finds them with the same passwords.
    if (server.Exec(QStringLiteral("SELECT 1 FROM usua WHERE id_user = 1")).Rows() == 0)
        store("usua", "id_user nome codigo senha", users);
    store("lote", "id_slote nome qte_tratamento lote",
          {{QStringLiteral("1"), QStringLiteral("MILHO PRECOCE"), QStringLiteral("60"), lote},
           {QStringLiteral("2"), QStringLiteral("MILHO TARDIO"), QStringLiteral("80"), lote},
           {QStringLiteral("3"), QStringLiteral("SOJA RR"), QStringLiteral("100"), lote},
           {QStringLiteral("4"), QStringLiteral("SOJA CONVENCIONAL"), QStringLiteral("60"), lote}});
    constexpr qint64 kPlantBase = Q_INT64_C(789100000000);
    constexpr qint64 kPlantingBase = Q_INT64_C(200000000000);
    constexpr qint64 kPlateBase = Q_INT64_C(300000000000);
    QList<QList<PgValue>> plants;
    for (int plant = 1; plant <= 300; ++plant)
        plants.append({QString::number(kPlantBase + plant), QString::number(5000 + (plant - 1) / 3),
                       QString::number((plant - 1) % 3 + 1)});
    store("planta", "ncc nc rep", plants);
    QList<QList<PgValue>> plates;
    QList<QList<PgValue>> wells;
    for (int plate = 1; plate <= 4; ++plate) {
        plates.append({QString::number(plate), QString::number(plate),
                       EanCode(kPlateBase + plate, BarcodeType::Ean13), QStringLiteral("8"),
                       QStringLiteral("12"), lote});
        for (int seq = 1; seq <= 96; ++seq) {
            const int linha = (seq - 1) % 8 + 1;
            const int coluna = (seq - 1) / 8 + 1;
            wells.append({QString::number(plate), QString::number(plate), WellName(linha, coluna),
                          QString::number(linha), QString::number(coluna), QString::number(seq),
                          seq > 94 ? QStringLiteral("C") : QStringLiteral("T"),
                          QStringLiteral("0")});
        }
    }
    store("placa", "id_placa placa codigo tlinha tcoluna lote", plates);
    store("placa_poco", "id_placa placa poco linha coluna seq_coleta amostra status_poco", wells);

    DemoServer demo;
    const struct
    {
        const char* Nome;
        int Operacao;
    } stations[] = {{"PLANTIO1", 0}, {"PLANTIO2", 0}, {"COLETA1", 1}, {"COLETA2", 1}};
    for (const auto& item : stations) {
        const QString nome = QString::fromLatin1(item.Nome);
        if (!FindStation(server, nome)) {
            RegisteredStation station;
            station.Nome = nome;
            station.Operacao = item.Operacao;
            station.Lote = lote;
            AddStation(server, station);
        }
        demo.Lines << QStringLiteral("Estação %1 (%2), lote %3")
                          .arg(nome,
                               item.Operacao == 1 ? QStringLiteral("coleta")
                                                  : QStringLiteral("plantio"),
                               lote);
    }
    demo.Lines << QStringLiteral("Usuários: ADMIN (senha 1234) e OPERADOR (senha 4321)");
    demo.Lines << QStringLiteral("Plantas (NCC): %1 a %2")
                      .arg(EanCode(kPlantBase + 1, BarcodeType::Ean13),
                           EanCode(kPlantBase + 300, BarcodeType::Ean13));
    demo.Lines << QStringLiteral("Códigos de plantio livres (NC Plantio): a partir de %1")
                      .arg(EanCode(kPlantingBase + 1, BarcodeType::Ean13));
    demo.Lines << QStringLiteral("Placas: %1 a %2")
                      .arg(EanCode(kPlateBase + 1, BarcodeType::Ean13),
                           EanCode(kPlateBase + 4, BarcodeType::Ean13));
    return demo;
}
