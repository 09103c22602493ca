#pragma once

#include <QString>
#include <memory>

class TXConnection;

/** The password of every station file the client opens. */
inline const QString kFixturePassword = QStringLiteral("7k4M9R5");

/** A new station file without user tables; returns the path. */
QString MakeEmptyStation(const QString& path, const QString& password = kFixturePassword);

/**
 * A new station file with the nine application tables declared with Jet type
 * names and one Configuracao row (ID 1, MAQUINA and ALERT_SOUND null, the given
 * VERSION_MDB, every number 0, DESCRICAO_LOTE empty). Returns the path.
 */
QString MakeStation(const QString& path, const QString& password = kFixturePassword,
                    const QString& version = QStringLiteral("01.000"));

/** An open connection to a station file. */
std::unique_ptr<TXConnection> OpenStationFile(const QString& path,
                                              const QString& password = kFixturePassword);

/** Runs one statement; raises the provider's error. */
void ExecuteSql(TXConnection* connection, const QString& sql);
