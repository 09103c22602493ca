#include "pgcluster.h"

#include "pgconnection.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QUrlQuery>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kSuperuser = QStringLiteral("tressalin");
const QString kPort = QStringLiteral("5432"); // the socket lives in our own folder

QString FindBinaries()
{
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& version : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    throw std::runtime_error("PostgreSQL não encontrado em /usr/lib/postgresql/*/bin; instale-o"
                             " com scripts/setup.");
}

} // namespace

PgCluster& PgCluster::Instance()
{
    static PgCluster cluster;
    return cluster;
}

PgCluster::PgCluster() : m_bin(FindBinaries()), m_asNobody(::geteuid() == 0)
{
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/tressalin-pg.XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_folder = QString::fromLocal8Bit(pattern);
    // The server refuses to run as root; its folder belongs to the user that runs it.
    if (m_asNobody && ::chown(pattern.constData(), 65534, 65534) != 0)
        throw std::runtime_error("chown failed");
    RunTool(QStringLiteral("initdb"),
            {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-U"),
             kSuperuser, QStringLiteral("--auth=trust"), QStringLiteral("-E"),
             QStringLiteral("UTF8"), QStringLiteral("--no-sync")});
    Start();

    // The watchdog stops the server once the test process is gone: the pipe's write end
    // closes with it, whether it exits, crashes or is killed. It runs as a grandchild, so
    // ctest's kill of a timed-out test's process tree leaves it alive to do so; the
    // "done" pipe closes when its clean-up has finished.
    int fds[2];
    int done[2];
    if (::pipe2(fds, O_CLOEXEC) != 0 || ::pipe2(done, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const QString stop =
        QStringLiteral("%1 %2/pg_ctl stop -D %3/data -m immediate >/dev/null 2>&1; rm -rf %3")
            .arg(m_asNobody ? QStringLiteral("runuser -u nobody --") : QString(), m_bin, m_folder);
    const QByteArray command = stop.toLocal8Bit();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::fork() != 0)
            ::_exit(0);
        ::signal(SIGINT, SIG_IGN);
        ::setsid();
        ::close(fds[1]);
        ::close(done[0]);
        ::fcntl(done[1], F_SETFD, 0); // held by the clean-up until it ends
        char byte;
        while (::read(fds[0], &byte, 1) != 0) {
        }
        ::execl("/bin/sh", "sh", "-c", command.constData(), static_cast<char*>(nullptr));
        ::_exit(1);
    }
    ::waitpid(child, nullptr, 0);
    ::close(fds[0]);
    ::close(done[1]);
    m_watchdogPipe = fds[1];
    m_watchdogDone = done[0];
    std::atexit([] {
        PgCluster& cluster = Instance();
        ::close(cluster.m_watchdogPipe);
        char byte;
        while (::read(cluster.m_watchdogDone, &byte, 1) > 0) {
        }
    });
}

QString PgCluster::RunTool(const QString& tool, const QStringList& arguments) const
{
    QProcess process;
    QStringList all = arguments;
    if (m_asNobody) {
        all.prepend(m_bin + QLatin1Char('/') + tool);
        all =
            QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")} + all;
        process.start(QStringLiteral("runuser"), all);
    } else {
        process.start(m_bin + QLatin1Char('/') + tool, all);
    }
    process.setWorkingDirectory(m_folder);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        throw std::runtime_error((tool + QStringLiteral(" falhou: ") +
                                  QString::fromLocal8Bit(process.readAllStandardError() +
                                                         process.readAllStandardOutput()))
                                     .toStdString());
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void PgCluster::Start()
{
    RunTool(
        QStringLiteral("pg_ctl"),
        {QStringLiteral("start"), QStringLiteral("-w"), QStringLiteral("-D"),
         m_folder + QStringLiteral("/data"), QStringLiteral("-l"),
         m_folder + QStringLiteral("/log"), QStringLiteral("-o"),
         QStringLiteral("-c listen_addresses='' -c unix_socket_directories=%1 -p %2 -c fsync=off")
             .arg(m_folder, kPort)});
}

void PgCluster::Stop()
{
    RunTool(QStringLiteral("pg_ctl"),
            {QStringLiteral("stop"), QStringLiteral("-D"), m_folder + QStringLiteral("/data"),
             QStringLiteral("-m"), QStringLiteral("immediate")});
}

QString PgCluster::Url(const QString& database, const QString& role) const
{
    return QStringLiteral("postgresql:///%1?host=%2&port=%3&user=%4")
        .arg(database, m_folder, kPort, role);
}

QString PgCluster::NewDatabase()
{
    const QString name = QStringLiteral("t%1").arg(++m_databases);
    PgConnection(Url(QStringLiteral("postgres"), kSuperuser))
        .Exec(QStringLiteral("CREATE DATABASE %1").arg(name));
    return Url(name, kSuperuser);
}

QString PgCluster::DatabaseOf(const QString& url)
{
    return url.section(QLatin1Char('/'), 3).section(QLatin1Char('?'), 0, 0);
}
