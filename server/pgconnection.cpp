#include "pgconnection.h"

#include <libpq-fe.h>

namespace {

// CREATE ... IF NOT EXISTS and the like talk to stderr otherwise.
void IgnoreNotice(void*, const char*) {}

QString ServerText(const char* text)
{
    return QString::fromUtf8(text).trimmed();
}

// Keepalives find a dead network in about a minute on both ends; settings in the URL win, as
// libpq lets keywords given with the URL's expansion override those before it.
const char* const kConnectKeywords[] = {"keepalives",
                                        "keepalives_idle",
                                        "keepalives_interval",
                                        "keepalives_count",
                                        "connect_timeout",
                                        "dbname",
                                        nullptr};

// A station that holds key locks and then goes silent must not hold up the others: its
// waiting peers give up after lock_timeout, and the server ends its idle transaction and
// notices its dead connection.
const QString kSessionLimitsSql =
    QStringLiteral("SELECT set_config('lock_timeout', '30s', false),"
                   " set_config('statement_timeout', '10min', false),"
                   " set_config('idle_in_transaction_session_timeout', '2min', false),"
                   " set_config('tcp_keepalives_idle', '30', false),"
                   " set_config('tcp_keepalives_interval', '10', false),"
                   " set_config('tcp_keepalives_count', '3', false)");

QString TimeoutText(const QString& state)
{
    if (state == QLatin1String("55P03"))
        return QStringLiteral("Os registros que esta operação precisa continuam presos por outra"
                              " conexão ao servidor (talvez uma estação cuja rede caiu) além do"
                              " tempo limite; nada foi gravado. Tente de novo em alguns minutos.");
    if (state == QLatin1String("57014"))
        return QStringLiteral("A operação no servidor passou do tempo limite e foi cancelada;"
                              " nada foi gravado. Tente de novo mais tarde.");
    if (state == QLatin1String("25P03"))
        return QStringLiteral("O servidor encerrou a transação, parada por tempo demais; nada foi"
                              " gravado. Tente de novo.");
    return QString();
}

} // namespace

PgError::PgError(const QString& message, QString sqlState)
    : XException(message), m_sqlState(std::move(sqlState))
{
}

void PgResult::Clear::operator()(pg_result* result) const
{
    PQclear(result);
}

PgResult::PgResult(pg_result* result) : m_result(result) {}

int PgResult::Rows() const
{
    return PQntuples(m_result.get());
}

int PgResult::Columns() const
{
    return PQnfields(m_result.get());
}

bool PgResult::IsNull(int row, int column) const
{
    return PQgetisnull(m_result.get(), row, column) != 0;
}

QString PgResult::Text(int row, int column) const
{
    return QString::fromUtf8(PQgetvalue(m_result.get(), row, column));
}

PgValue PgResult::Value(int row, int column) const
{
    if (IsNull(row, column))
        return std::nullopt;
    return Text(row, column);
}

qint64 PgResult::Int(int row, int column) const
{
    return QByteArray(PQgetvalue(m_result.get(), row, column)).toLongLong();
}

PgConnection::PgConnection(const QString& url)
{
    const QByteArray dbname = url.toUtf8();
    const char* const values[] = {"1", "30", "10", "3", "15", dbname.constData(), nullptr};
    m_connection = PQconnectdbParams(kConnectKeywords, values, 1);
    if (!m_connection)
        throw PgError(
            QStringLiteral("Não foi possível conectar ao servidor: memória insuficiente."),
            QString());
    if (PQstatus(m_connection) != CONNECTION_OK) {
        const QString reason = ServerText(PQerrorMessage(m_connection));
        PQfinish(m_connection);
        m_connection = nullptr;
        throw PgError(QStringLiteral("Não foi possível conectar ao servidor: %1").arg(reason),
                      QString());
    }
    PQsetNoticeProcessor(m_connection, IgnoreNotice, nullptr);
    if (PQsetClientEncoding(m_connection, "UTF8") != 0) {
        PQfinish(m_connection);
        m_connection = nullptr;
        throw PgError(QStringLiteral("O servidor não aceitou a codificação UTF-8."), QString());
    }
    Exec(kSessionLimitsSql);
}

PgConnection::~PgConnection()
{
    if (m_connection)
        PQfinish(m_connection);
}

void PgConnection::Fail(pg_result* result)
{
    PgResult owned(result);
    QString state;
    QString message;
    if (result) {
        state = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
        message = ServerText(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
        const QString detail = ServerText(PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL));
        if (!detail.isEmpty())
            message += QLatin1Char(' ') + detail;
    }
    if (message.isEmpty())
        message = ServerText(PQerrorMessage(m_connection));
    if (PQstatus(m_connection) != CONNECTION_OK)
        throw PgError(QStringLiteral("A conexão com o servidor foi perdida: %1").arg(message),
                      state);
    const QString timeout = TimeoutText(state);
    if (!timeout.isEmpty())
        throw PgError(timeout, state);
    throw PgError(QStringLiteral("Erro no servidor: %1").arg(message), state);
}

PgResult PgConnection::Exec(const QString& sql, const PgParams& params)
{
    QList<QByteArray> bytes;
    bytes.reserve(params.size());
    std::vector<const char*> values;
    values.reserve(size_t(params.size()));
    for (const PgValue& param : params) {
        bytes << (param ? param->toUtf8() : QByteArray());
        values.push_back(param ? bytes.last().constData() : nullptr);
    }
    pg_result* result = PQexecParams(m_connection, sql.toUtf8().constData(), int(params.size()),
                                     nullptr, values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        Fail(result);
    return PgResult(result);
}

void PgConnection::CopyIn(const QString& copySql, const QByteArray& data)
{
    pg_result* start = PQexec(m_connection, copySql.toUtf8().constData());
    if (!start || PQresultStatus(start) != PGRES_COPY_IN)
        Fail(start);
    PQclear(start);
    // libpq buffers; large chunks keep the round trips few.
    constexpr qsizetype kChunk = 1 << 20;
    for (qsizetype at = 0; at < data.size(); at += kChunk) {
        const int length = int(std::min(kChunk, data.size() - at));
        if (PQputCopyData(m_connection, data.constData() + at, length) != 1)
            Fail(nullptr);
    }
    if (PQputCopyEnd(m_connection, nullptr) != 1)
        Fail(nullptr);
    pg_result* end = PQgetResult(m_connection);
    const bool ok = end && PQresultStatus(end) == PGRES_COMMAND_OK;
    // Drain whatever else the server sent, so the connection is ready again.
    while (pg_result* more = PQgetResult(m_connection))
        PQclear(more);
    if (!ok)
        Fail(end);
    PQclear(end);
}

QString PgConnection::User() const
{
    return QString::fromUtf8(PQuser(m_connection));
}

PgTransaction::PgTransaction(PgConnection& connection, const QString& begin)
    : m_connection(connection)
{
    m_connection.Exec(begin);
}

PgTransaction::~PgTransaction()
{
    if (!m_open)
        return;
    try {
        m_connection.Exec(QStringLiteral("ROLLBACK"));
    } catch (...) {
        // A lost connection rolls back on the server by itself.
    }
}

void PgTransaction::Commit()
{
    m_open = false;
    m_connection.Exec(QStringLiteral("COMMIT"));
}

void AppendCopyRow(QByteArray& out, const QList<PgValue>& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += '\t';
        if (!fields[i]) {
            out += "\\N";
            continue;
        }
        for (const char c : fields[i]->toUtf8()) {
            switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
            }
        }
    }
    out += '\n';
}
