#include "xsqlite.h"

#include "txparameters.h"
#include "xexception.h"

#include <sqlite3.h>

void DisableQuotedStringFallback(sqlite3* db)
{
    // Our Jet rewrite already turns real literals into single-quoted ones.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

void RaiseProviderError(const QString& message)
{
    throw XException(message, kProviderErrorClass);
}

void RaiseEngineError(sqlite3* db)
{
    RaiseProviderError(QString::fromUtf8(sqlite3_errmsg(db)));
}

bool IsLockedMessage(const QString& message)
{
    return message == QLatin1String(sqlite3_errstr(SQLITE_BUSY));
}

namespace {

void BindOne(sqlite3_stmt* statement, int index, const TXParameter* p)
{
    if (!p || p->Value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    int rc = SQLITE_OK;
    switch (p->DataType) {
    case TXParamType::String: {
        const QByteArray text = p->Value.toString().toUtf8();
        rc = sqlite3_bind_text(statement, index, text.constData(), int(text.size()),
                               SQLITE_TRANSIENT);
        break;
    }
    case TXParamType::Integer:
    case TXParamType::LargeInt:
        rc = sqlite3_bind_int64(statement, index, p->Value.toLongLong());
        break;
    case TXParamType::Float:
        rc = sqlite3_bind_double(statement, index, p->Value.toDouble());
        break;
    }
    if (rc != SQLITE_OK)
        RaiseEngineError(sqlite3_db_handle(statement));
}

} // namespace

void BindParameters(sqlite3_stmt* statement, TXParameters& parameters)
{
    const int count = sqlite3_bind_parameter_count(statement);
    for (int index = 1; index <= count; ++index) {
        // The name keeps its colon; SQLite gives one index per distinct spelling.
        const char* name = sqlite3_bind_parameter_name(statement, index);
        const TXParameter* p = name ? parameters.FindParam(QString::fromUtf8(name + 1)) : nullptr;
        BindOne(statement, index, p);
    }
}

void StepToEnd(sqlite3_stmt* statement)
{
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        RaiseEngineError(sqlite3_db_handle(statement));
}
