#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

/**
 * Where the connection file of a program lives: the program's path with its
 * extension replaced by ".dat" when the program's folder is writable (a build
 * tree, a portable copy); otherwise $XDG_CONFIG_HOME/tressalin/ (default
 * ~/.config/tressalin/) + the program's file name with ".dat".
 */
QString ConnectionFilePathFor(const QString& programPath);

/** The previous version of a connection file: the same name with ".bkp". */
QString BackupFilePathFor(const QString& connectionFile);

/** The content of a connection file naming databasePath: a scrambled pack buffer. */
QByteArray BuildConnectionFile(const QString& databasePath);

/**
 * The database path stored in a connection file's content. Empty optional when
 * the payload is shorter than its format marker or the marker is neither 1 nor
 * 2. Raises XException "GetS error - bigger than pack" when the stored length
 * exceeds the bytes present. Never reads outside the given bytes.
 */
std::optional<QString> ReadConnectionPayload(const QByteArray& fileContent);

/**
 * Replaces connectionFile with content so that a crash at any moment leaves a
 * readable file: the current file is copied byte for byte to the ".bkp", the
 * content goes to a temporary file that is flushed and renamed over the
 * connection file. False, without a message, when any step fails; the
 * connection file is then as it was.
 */
bool WriteConnectionFile(const QString& connectionFile, const QByteArray& content);

/** Moves from over to, replacing it; true on success. */
using TFileReplacer = std::function<bool(const QString& from, const QString& to)>;

/** Replaces the final rename (tests); an empty function restores rename(2). */
void SetConnectionFileReplacer(TFileReplacer replacer);
