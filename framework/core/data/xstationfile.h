#pragma once

#include <QString>

struct sqlite3;

// The station database file: a SQLite file marked with a fixed application id
// and carrying a salted verifier of its database password in an internal table.

/** PRAGMA application_id of every station file ("TRSS"). */
inline constexpr int kStationApplicationId = 0x54525353;

/** The internal table holding the password verifier; the tables rowset calls it a system table. */
inline constexpr char kStationVerifierTable[] = "MSysStationKey";

/**
 * Creates a NEW, empty station file (marker and password verifier, no user
 * tables) at the path. Raises XException ("EFCreateError") when the path
 * already exists or cannot be created, and removes a half-made file on failure.
 * For the provisioning tool and test fixtures; the client never creates files.
 */
void CreateStationFile(const QString& path, const QString& password);

/**
 * Raises a provider error (XException "EOleException") unless the open handle
 * is a station file whose verifier matches the password; a null password
 * (no password item in the connection string) never matches.
 */
void CheckStationFile(sqlite3* db, const QString& path, const QString& password);

/**
 * The declaration of a text column as station files declare them, so text
 * compares and sorts without regard to case and an over-long value is refused:
 * "name TEXT(size) [NOT NULL] COLLATE NOCASE CHECK(length(name) <= size)".
 */
QString TextColumnDecl(const QString& name, int size, bool notNull);
