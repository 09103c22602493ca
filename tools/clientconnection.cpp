#include "clientconnection.h"

#include "stationbuilder.h"

#include "connectionfile.h"
#include "data/txconnection.h"
#include "xexception.h"

#include <QFile>
#include <QFileInfo>

ClientConnection SetClientConnection(const QString& programPath, const QString& databasePath)
{
    const QString database = QFileInfo(databasePath).absoluteFilePath();
    // The client splits its connection string at ';' and could never open such a path.
    if (database.contains(QLatin1Char(';')))
        throw XException(QStringLiteral("O caminho do banco de dados não pode conter ';'."));
    // Pointing a client at a file it cannot open would only fail at its next start.
    OpenStation(database);

    ClientConnection connection;
    connection.File = ConnectionFilePathFor(QFileInfo(programPath).absoluteFilePath());
    connection.DatabasePath = database;
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
