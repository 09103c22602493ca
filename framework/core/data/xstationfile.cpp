#include "xstationfile.h"

#include "xexception.h"
#include "xsqlite.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <sqlite3.h>

namespace {

constexpr int kSaltBytes = 16;

QByteArray Verifier(const QByteArray& salt, const QString& password)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(password.toUtf8());
    return hash.result();
}

QString UnrecognizedFormat(const QString& path)
{
    return QStringLiteral("Unrecognized database format '%1'.").arg(path);
}

// Writes the marker and the verifier into a freshly created, empty file.
void WriteMarker(sqlite3* db, const QString& password)
{
    const QByteArray setup =
        QStringLiteral("PRAGMA journal_mode=DELETE;"
                       "PRAGMA application_id=%1;"
                       "BEGIN;"
                       "CREATE TABLE %2 (Salt BLOB NOT NULL, Verifier BLOB NOT "
                       "NULL);")
            .arg(kStationApplicationId)
            .arg(QLatin1String(kStationVerifierTable))
            .toUtf8();
    if (sqlite3_exec(db, setup.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        RaiseEngineError(db);

    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    const QByteArray verifier = Verifier(salt, password);
    const QByteArray insert = QStringLiteral("INSERT INTO %1 (Salt, Verifier) VALUES (?1, ?2)")
                                  .arg(QLatin1String(kStationVerifierTable))
                                  .toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, insert.constData(), -1, &statement, nullptr) != SQLITE_OK)
        RaiseEngineError(db);
    sqlite3_bind_blob(statement, 1, salt.constData(), int(salt.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(statement, 2, verifier.constData(), int(verifier.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE || sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        RaiseEngineError(db);
}

} // namespace

void CreateStationFile(const QString& path, const QString& password)
{
    // NewOnly creates the file atomically, so an existing file is never touched.
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw XException(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()),
            QStringLiteral("EFCreateError"));
    file.close();

    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    try {
        if (rc != SQLITE_OK)
            RaiseEngineError(db);
        DisableQuotedStringFallback(db);
        WriteMarker(db, password);
    } catch (const XException& e) {
        sqlite3_close_v2(db);
        QFile::remove(path);
        throw XException(QStringLiteral("Cannot create file \"%1\". %2").arg(path, e.Message()),
                         QStringLiteral("EFCreateError"));
    }
    sqlite3_close_v2(db);
}

void CheckStationFile(sqlite3* db, const QString& path, const QString& password)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &statement, nullptr) != SQLITE_OK) {
        // A file of another kind fails here with "file is not a database".
        if (sqlite3_errcode(db) == SQLITE_NOTADB)
            RaiseProviderError(UnrecognizedFormat(path));
        RaiseEngineError(db);
    }
    int rc = sqlite3_step(statement);
    const int applicationId = rc == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 0;
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW) {
        if (sqlite3_errcode(db) == SQLITE_NOTADB)
            RaiseProviderError(UnrecognizedFormat(path));
        RaiseEngineError(db);
    }
    if (applicationId != kStationApplicationId)
        RaiseProviderError(UnrecognizedFormat(path));

    const QByteArray select = QStringLiteral("SELECT Salt, Verifier FROM %1")
                                  .arg(QLatin1String(kStationVerifierTable))
                                  .toUtf8();
    if (sqlite3_prepare_v2(db, select.constData(), -1, &statement, nullptr) != SQLITE_OK) {
        if (sqlite3_errcode(db) == SQLITE_BUSY)
            RaiseEngineError(db);
        RaiseProviderError(UnrecognizedFormat(path));
    }
    rc = sqlite3_step(statement);
    QByteArray salt, stored;
    if (rc == SQLITE_ROW) {
        salt = QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, 0)),
                          sqlite3_column_bytes(statement, 0));
        stored = QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, 1)),
                            sqlite3_column_bytes(statement, 1));
    }
    sqlite3_finalize(statement);
    if (rc == SQLITE_BUSY)
        RaiseEngineError(db);
    if (rc != SQLITE_ROW || salt.size() != kSaltBytes)
        RaiseProviderError(UnrecognizedFormat(path));
    if (password.isNull() || Verifier(salt, password) != stored)
        RaiseProviderError(QStringLiteral("Not a valid password."));
}

QString TextColumnDecl(const QString& name, int size, bool notNull)
{
    return QStringLiteral("%1 TEXT(%2)%3 COLLATE NOCASE CHECK(length(%1) <= %2)")
        .arg(name)
        .arg(size)
        .arg(notNull ? QStringLiteral(" NOT NULL") : QString());
}
