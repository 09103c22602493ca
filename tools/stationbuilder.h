#pragma once

#include "eancode.h"

#include <QList>
#include <QString>
#include <memory>

class TXConnection;

/** The work a station file serves (Configuracao.INFO_DB). */
enum class StationOperation { Plantio = 0, Coleta = 1 };

/** The settings of a new station file's Configuracao row. */
struct StationOptions
{
    StationOperation Operation = StationOperation::Plantio;
    double RelaInicial = 0; // 0: no lower limit
    double RelaFinal = 0;   // 0: no upper limit
    BarcodeType CbNcc = BarcodeType::Ean13;
    BarcodeType CbNcPlantio = BarcodeType::Ean13;
    QString DescricaoLote;
    QString AlertSound; // empty: none (null)
};

/** What a station file's Configuracao row says. */
struct StationConfig
{
    QString Maquina;
    StationOperation Operation = StationOperation::Plantio;
    double RelaInicial = 0;
    double RelaFinal = 0;
    BarcodeType CbNcc = BarcodeType::Ean13;
    BarcodeType CbNcPlantio = BarcodeType::Ean13;
    QString DescricaoLote;
};

/** The database password of every station file. */
inline const QString kStationPassword = QStringLiteral("7k4M9R5");

/** The connection string the client uses for the file. */
QString StationConnectionString(const QString& path);

/**
 * Opens an existing station file. Raises XException when it cannot be opened,
 * saying when it is another program's SQLite file or in use by another program.
 */
std::unique_ptr<TXConnection> OpenStation(const QString& path);

/**
 * Raises XException when the file or its folder (where the engine writes its
 * journal) cannot be written, before a command that writes starts.
 */
void RequireWritableStation(const QString& path);

/**
 * The Portuguese explanation of an engine error that is no fault of the data:
 * the file locked by another program, a read-only file or folder. Empty for
 * any other message.
 */
QString ExplainStationError(const QString& engineMessage);

/**
 * Creates a new station file: the nine tables, their keys and lookup indexes,
 * and the one Configuracao row (VERSION_MDB "01.000", MAQUINA empty). Refuses an
 * existing file; on any failure the partly written file is removed. Raises
 * XException with a Portuguese message.
 */
void CreateStation(const QString& path, const StationOptions& options);

/**
 * The alert sound of a new station: the running tool's shipped rejection sound
 * (ShippedAlertSound), or empty when that path is too long for ALERT_SOUND (a
 * tool run from a deep folder), which leaves the station silent until the lab
 * picks a sound on the configuration screen.
 */
QString NewStationAlertSound();

/** Reads the Configuracao row. Raises XException when there is none. */
StationConfig ReadStationConfig(TXConnection* connection);

/** The computer's name as the client binds a file to it: first label, 15 characters, upper case. */
QString StationComputerName();

/** Trimmed and upper-cased, as the login dialog passes what the operator types. */
QString LoginText(const QString& text);

/** Passwords up to this length always fit Usua.SENHA once scrambled; longer ones may not. */
inline constexpr int kSafePasswordLength = 7;
/** No password longer than this fits. */
inline constexpr int kMaxPasswordLength = 11;

/**
 * The password as Usua.SENHA stores it: scrambled with the user-password key,
 * short enough for the column (up to 7 characters always fit; 8 to 11 only
 * some). Raises XException when the password cannot fit or has a character
 * outside Windows-1252 (it would be stored as "?").
 */
QString ScramblePassword(const QString& plainUpperCase);

/**
 * Adds a user with ID_USER = highest + 1. Code and password are normalised with
 * LoginText. Raises XException for an empty code, name or password, a code that
 * is already taken, or values too long for the columns. Returns the new ID_USER.
 */
int AddUser(TXConnection* connection, const QString& codigo, const QString& nome,
            const QString& senha);

/** True exactly when the login dialog would accept the pair (code and password as typed). */
bool CheckUser(TXConnection* connection, const QString& codigo, const QString& senha);

/** Inserts a sub-batch. */
void InsertLote(TXConnection* connection, int idSlote, const QString& nome, int qteTratamento);

/** Inserts a plant (NCC without its check digit). */
void InsertPlanta(TXConnection* connection, qint64 ncc, qint64 nc, int rep);

/** One planting row; an empty Origem leaves ORIGEM_PLANTIO null (not transmitted). */
struct PlantioRow
{
    int IdSlote = 0;
    qint64 NcPlantio = 0;
    qint64 Ncc = 0;
    int IdUser = 0;
    QString DataPlantio;
    QString Origem;
};

void InsertPlantio(TXConnection* connection, const PlantioRow& row);

/** Label of the well at a 1-based row and column: "A1", "B1", ... */
QString WellName(int linha, int coluna);

/**
 * Inserts a plate and its empty wells, numbered down the columns (A1, B1, ...,
 * then A2, ...) in SEQ_COLETA order. The last controlWells wells in that order
 * are control wells (AMOSTRA "C"); the others take samples ("T").
 */
void InsertPlaca(TXConnection* connection, int idPlaca, int placa, const QString& codigo,
                 int linhas = 8, int colunas = 12, int controlWells = 2);

/**
 * Fills the well at a collection position as the collection screen does
 * (STATUS_POCO 1); a non-empty origem marks it transmitted. Raises XException
 * when no such well exists.
 */
void CollectWell(TXConnection* connection, int idPlaca, int seqColeta, qint64 ncPlantio, int idUser,
                 const QString& dataColeta, const QString& origem = QString());

/** Number of rows of a table (for checks and reports). */
int CountRows(TXConnection* connection, const QString& table);
