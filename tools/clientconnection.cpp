#include "clientconnection.h"

#include "stationbuilder.h"
#include "stationverify.h"

#include "connectionfile.h"
#include "data/txconnection.h"
#include "xexception.h"

#include <QFile>
#include <QFileInfo>

ClientConnection SetClientConnection(const QString& programPath, const QString& databasePath,
                                     bool force)
{
    // A folder given for either file would name a file nobody meant.
    if (programPath.endsWith(QLatin1Char('/')))
        throw XException(QStringLiteral("Informe o arquivo do programa da estação, não uma pasta:"
                                        " \"%1\" termina em \"/\".")
                             .arg(programPath));
    if (databasePath.endsWith(QLatin1Char('/')))
        throw XException(QStringLiteral("Informe o arquivo do banco de dados, não uma pasta:"
                                        " \"%1\" termina em \"/\".")
                             .arg(databasePath));
    const QFileInfo program(programPath);
    if (!QFileInfo(program.absolutePath()).isDir())
        throw XException(
            QStringLiteral("A pasta do programa %1 não existe.").arg(program.absolutePath()));
    const QString database = QFileInfo(databasePath).absoluteFilePath();
    // The client splits its connection string at ';' and could never open such a path.
    if (database.contains(QLatin1Char(';')))
        throw XException(QStringLiteral("O caminho do banco de dados não pode conter ';'."));
    // Pointing a client at a file it cannot open would only fail at its next start.
    OpenStation(database);
    if (!force) {
        const StationVerification verification = VerifyStation(database);
        if (!verification.Passed) {
            throw XException(
                QStringLiteral("O banco de dados %1 não passa na verificação da estação:\n%2\n"
                               "Use --forcar para gravar a conexão assim mesmo.")
                    .arg(database, verification.Messages.join(QLatin1Char('\n'))
                                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                       .trimmed()));
        }
    }

    ClientConnection connection;
    connection.File = ConnectionFilePathFor(program.absoluteFilePath());
    connection.DatabasePath = database;
    connection.BesideProgram = QFileInfo(connection.File).absolutePath() == program.absolutePath();
    if (!WriteConnectionFile(connection.File, BuildConnectionFile(database))) {
        throw XException(QStringLiteral("Não foi possível gravar o arquivo de conexão %1.")
                             .arg(connection.File));
    }
    return connection;
}

ClientConnection ReadClientConnection(const QString& programPath)
{
    ClientConnection connection;
    connection.File = ConnectionFilePathFor(QFileInfo(programPath).absoluteFilePath());
    QFile file(connection.File);
    if (!file.open(QIODevice::ReadOnly)) {
        throw XException(
            QStringLiteral("Arquivo de conexão %1 não encontrado.").arg(connection.File));
    }
    std::optional<QString> path;
    try {
        path = ReadConnectionPayload(file.readAll());
    } catch (const XException& error) {
        throw XException(QStringLiteral("O arquivo de conexão %1 está danificado: %2")
                             .arg(connection.File, error.Message()));
    }
    if (!path || path->isEmpty()) {
        throw XException(QStringLiteral("O arquivo de conexão %1 não indica um banco de dados.")
                             .arg(connection.File));
    }
    connection.DatabasePath = *path;
    return connection;
}
