#include "connectionfile.h"

#include "txfile.h"
#include "xpackbuffer.h"
#include "xscramble.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint32 kPayloadFormat = 1;

// The file name with its last extension replaced (or the extension appended).
QString ChangeFileExt(const QString& path, const QString& extension)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return (dot > slash + 1 ? path.left(dot) : path) + extension;
}

bool IsWritableFolder(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// Pushes a file's (or folder's) data to the disk; TXFile has no flush of its own.
void SyncToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool RenameOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

TFileReplacer& Replacer()
{
    static TFileReplacer replacer;
    return replacer;
}

// Creates (or empties) the file and writes all of bytes into it.
bool WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    TXFile file;
    file.SetFileName(path);
    file.SetReadMode(false);
    if (!file.Open(true))
        return false;
    file.Truncate();
    const bool written = file.Write(bytes);
    return file.Close() && written;
}

bool CopyToBackup(const QString& connectionFile)
{
    TXFile current;
    current.SetFileName(connectionFile);
    current.SetWriteMode(false);
    if (!current.Open(false))
        return !QFile::exists(connectionFile); // nothing to keep yet
    const QByteArray previous = current.Read(-1);
    const bool complete = previous.size() == current.Size();
    current.Close();
    return complete && WriteWholeFile(BackupFilePathFor(connectionFile), previous);
}

} // namespace

QString ConnectionFilePathFor(const QString& programPath)
{
    const QFileInfo program(programPath);
    if (IsWritableFolder(program.absolutePath()))
        return ChangeFileExt(program.absoluteFilePath(), QStringLiteral(".dat"));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/tressalin/") +
           ChangeFileExt(program.fileName(), QStringLiteral(".dat"));
}

QString BackupFilePathFor(const QString& connectionFile)
{
    return ChangeFileExt(connectionFile, QStringLiteral(".bkp"));
}

QByteArray BuildConnectionFile(const QString& databasePath)
{
    TPackBuffer buffer;
    PackInitWrite(buffer);
    PackPutInt32(buffer, kPayloadFormat);
    PackPutString(buffer, QFile::encodeName(databasePath));
    PackFinish(buffer);
    return ScrambleText(buffer.Data, kConnectionFileKey);
}

std::optional<QString> ReadConnectionPayload(const QByteArray& fileContent)
{
    const QByteArray payload = UnscrambleText(fileContent, kConnectionFileKey);
    if (payload.size() < 4)
        return std::nullopt;
    TPackBuffer buffer;
    PackInitRead(buffer, payload);
    const qint32 marker = PackGetInt32(buffer);
    if (marker != 1 && marker != 2)
        return std::nullopt;
    return QFile::decodeName(PackGetString(buffer));
}

bool WriteConnectionFile(const QString& connectionFile, const QByteArray& content)
{
    const QString folder = QFileInfo(connectionFile).absolutePath();
    if (!QDir().mkpath(folder) || !CopyToBackup(connectionFile))
        return false;
    const QString temporary = connectionFile + QStringLiteral(".tmp");
    QFile::remove(temporary);
    if (!WriteWholeFile(temporary, content)) {
        QFile::remove(temporary);
        return false;
    }
    SyncToDisk(temporary);
    const bool replaced =
        Replacer() ? Replacer()(temporary, connectionFile) : RenameOver(temporary, connectionFile);
    if (!replaced) {
        QFile::remove(temporary);
        return false;
    }
    SyncToDisk(folder);
    return true;
}

void SetConnectionFileReplacer(TFileReplacer replacer)
{
    Replacer() = std::move(replacer);
}
