#pragma once

#include <QString>
#include <memory>

class TXConnection;

/**
 * A new station file holding only the Configuracao table, declared as the
 * provisioning declares it, with one row (ID 1, MAQUINA and ALERT_SOUND null,
 * VERSION_MDB "01.000", every number 0, DESCRICAO_LOTE empty). Returns the path.
 * Tests that need the whole schema use the tool's CreateStation.
 */
QString MakeStation(const QString& path);

/** An open connection to a station file. */
std::unique_ptr<TXConnection> OpenStationFile(const QString& path);

/** Runs one statement; raises the provider's error. */
void ExecuteSql(TXConnection* connection, const QString& sql);
