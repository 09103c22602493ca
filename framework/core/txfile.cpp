#include "txfile.h"

#include "xexception.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kReadBlock = 8192;

QByteArray NativePath(const QString& name)
{
    return QFile::encodeName(name);
}

// Retries a system call interrupted by a signal; every other result stands.
template <typename Call> auto RetryOnInterrupt(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

int OpenNative(const QByteArray& path, int flags, mode_t mode = 0)
{
    return RetryOnInterrupt([&] { return ::open(path.constData(), flags | O_CLOEXEC, mode); });
}

qint64 SizeOf(int fd)
{
    struct stat info
    {
    };
    return ::fstat(fd, &info) == 0 ? qint64(info.st_size) : -1;
}

// Replaces nothing: fails with EEXIST when newPath is taken.
int RenameNoReplace(const QByteArray& oldPath, const QByteArray& newPath)
{
    if (::renameat2(AT_FDCWD, oldPath.constData(), AT_FDCWD, newPath.constData(),
                    RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without RENAME_NOREPLACE: link refuses an existing target too.
    if (::link(oldPath.constData(), newPath.constData()) != 0)
        return -1;
    if (::unlink(oldPath.constData()) != 0) {
        const int error = errno;
        ::unlink(newPath.constData());
        errno = error;
        return -1;
    }
    return 0;
}

} // namespace

TXFile::TXFile(QObject* parent) : TXComponent(parent) {}

TXFile::~TXFile()
{
    if (Opened())
        ::close(m_fd);
}

bool TXFile::MustBeClosed(const char* operation) const
{
    if (!Opened())
        return true;
    if (m_raiseExceptions)
        throw XException(QStringLiteral("Can't be opened (%1)").arg(QLatin1String(operation)));
    return false;
}

bool TXFile::MustBeOpened(const char* operation) const
{
    if (Opened())
        return true;
    if (m_raiseExceptions)
        throw XException(QStringLiteral("Must be opened (%1)").arg(QLatin1String(operation)));
    return false;
}

void TXFile::RecordResult(bool ok)
{
    m_lastError = ok ? 0 : errno;
}

void TXFile::SetFileName(const QString& value)
{
    if (MustBeClosed("FileName"))
        m_fileName = value;
}

void TXFile::SetReadMode(bool value)
{
    if (MustBeClosed("ReadMode"))
        m_readMode = value;
}

void TXFile::SetShared(bool value)
{
    if (MustBeClosed("Shared"))
        m_shared = value;
}

void TXFile::SetWriteMode(bool value)
{
    if (MustBeClosed("WriteMode"))
        m_writeMode = value;
}

int TXFile::OpenFlags() const
{
    if (!m_readMode)
        return O_WRONLY;
    return m_writeMode ? O_RDWR : O_RDONLY;
}

bool TXFile::KeepIfRegularFile()
{
    struct stat info
    {
    };
    int error = 0;
    if (::fstat(m_fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        error = EINVAL;
    else if (::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error == 0)
        return true;
    ::close(m_fd);
    m_fd = -1;
    errno = error;
    return false;
}

bool TXFile::LockIfExclusive()
{
    if (m_shared)
        return true;
    if (RetryOnInterrupt([&] { return ::flock(m_fd, LOCK_EX | LOCK_NB); }) == 0)
        return true;
    const int error = errno;
    ::close(m_fd);
    m_fd = -1;
    errno = error;
    return false;
}

bool TXFile::Open(bool create)
{
    if (Opened()) {
        MustBeClosed("Open");
        return true;
    }
    const QByteArray path = NativePath(m_fileName);
    // Non-blocking so that a named pipe cannot hold the open until a writer appears.
    m_fd = OpenNative(path, OpenFlags() | O_NONBLOCK);
    bool ok = m_fd >= 0 && KeepIfRegularFile() && LockIfExclusive();
    RecordResult(ok);
    // Only a missing file is created: truncating one we merely failed to lock
    // would wipe data another holder is using.
    if (!ok && create && m_lastError == ENOENT) {
        m_fd = OpenNative(path, O_RDWR | O_CREAT | O_EXCL, 0666);
        ok = m_fd >= 0 && LockIfExclusive();
        RecordResult(ok);
    }
    return ok;
}

bool TXFile::Close()
{
    if (!MustBeOpened("Close"))
        return false;
    // close() releases the handle even when it reports an error; do not retry it.
    const bool ok = ::close(m_fd) == 0;
    m_fd = -1;
    RecordResult(ok);
    return ok;
}

QByteArray TXFile::Read(qint64 count)
{
    if (!MustBeOpened("Read"))
        return {};
    if (count == -1)
        count = Size();
    QByteArray result;
    m_lastError = 0;
    qint64 done = 0;
    // Grow block by block: a huge count must not allocate more than the file holds.
    while (done < count) {
        const qint64 block = std::min(kReadBlock, count - done);
        result.resize(done + block);
        const ssize_t got =
            RetryOnInterrupt([&] { return ::read(m_fd, result.data() + done, size_t(block)); });
        if (got < 0)
            m_lastError = errno;
        if (got <= 0)
            break;
        done += got;
    }
    result.truncate(done);
    return result;
}

bool TXFile::Write(const QByteArray& bytes)
{
    if (!MustBeOpened("Write"))
        return false;
    m_lastError = 0;
    qint64 done = 0;
    // A regular file takes the block whole; the loop only covers short writes.
    while (done < bytes.size()) {
        const ssize_t put = RetryOnInterrupt(
            [&] { return ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done)); });
        if (put < 0) {
            m_lastError = errno;
            break;
        }
        done += put;
    }
    return done == bytes.size();
}

void TXFile::Truncate()
{
    if (!MustBeOpened("Truncate"))
        return;
    const off_t position = ::lseek(m_fd, 0, SEEK_CUR);
    RecordResult(position >= 0 &&
                 RetryOnInterrupt([&] { return ::ftruncate(m_fd, position); }) == 0);
}

bool TXFile::Delete()
{
    if (!MustBeClosed("Delete"))
        return false;
    const bool ok = ::unlink(NativePath(m_fileName).constData()) == 0;
    RecordResult(ok);
    return ok;
}

bool TXFile::Rename(const QString& newName)
{
    if (!MustBeClosed("Rename"))
        return false;
    const bool ok = RenameNoReplace(NativePath(m_fileName), NativePath(newName)) == 0;
    RecordResult(ok);
    if (ok)
        m_fileName = newName;
    return ok;
}

qint64 TXFile::Size() const
{
    if (Opened())
        return SizeOf(m_fd);
    const int fd = OpenNative(NativePath(m_fileName), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat info
    {
    };
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular ? qint64(info.st_size) : -1;
}
