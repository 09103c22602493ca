#include "connectionfile.h"
#include "dbstation.h"
#include "xexception.h"
#include "xpackbuffer.h"
#include "xscramble.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

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
    const QString path = u"/home/estação/dados campo/base.db"_s;
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
            EXPECT_EQ(e.Message(), u"GetS error - bigger than pack"_s);
        }
    }
}

TEST(ConnectionFile, PathIsBesideAWritableProgramElseInTheConfigFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    EXPECT_EQ(ConnectionFilePathFor(folder + u"/tressalin"_s), folder + u"/tressalin.dat"_s);
    EXPECT_EQ(ConnectionFilePathFor(folder + u"/Station.exe"_s), folder + u"/Station.dat"_s);
    EXPECT_EQ(BackupFilePathFor(folder + u"/tressalin.dat"_s), folder + u"/tressalin.bkp"_s);

    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + u"/config"_s));
    EXPECT_EQ(ConnectionFilePathFor(u"/nonexistent/bin/tressalin"_s),
              folder + u"/config/tressalin/tressalin.dat"_s);
    qputenv("XDG_CONFIG_HOME", previous);
}

TEST(ConnectionFile, ReplacingKeepsThePreviousFileAsBackup)
{
    QTemporaryDir dir;
    const QString dat = dir.filePath(u"sub/prog.dat"_s);
    const QString bkp = dir.filePath(u"sub/prog.bkp"_s);
    const QByteArray first = BuildConnectionFile(u"/a.db"_s);
    const QByteArray second = BuildConnectionFile(u"/b.db"_s);

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
    EXPECT_EQ(QDir(dir.filePath(u"sub"_s)).entryList(QDir::Files).size(), 2);
}

TEST(ConnectionFile, FailedRenameLeavesTheOldFileReadable)
{
    QTemporaryDir dir;
    const QString dat = dir.filePath(u"prog.dat"_s);
    const QByteArray old = BuildConnectionFile(u"/old.db"_s);
    ASSERT_TRUE(WriteConnectionFile(dat, old));

    ReplacerGuard guard;
    SetConnectionFileReplacer([](const QString&, const QString&) { return false; });
    EXPECT_FALSE(WriteConnectionFile(dat, BuildConnectionFile(u"/new.db"_s)));
    EXPECT_EQ(ReadAll(dat), old);
    EXPECT_EQ(ReadConnectionPayload(ReadAll(dat)), u"/old.db"_s);
    EXPECT_EQ(ReadAll(dir.filePath(u"prog.bkp"_s)), old);
    EXPECT_FALSE(QFile::exists(dat + u".tmp"_s));
}
