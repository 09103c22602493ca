#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"
#include "teststation.h"
#include "xexception.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Opens a connection string; returns the error's class name and message ("" / "" on success).
std::pair<QString, QString> TryOpen(const QString& connectionString)
{
    TXConnection conn;
    conn.SetConnectionString(connectionString);
    try {
        conn.Open();
    } catch (const XException& e) {
        EXPECT_FALSE(conn.Connected());
        return {e.ClassName(), e.Message()};
    }
    return {};
}

// A valid SQLite file, but not one the provisioning tool made.
void MakePlainSqlite(const QString& path, int applicationId)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const QByteArray sql =
        "PRAGMA application_id=" + QByteArray::number(applicationId) + "; CREATE TABLE t (a LONG)";
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

QString Jet(const QString& path, const QString& rest)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path + u';' + rest;
}

} // namespace

// An existing file is never replaced, and only a station file opens, with its own password.
TEST(DataConnection, OpensOnlyStationFilesWithTheirPassword)
{
    TestStation station;
    const QString dir = station.Folder();
    const QString path = station.Path();
    EXPECT_THROW(CreateStationFile(path, QStringLiteral("other")), XException);
    QFile text(dir + QStringLiteral("/text.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a database") && text.flush());
    MakePlainSqlite(dir + QStringLiteral("/plain.db"), 0);
    MakePlainSqlite(dir + QStringLiteral("/marked.db"), kStationApplicationId); // no verifier
    const QString pw = TestStation::kPassword;
    const QString withPw = QStringLiteral("Jet OLEDB:Database Password=") + pw;
    const QString badPw = QStringLiteral("Not a valid password.");
    const auto notStation = [&](const char* name) {
        return QStringLiteral("Unrecognized database format '%1/%2'.").arg(dir, name);
    };

    const std::pair<QString, QString> cases[] = {
        {station.ConnectionString(), {}}, // the message, empty when it opens
        {Jet(path, QStringLiteral(" jet oledb:database password = ") + pw), {}},
        {station.ConnectionString(pw.toLower()), badPw},
        {Jet(path, QStringLiteral("Persist Security Info=False")), badPw},
        {Jet(dir + QStringLiteral("/text.db"), withPw), notStation("text.db")},
        {Jet(dir + QStringLiteral("/plain.db"), withPw), notStation("plain.db")},
        {Jet(dir + QStringLiteral("/marked.db"), withPw), notStation("marked.db")},
        {Jet(dir + QStringLiteral("/missing.db"), withPw),
         QStringLiteral("Could not find file '%1/missing.db'.").arg(dir)},
        {QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;") + withPw,
         QStringLiteral("No Data Source was given in the connection string.")},
        {QStringLiteral("Provider=SQLOLEDB;Data Source=") + path,
         QStringLiteral("Provider cannot be found. It may not be properly installed.")},
    };
    for (const auto& [connectionString, expected] : cases) {
        const auto [className, message] = TryOpen(connectionString);
        EXPECT_EQ(message, expected) << qPrintable(connectionString);
        EXPECT_EQ(className, expected.isEmpty() ? QString() : kProviderErrorClass);
    }
    // Opening never creates a file.
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/missing.db")));
}

TEST(DataConnection, SecondWriterIsLockedOutUntilTheHolderCommits)
{
    TestStation station;
    station.Exec(QStringLiteral("CREATE TABLE t (a LONG)"));
    station.Conn().BeginTrans();
    station.Exec(QStringLiteral("INSERT INTO t (a) VALUES (1)"));

    // Another connection opens and reads while the first holds its write lock.
    auto other = station.OpenAnother(1);
    auto count = NewQuery(other.get());
    count->SetSQL(QStringLiteral("SELECT count(*) AS n FROM t"));
    count->Open();
    EXPECT_EQ(count->FieldByName(QStringLiteral("n")).AsInteger(), 0);

    // Its write gives up once its timeout has passed, and goes through after the commit.
    auto insert = NewCommand(other.get());
    insert->SetCommandText(QStringLiteral("INSERT INTO t (a) VALUES (2)"));
    try {
        insert->Execute();
        FAIL() << "write went through another connection's lock";
    } catch (const XException& e) {
        EXPECT_EQ(e.ClassName() + u' ' + e.Message(), kProviderErrorClass + " database is locked");
    }
    station.Conn().CommitTrans();
    EXPECT_EQ(insert->Execute(), 1);
    count->Requery();
    EXPECT_EQ(count->FieldByName(QStringLiteral("n")).AsInteger(), 2);
}

TEST(DataConnection, TransactionsRollBackWithoutTraceAndCommitDurably)
{
    TestStation station;
    station.Exec(QStringLiteral("CREATE TABLE t (a LONG)"));
    TXConnection& conn = station.Conn();
    conn.BeginTrans();
    EXPECT_THROW(conn.BeginTrans(), XException);
    station.Exec(QStringLiteral("INSERT INTO t (a) VALUES (1)"));
    conn.RollbackTrans();
    EXPECT_THROW(conn.CommitTrans(), XException);

    conn.BeginTrans();
    station.Exec(QStringLiteral("INSERT INTO t (a) VALUES (2)"));
    conn.CommitTrans();

    // An open transaction dies with its connection.
    conn.BeginTrans();
    station.Exec(QStringLiteral("INSERT INTO t (a) VALUES (3)"));
    conn.Close();
    EXPECT_FALSE(QFileInfo::exists(station.Path() + QStringLiteral("-journal")));
    conn.Open(); // only the committed row is left
    EXPECT_EQ(station.Exec(QStringLiteral("DELETE FROM t WHERE a <> 2")), 0);
    EXPECT_EQ(station.Exec(QStringLiteral("DELETE FROM t WHERE a = 2")), 1);
}

TEST(DataConnection, ClosingClosesItsQueries)
{
    TestStation station;
    auto a = NewQuery(&station.Conn());
    auto b = NewQuery(&station.Conn());
    for (TXQuery* q : {a.get(), b.get()}) {
        q->SetSQL(QStringLiteral("SELECT 1 AS x"));
        q->Open();
    }
    a.reset(); // destroying an open query detaches it
    EXPECT_EQ(station.Conn().DataSetCount(), 1);
    station.Conn().Close();
    EXPECT_TRUE(!b->Active() && station.Conn().DataSetCount() == 0);
    EXPECT_THROW(b->Open(), XException);
}
