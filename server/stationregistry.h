#pragma once

#include <QList>
#include <QString>
#include <optional>

class PgConnection;

/** A registered station: what it works on and the computer it runs on. */
struct RegisteredStation
{
    int Id = 0;
    QString Nome;
    int Operacao = 0; // as Configuracao.INFO_DB: 0 planting, 1 collection
    QString Lote;
    QString Maquina; // empty until set or learnt from the first transmission
    QString Papel;
    qint64 RelaInicial = 0;
    qint64 RelaFinal = 0;
    int CbNcc = 1;
    int CbNcPlantio = 1;
};

/** The PostgreSQL role of a station name: "tressalin_" + the name in lower case. */
QString StationRoleName(const QString& nome);

/**
 * Registers a station and creates its login role (a member of the stations'
 * group; an existing role of that name is reused). Names are letters, digits
 * and "_" up to 40 characters. Raises XException in Portuguese for a bad or
 * taken name or computer. Returns the station as stored.
 */
RegisteredStation AddStation(PgConnection& connection, RegisteredStation station);

/** The station of that name or id; empty when there is none. */
std::optional<RegisteredStation> FindStation(PgConnection& connection, const QString& nome);
std::optional<RegisteredStation> FindStationById(PgConnection& connection, int id);

/** One line of the status listing. */
struct StationStatus
{
    QString Nome;
    int Operacao = 0;
    QString Lote;
    QString Maquina;
    QString UltimaTransmissao; // "yyyy-mm-dd hh:mm:ss", empty when never
    qint64 Recebidos = 0;
    qint64 Recusados = 0;        // distinct rows ever refused, each counted once
    qint64 ConflitosAbertos = 0; // of those, still not accepted nor marked resolved
    // The last transmission's own figures.
    qint64 Enviados = 0;
    qint64 Aceitos = 0;
    qint64 JaPresentes = 0;
    qint64 RecusadosUltima = 0;
};

QList<StationStatus> ReadStationStatus(PgConnection& connection);

/** One open conflict, for the data manager. */
struct OpenConflict
{
    qint64 Id = 0;
    QString Estacao;
    QString Tabela;
    QString ValoresEstacao;
    QString ValoresServidor;
    QString Motivo;
};

QList<OpenConflict> ReadOpenConflicts(PgConnection& connection);

/** Marks conflicts resolved by id; returns how many were open. */
int ResolveConflicts(PgConnection& connection, const QList<qint64>& ids);
