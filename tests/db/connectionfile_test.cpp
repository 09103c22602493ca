#include "connectionfile.h"
#include "xexception.h"
#include "xpackbuffer.h"
#include "xscramble.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ScrambledPayload(qint32 marker, qint32 statedLength, const QByteArray& path)
{
    TPackBuffer buffer;
    PackInitWrite(buffer);
    PackPutInt32(buffer, marker);
    PackPutInt32(buffer, statedLength);
    buffer.Data.replace(buffer.Position - 1, path.size(), path);
    buffer.Position += path.size();
    PackFinish(buffer);
    return ScrambleText(buffer.Data, kConnectionFileKey);
}

struct ReplacerGuard
{
    ~ReplacerGuard() { SetConnectionFileReplacer({}); }
};

} // namespace

TEST(ConnectionFile, PayloadRoundTripsAndChecksItsMarker)
{
    const QString path = QStringLiteral("/home/estação/dados campo/base.db");
    EXPECT_EQ(ReadConnectionPayload(BuildConnectionFile(path)), path);
    EXPECT_EQ(ReadConnectionPayload(BuildConnectionFile(QString())), QString());

    const QByteArray bytes = QFile::encodeName(path);
    EXPECT_EQ(ReadConnectionPayload(ScrambledPayload(2, bytes.size(), bytes)), path);
    EXPECT_EQ(ReadConnectionPayload(ScrambledPayload(3, bytes.size(), bytes)), std::nullopt);
    EXPECT_EQ(ReadConnectionPayload(ScrambledPayload(0, bytes.size(), bytes)), std::nullopt);
    EXPECT_EQ(ReadConnectionPayload(ScrambleText(QByteArray("\x01\x00", 2), kConnectionFileKey)),
              std::nullopt);
    EXPECT_EQ(ReadConnectionPayload(QByteArray()), std::nullopt);
}

TEST(ConnectionFile, StatedLengthBeyondTheContentRaises)
{
    const QByteArray path("/srv/base.db");
    for (qint32 stated : {qint32(path.size() + 1), qint32(1000), qint32(-1)}) {
        try {
            ReadConnectionPayload(ScrambledPayload(1, stated, path));
            ADD_FAILURE() << "no error for stated length " << stated;
        } catch (const XException& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("GetS error - bigger than pack"));
        }
    }
}

TEST(ConnectionFile, PathIsBesideAWritableProgramElseInTheConfigFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    EXPECT_EQ(ConnectionFilePathFor(folder + QStringLiteral("/tressalin")),
              folder + QStringLiteral("/tressalin.dat"));
    EXPECT_EQ(ConnectionFilePathFor(folder + QStringLiteral("/Station.exe")),
              folder + QStringLiteral("/Station.dat"));
    EXPECT_EQ(BackupFilePathFor(folder + QStringLiteral("/tressalin.dat")),
              folder + QStringLiteral("/tressalin.bkp"));

    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + QStringLiteral("/config")));
    EXPECT_EQ(ConnectionFilePathFor(QStringLiteral("/nonexistent/bin/tressalin")),
              folder + QStringLiteral("/config/tressalin/tressalin.dat"));
    qputenv("XDG_CONFIG_HOME", previous);
}

TEST(ConnectionFile, ReplacingKeepsThePreviousFileAsBackup)
{
    QTemporaryDir dir;
    const QString dat = dir.filePath(QStringLiteral("sub/prog.dat"));
    const QString bkp = dir.filePath(QStringLiteral("sub/prog.bkp"));
    const QByteArray first = BuildConnectionFile(QStringLiteral("/a.db"));
    const QByteArray second = BuildConnectionFile(QStringLiteral("/b.db"));

    ASSERT_TRUE(WriteConnectionFile(dat, first)); // creates the missing folder
    EXPECT_EQ(ReadAll(dat), first);
    EXPECT_FALSE(QFile::exists(bkp));

    ASSERT_TRUE(WriteConnectionFile(dat, second));
    EXPECT_EQ(ReadAll(dat), second);
    EXPECT_EQ(ReadAll(bkp), first);

    // A shorter new file must not leave bytes of the longer old one behind.
    const QByteArray shorter("x");
    ASSERT_TRUE(WriteConnectionFile(dat, shorter));
    EXPECT_EQ(ReadAll(dat), shorter);
    EXPECT_EQ(ReadAll(bkp), second);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("sub"))).entryList(QDir::Files).size(), 2);
}

TEST(ConnectionFile, FailedRenameLeavesTheOldFileReadable)
{
    QTemporaryDir dir;
    const QString dat = dir.filePath(QStringLiteral("prog.dat"));
    const QByteArray old = BuildConnectionFile(QStringLiteral("/old.db"));
    ASSERT_TRUE(WriteConnectionFile(dat, old));

    ReplacerGuard guard;
    SetConnectionFileReplacer([](const QString&, const QString&) { return false; });
    EXPECT_FALSE(WriteConnectionFile(dat, BuildConnectionFile(QStringLiteral("/new.db"))));
    EXPECT_EQ(ReadAll(dat), old);
    EXPECT_EQ(ReadConnectionPayload(ReadAll(dat)), QStringLiteral("/old.db"));
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("prog.bkp"))), old);
    EXPECT_FALSE(QFile::exists(dat + QStringLiteral(".tmp")));
}
