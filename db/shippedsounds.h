#pragma once

#include <QString>

// The three sounds of a scan's outcome, shipped with the client. The accepted and
// completion sounds are looked for in the folder of the configured alert sound, so
// a lab silences them by choosing an alert sound in a folder without them.

/** The alert of a rejected scan: what a new station's alert sound names. */
inline const QString kRejectionSoundName = QStringLiteral("rejeicao.wav");
/** A stored scan. */
inline const QString kAcceptedSoundName = QStringLiteral("aceito.wav");
/** A plate full or a sub-batch complete. */
inline const QString kCompleteSoundName = QStringLiteral("completo.wav");

/**
 * The folder of the shipped sounds for a program in programDir:
 * programDir/../share/tressalin/sons as a clean absolute path (/usr/bin gives
 * /usr/share/tressalin/sons; the build copies them to build/share likewise).
 * Whether the folder exists is not checked.
 */
QString SoundsFolderFor(const QString& programDir);

/**
 * The shipped rejection sound of the running program (which needs a
 * QCoreApplication), whether it is installed or not: a station file made
 * on a server without the client still names where the client puts it.
 */
QString ShippedAlertSound();
