#pragma once

#include <QString>
#include <optional>

class TAppConfig;
class TXConnection;

/** The kinds of code a station scans. */
enum class TCodeKind { Ncc, NcPlantio, Placa };

/** "Este código é um NC Plantio, leia o NCC.": found where expected was asked for. */
QString WrongKindText(TCodeKind found, TCodeKind expected);

/**
 * The number of a code that passes the check of its barcode type; none when it
 * fails, with the refusal's text in message when one is asked for.
 */
std::optional<qint64> NumberAs(const QString& code, const QString& typeName,
                               QString* message = nullptr);

/** The refusal of an NCC scanned a second time, into the NC Plantio field. */
extern const QString kNccReadTwiceText;

/**
 * What a refused code is instead of the expected kind, as far as the station
 * file tells: a registered plant (NCC), a planting code (used by a planting,
 * or valid and inside the configured range) or a registered plate. None when
 * it is none of the others. Runs only for refused codes.
 */
std::optional<TCodeKind> IdentifyOtherKind(TXConnection* connection, const TAppConfig& config,
                                           const QString& code, TCodeKind expected);

/** The line a refusal adds (CR LF first) when the code is of another kind; empty otherwise. */
QString WrongKindNote(TXConnection* connection, const TAppConfig& config, const QString& code,
                      TCodeKind expected);
