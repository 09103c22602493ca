#pragma once

#include <QString>

/** A client program's connection file and the database it names. */
struct ClientConnection
{
    QString File;
    QString DatabasePath;
    bool BesideProgram = true; // false: in the user's configuration folder
};

/**
 * Writes the connection file of the client program at programPath so that the
 * client opens databasePath at its next start, as the client itself writes it
 * (the previous file kept as ".bkp", the new one moved into place whole). The
 * database must be an existing station file; it is stored with its absolute
 * path. The program's folder must exist; the database must pass the client's
 * verification (stationverify.h) unless force is set. Neither path may end in
 * "/". Raises XException with a Portuguese message; returns what was written.
 */
ClientConnection SetClientConnection(const QString& programPath, const QString& databasePath,
                                     bool force = false);

/**
 * Reads the connection file of the client program at programPath. Raises
 * XException when there is none or it names no database.
 */
ClientConnection ReadClientConnection(const QString& programPath);
