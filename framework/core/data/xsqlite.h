#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;
class TXParameters;

// Helpers the data-access layer's classes share around the SQLite C API.

/**
 * Turns off SQLite's reading of an unknown double-quoted name as a text, so a
 * misspelt name fails instead of matching nothing. Call on every handle.
 */
void DisableQuotedStringFallback(sqlite3* db);

/** Raises XException with the provider error class name and the message. */
[[noreturn]] void RaiseProviderError(const QString& message);

/** Raises a provider error carrying the engine's last message on the handle. */
[[noreturn]] void RaiseEngineError(sqlite3* db);

/** True for the engine's message of a lock another connection held past the wait. */
bool IsLockedMessage(const QString& message);

/**
 * Binds every ":name" of the statement from the parameter of that name
 * (letter case ignored): strings as text, integers as 64-bit integers, floats
 * as doubles, a null value (or a name without parameter) as NULL.
 */
void BindParameters(sqlite3_stmt* statement, TXParameters& parameters);

/** Runs the statement to its end; raises the engine's error on failure. */
void StepToEnd(sqlite3_stmt* statement);
