#include "txfile.h"
#include "xexception.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <sys/stat.h>

namespace {

class TXFileTest : public ::testing::Test
{
protected:
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    QString MakeFile(const QString& name, const QByteArray& content) const
    {
        QFile file(PathOf(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        return file.fileName();
    }

    static QByteArray Contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<TXFile> FileOn(const QString& path, bool shared = true) const
    {
        auto file = std::make_unique<TXFile>();
        file->SetFileName(path);
        file->SetShared(shared);
        return file;
    }

    QTemporaryDir m_dir;
};

TEST_F(TXFileTest, CreateWriteReadTruncateAndAccessModesUnderNonAsciiName)
{
    const QString path = PathOf(QStringLiteral("conexão.dat"));
    auto file = FileOn(path);
    EXPECT_FALSE(file->Open(false));
    EXPECT_EQ(file->LastError(), ENOENT);
    EXPECT_EQ(Contents(path), QByteArray("<missing>"));

    const QByteArray content = QByteArray("\0\x01\xff\x80xyz", 7).repeated(3000);
    ASSERT_TRUE(file->Open(true) && file->Write(content));
    ASSERT_TRUE(file->Close() && file->Open());
    EXPECT_EQ(file->Read(-1), content);
    ASSERT_TRUE(file->Close() && file->Open());
    EXPECT_EQ(file->Read(5), content.left(5));
    file->Truncate(); // cuts at the current position
    EXPECT_EQ(file->Size(), 5);
    EXPECT_TRUE(file->Close());

    auto readOnly = FileOn(path);
    readOnly->SetWriteMode(false);
    ASSERT_TRUE(readOnly->Open());
    EXPECT_FALSE(readOnly->Write("x"));
    EXPECT_EQ(readOnly->LastError(), EBADF);
    auto writeOnly = FileOn(path);
    writeOnly->SetReadMode(false);
    ASSERT_TRUE(writeOnly->Open());
    EXPECT_TRUE(writeOnly->Read(-1).isEmpty());
    EXPECT_TRUE(writeOnly->Write("x") && writeOnly->Close());
    EXPECT_EQ(Contents(path), "x" + content.mid(1, 4));
}

TEST_F(TXFileTest, RenameNeverReplacesAnExistingFile)
{
    const QString source = MakeFile(QStringLiteral("a.dat"), "A");
    const QString taken = MakeFile(QStringLiteral("b.dat"), "B");
    const QString freeName = PathOf(QStringLiteral("c.dat"));
    auto file = FileOn(source);
    EXPECT_FALSE(file->Rename(taken));
    EXPECT_EQ(file->LastError(), EEXIST);
    EXPECT_EQ(Contents(source) + Contents(taken), QByteArray("AB"));

    EXPECT_TRUE(file->Rename(freeName));
    EXPECT_EQ(file->FileName(), freeName);
    EXPECT_EQ(Contents(source) + Contents(freeName), QByteArray("<missing>A"));
}

TEST_F(TXFileTest, OnlyARegularFileOpensAndAPipeNeverWaits)
{
    const QString pipe = PathOf(QStringLiteral("pipe.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const auto& [path, error] : {std::pair(m_dir.path(), EISDIR), std::pair(pipe, EINVAL)}) {
        for (const bool write : {true, false}) {
            SCOPED_TRACE(path.toStdString() + (write ? " rw" : " r"));
            auto file = FileOn(path);
            file->SetWriteMode(write);
            EXPECT_FALSE(file->Open(true));
            EXPECT_EQ(file->LastError(), error);
            EXPECT_TRUE(!file->Opened() && file->Size() == -1);
        }
    }
}

// The exclusive lock and misuse checks: the program itself only opens shared and in order.
TEST_F(TXFileTest, ExclusiveOpenLocksOutAnotherAndMisuseChangesNothing)
{
    const QString path = MakeFile(QStringLiteral("a.dat"), "held");
    auto holder = FileOn(path, false);
    ASSERT_TRUE(holder->Open() && holder->Open()); // already open
    holder->SetFileName(QStringLiteral("x"));
    EXPECT_EQ(holder->FileName(), path);
    auto second = FileOn(path, false);
    // create must not fall back to recreating (and emptying) a file that is held
    EXPECT_FALSE(second->Open(true));
    EXPECT_EQ(second->LastError(), EWOULDBLOCK);
    EXPECT_EQ(Contents(path), QByteArray("held"));
    EXPECT_FALSE(second->Write("x") || second->Close());
    second->SetRaiseExceptions(true);
    EXPECT_THROW(second->Read(1), XException);
    holder.reset(); // destruction closes and releases the lock
    EXPECT_TRUE(second->Open());
}

} // namespace
