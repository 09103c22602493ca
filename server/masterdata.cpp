#include "masterdata.h"

#include "centralschema.h"
#include "xscramble.h"

#include <QSet>

namespace {

struct MasterKey
{
    const char* Table;
    QStringList Key;
    const char* Extra; // further condition on the server row r
};

const MasterKey& KeyOf(const QString& table)
{
    static const QList<MasterKey> keys = {
        {"lote", {QStringLiteral("id_slote")}, ""},
        {"planta", {QStringLiteral("ncc")}, ""},
        {"usua", {QStringLiteral("id_user")}, ""},
        {"placa", {QStringLiteral("id_placa")}, ""},
        {"placa_poco", {QStringLiteral("id_placa"), QStringLiteral("poco")},
         " AND r.estacao IS NULL"}};
    for (const MasterKey& key : keys) {
        if (table == QLatin1String(key.Table))
            return key;
    }
    throw XException(QStringLiteral("A tabela %1 não recebe cadastros.").arg(table));
}

QString Joined(const QStringList& columns, const QString& alias)
{
    QStringList out;
    for (const QString& column : columns)
        out << alias + QLatin1Char('.') + column;
    return out.join(QStringLiteral(", "));
}

QString KeyText(const PgResult& result, int row, const QStringList& key)
{
    QStringList parts;
    for (qsizetype k = 0; k < key.size(); ++k)
        parts << QStringLiteral("%1 = %2").arg(key[k].toUpper(), result.Text(row, int(k) + 1));
    return parts.join(QStringLiteral(", "));
}

} // namespace

MasterStoreResult StoreMasterRows(PgConnection& connection, const MasterRows& rows)
{
    const MasterKey& key = KeyOf(rows.Table);
    QStringList match;
    for (const QString& column : key.Key)
        match << QStringLiteral("r.%1 = s.%1").arg(column);
    const QString sameKey = match.join(QStringLiteral(" AND ")) + QLatin1String(key.Extra);
    // A password is scrambled with a fresh salt each time; it is compared unscrambled below.
    QStringList compared = rows.Columns;
    compared.removeAll(QStringLiteral("senha"));

    RequireCentralSchema(connection);
    PgTransaction transaction(connection);
    connection.Exec(QStringLiteral("CREATE TEMP TABLE importando ON COMMIT DROP AS"
                                   " SELECT 0::integer AS seq, %1 FROM %2 WITH NO DATA")
                        .arg(rows.Columns.join(QStringLiteral(", ")), rows.Table));
    QByteArray data;
    for (qsizetype i = 0; i < rows.Rows.size(); ++i) {
        QList<PgValue> fields{QString::number(rows.Lines.value(i))};
        fields += rows.Rows[i];
        AppendCopyRow(data, fields);
    }
    connection.CopyIn(QStringLiteral("COPY importando FROM STDIN"), data);

    const QString keyColumns = Joined(key.Key, QStringLiteral("s"));
    const PgResult twice = connection.Exec(
        QStringLiteral("SELECT max(seq), %1 FROM importando s GROUP BY %1 HAVING count(*) > 1"
                       " ORDER BY 1 LIMIT 1")
            .arg(keyColumns));
    if (twice.Rows() > 0) {
        throw XException(QStringLiteral("Linha %1: o arquivo repete o registro com %2.")
                             .arg(twice.Text(0, 0), KeyText(twice, 0, key.Key)));
    }
    const PgResult changed = connection.Exec(
        QStringLiteral("SELECT s.seq, %1 FROM importando s JOIN %2 r ON %3"
                       " WHERE (%4) IS DISTINCT FROM (%5) ORDER BY s.seq LIMIT 1")
            .arg(keyColumns, rows.Table, sameKey, Joined(compared, QStringLiteral("r")),
                 Joined(compared, QStringLiteral("s"))));
    const auto refuse = [&](const PgResult& result, int row) {
        throw XException(QStringLiteral("Linha %1: a tabela %2 já tem um registro com %3, com"
                                        " outros valores.")
                             .arg(result.Text(row, 0), rows.Table, KeyText(result, row, key.Key)));
    };
    if (changed.Rows() > 0)
        refuse(changed, 0);
    if (rows.Columns.contains(QStringLiteral("senha"))) {
        const PgResult passwords = connection.Exec(
            QStringLiteral("SELECT s.seq, %1, r.senha, s.senha FROM importando s JOIN %2 r ON %3"
                           " ORDER BY s.seq")
                .arg(keyColumns, rows.Table, sameKey));
        const int at = int(key.Key.size()) + 1;
        for (int r = 0; r < passwords.Rows(); ++r) {
            if (UnscrambleText(passwords.Text(r, at), QString(kUserPasswordKey)) !=
                UnscrambleText(passwords.Text(r, at + 1), QString(kUserPasswordKey)))
                refuse(passwords, r);
        }
    }

    MasterStoreResult result;
    result.Unchanged = int(connection
                               .Exec(QStringLiteral("SELECT count(*) FROM importando s WHERE"
                                                    " EXISTS (SELECT 1 FROM %1 r WHERE %2)")
                                         .arg(rows.Table, sameKey))
                               .Int(0, 0));
    result.Inserted = int(rows.Rows.size()) - result.Unchanged;
    const QString columns = rows.Columns.join(QStringLiteral(", "));
    try {
        connection.Exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM importando s"
                                       " WHERE NOT EXISTS (SELECT 1 FROM %1 r WHERE %4)"
                                       " ORDER BY s.seq")
                            .arg(rows.Table, columns, Joined(rows.Columns, QStringLiteral("s")),
                                 sameKey));
    } catch (const PgError& error) {
        throw XException(QStringLiteral("O servidor recusou os registros: %1").arg(error.Message()));
    }
    transaction.Commit();
    return result;
}

QList<qint64> ServerPlateIds(PgConnection& connection)
{
    RequireCentralSchema(connection);
    const PgResult result = connection.Exec(QStringLiteral("SELECT id_placa FROM placa"));
    QList<qint64> ids;
    for (int r = 0; r < result.Rows(); ++r)
        ids << result.Int(r, 0);
    return ids;
}
