#include "data/txconnection.h"
#include "stationbuilder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <signal.h>
#include <sqlite3.h>

// A planting station killed at any moment of its scanning loop (power cut,
// task manager) must lose nothing it had confirmed and leave a sound file.

namespace {

constexpr int kKills = 40;
constexpr qint64 kKeysPerRun = 1'000'000;

/** What an independent SQLite connection finds in the file after a kill. */
struct FileState
{
    QString Integrity;
    std::set<qint64> Keys; // NC_PLANTIO of the run's range
};

FileState ReadFile(const QString& path, qint64 first)
{
    FileState state;
    sqlite3* db = nullptr;
    // Read-write: a hot journal left by the kill must be rolled back to read at all.
    if (sqlite3_open_v2(path.toLocal8Bit().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        state.Integrity = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return state;
    }
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        state.Integrity +=
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db,
                       "SELECT nc_plantio FROM Plantio WHERE nc_plantio >= ?1 AND nc_plantio < ?2",
                       -1, &statement, nullptr);
    sqlite3_bind_int64(statement, 1, first);
    sqlite3_bind_int64(statement, 2, first + kKeysPerRun);
    while (sqlite3_step(statement) == SQLITE_ROW)
        state.Keys.insert(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return state;
}

/** The keys the child reported as committed: complete lines only. */
std::vector<qint64> ReportedKeys(const QByteArray& output)
{
    std::vector<qint64> keys;
    const QList<QByteArray> lines = output.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) // the last piece has no newline yet
        keys.push_back(lines[i].toLongLong());
    return keys;
}

} // namespace

TEST(KilledMidScan, NothingConfirmedIsLostAndTheFileStaysSound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("estacao.db"));
    CreateStation(path, StationOptions{});
    InsertLote(OpenStation(path).get(), 1, QStringLiteral("LOTE 1"), 1000);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayMs(0, 60);
    int confirmed = 0;
    int inFlightCommitted = 0;
    for (int run = 0; run < kKills; ++run) {
        const qint64 first = (run + 1) * kKeysPerRun;
        QProcess child;
        child.start(QStringLiteral(TRESSALIN_SCANLOOP_PATH),
                    {path, QString::number(first), QString::number(kKeysPerRun)});
        ASSERT_TRUE(child.waitForStarted());
        // Most kills land in the loop; every fourth may land while the file is being opened.
        if (run % 4 != 0) {
            ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().constData();
        }
        QThread::msleep(delayMs(random));
        ASSERT_EQ(::kill(pid_t(child.processId()), SIGKILL), 0);
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
            << "ended by itself: " << child.readAllStandardError().constData();

        const std::vector<qint64> reported = ReportedKeys(child.readAllStandardOutput());
        const FileState state = ReadFile(path, first);
        SCOPED_TRACE(testing::Message() << "run " << run << ", " << reported.size() << " reported");
        EXPECT_EQ(state.Integrity, QStringLiteral("ok"));
        for (qint64 key : reported)
            EXPECT_TRUE(state.Keys.count(key)) << "confirmed planting lost: " << key;
        // Besides the confirmed ones, only the scan in progress may have made it.
        const qint64 inFlight = first + qint64(reported.size());
        for (qint64 key : state.Keys)
            EXPECT_LE(key, inFlight) << "planting never scanned";
        confirmed += int(reported.size());
        inFlightCommitted += int(state.Keys.count(inFlight));
    }
    // The data layer still opens the file and sees exactly what survived.
    EXPECT_EQ(CountRows(OpenStation(path).get(), QStringLiteral("Plantio")),
              confirmed + inFlightCommitted);
}
