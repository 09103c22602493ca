#include "xsafefile.h"

#include "txfile.h"
#include "xexception.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Creates an empty, not yet used file next to the target; the umask decides its mode.
QString CreateTemporaryBeside(const QFileInfo& target, const QString& errorClass)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(),
                                                           8, 16, QLatin1Char('0'));
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            throw XException(QStringLiteral("Não foi possível gravar em ") + target.absolutePath() +
                                 QStringLiteral(": ") + ErrnoText(errno),
                             errorClass);
    }
    throw XException(QStringLiteral("Não foi possível criar um arquivo temporário em ") +
                         target.absolutePath(),
                     errorClass);
}

// Flushes a file (or folder) to the disk so that a rename never publishes a half-written file.
void Sync(const QString& path, int flags, const QString& errorClass)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        throw XException(QStringLiteral("Erro ao gravar ") + path + QStringLiteral(": ") +
                             ErrnoText(error),
                         errorClass);
    }
    ::close(fd);
}

} // namespace

void WriteFileSafely(const QString& path, bool replace, const QString& errorClass,
                     const std::function<void(const QString& temporary)>& write)
{
    const QFileInfo info(path);
    const auto failed = [&](int error) {
        if (error == EEXIST)
            return XException(QStringLiteral("O arquivo ") + path + QStringLiteral(" já existe."),
                              errorClass);
        return XException(QStringLiteral("Não foi possível gravar ") + path + QStringLiteral(": ") +
                              ErrnoText(error),
                          errorClass);
    };
    struct Remove
    {
        QString Path;
        ~Remove()
        {
            if (!Path.isEmpty())
                ::unlink(QFile::encodeName(Path).constData());
        }
    } temporary{CreateTemporaryBeside(info, errorClass)};
    write(temporary.Path);
    Sync(temporary.Path, O_RDONLY, errorClass);
    if (!replace) {
        // The name may have been taken since it was chosen: never replace it.
        TXFile file;
        file.SetFileName(temporary.Path);
        if (!file.Rename(path))
            throw failed(file.LastError());
    } else if (std::rename(QFile::encodeName(temporary.Path).constData(),
                           QFile::encodeName(path).constData()) != 0) {
        throw failed(errno);
    }
    temporary.Path.clear();
    Sync(info.absolutePath(), O_RDONLY | O_DIRECTORY, errorClass);
}
