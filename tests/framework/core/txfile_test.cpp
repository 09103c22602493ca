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
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
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

TEST_F(TXFileTest, CreateWriteReadAndTruncateUnderNonAsciiName)
{
    const QString path = PathOf(QStringLiteral("conexão.dat"));
    auto file = FileOn(path);
    EXPECT_FALSE(file->Open(false));
    EXPECT_EQ(file->LastError(), ENOENT);
    EXPECT_FALSE(QFile::exists(path));

    QByteArray content(20000, '\0');
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i * 7);
    ASSERT_TRUE(file->Open(true));
    EXPECT_EQ(file->Size(), 0);
    EXPECT_TRUE(file->Write(content));
    ASSERT_TRUE(file->Close());
    EXPECT_EQ(Contents(path), content);

    ASSERT_TRUE(file->Open());
    EXPECT_EQ(file->Read(5), content.left(5));
    EXPECT_EQ(file->Read(-1), content.mid(5)); // -1 asks for Size(); the end cuts it short
    EXPECT_TRUE(file->Read(10).isEmpty());
    ASSERT_TRUE(file->Close() && file->Open()); // a huge count gives only what the file holds
    EXPECT_EQ(file->Read(qint64(1) << 40), content);

    ASSERT_TRUE(file->Close() && file->Open());
    file->Read(4);
    file->Truncate(); // cuts at the current position
    EXPECT_EQ(file->Size(), 4);
    file->Close();
    EXPECT_EQ(Contents(path), content.left(4));
}

TEST_F(TXFileTest, AccessModesRestrictReadAndWrite)
{
    const QString path = MakeFile(QStringLiteral("a.dat"), "abc");
    auto readOnly = FileOn(path);
    readOnly->SetWriteMode(false);
    ASSERT_TRUE(readOnly->Open());
    EXPECT_FALSE(readOnly->Write("x"));
    EXPECT_EQ(readOnly->LastError(), EBADF);
    EXPECT_EQ(readOnly->Read(-1), QByteArray("abc"));
    readOnly->Close();

    auto writeOnly = FileOn(path);
    writeOnly->SetReadMode(false);
    ASSERT_TRUE(writeOnly->Open());
    EXPECT_TRUE(writeOnly->Read(-1).isEmpty());
    EXPECT_EQ(writeOnly->LastError(), EBADF);
    EXPECT_TRUE(writeOnly->Write("x"));
    writeOnly->Close();
    EXPECT_EQ(Contents(path), QByteArray("xbc"));
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
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_EQ(Contents(freeName), QByteArray("A"));
}

TEST_F(TXFileTest, OnlyARegularFileOpensAndAPipeNeverWaits)
{
    const QString pipe = PathOf(QStringLiteral("pipe.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const struct
    {
        QString Path;
        int Error;
    } cases[] = {{m_dir.path(), EISDIR}, {pipe, EINVAL}};
    for (const auto& c : cases) {
        for (const bool write : {true, false}) {
            SCOPED_TRACE(c.Path.toStdString() + (write ? " rw" : " r"));
            auto file = FileOn(c.Path);
            file->SetWriteMode(write);
            EXPECT_FALSE(file->Open(true));
            EXPECT_EQ(file->LastError(), c.Error);
            EXPECT_FALSE(file->Opened());
            EXPECT_EQ(file->Size(), -1);
        }
    }
}

// Misuse answers false and changes nothing: operations on a closed file, then on an open one.
TEST_F(TXFileTest, MisuseAnswersFalseAndChangesNothing)
{
    const QString path = MakeFile(QStringLiteral("a.dat"), "content");
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "closed");
        auto file = FileOn(path);
        ASSERT_TRUE(!open || file->Open());
        if (open) {
            EXPECT_FALSE(file->Rename(PathOf(QStringLiteral("z"))));
            EXPECT_TRUE(file->Open()); // already open
            file->SetFileName(QStringLiteral("x"));
            file->SetShared(false);
            file->SetReadMode(false);
            file->SetWriteMode(false);
        } else {
            EXPECT_FALSE(file->Close());
            EXPECT_TRUE(file->Read(-1).isEmpty());
            EXPECT_FALSE(file->Write("x"));
            file->Truncate();
            file->SetRaiseExceptions(true);
            EXPECT_THROW(file->Read(1), XException);
        }
        EXPECT_EQ(file->Opened(), open);
        EXPECT_TRUE(file->FileName() == path && file->Shared() && file->ReadMode() &&
                    file->WriteMode());
        EXPECT_EQ(Contents(path), QByteArray("content"));
    }
}

TEST_F(TXFileTest, ExclusiveOpenLocksOutAnotherExclusiveOpener)
{
    const QString path = MakeFile(QStringLiteral("a.dat"), "held");
    auto holder = FileOn(path, false);
    ASSERT_TRUE(holder->Open());

    auto second = FileOn(path, false);
    EXPECT_FALSE(second->Open(false));
    EXPECT_EQ(second->LastError(), EWOULDBLOCK);
    // create must not fall back to recreating (and emptying) a file that is held
    EXPECT_FALSE(second->Open(true));
    EXPECT_FALSE(second->Opened());
    EXPECT_EQ(Contents(path), QByteArray("held"));

    // deny-none takes no lock, so a shared opener still gets in
    auto shared = FileOn(path, true);
    EXPECT_TRUE(shared->Open());
    EXPECT_EQ(shared->Read(-1), QByteArray("held"));

    holder.reset(); // destruction closes and releases the lock
    EXPECT_TRUE(second->Open());

    // A file created exclusively is locked from its creation.
    auto creator = FileOn(PathOf(QStringLiteral("novo.dat")), false);
    ASSERT_TRUE(creator->Open(true));
    EXPECT_FALSE(FileOn(creator->FileName(), false)->Open(true));
}

} // namespace
