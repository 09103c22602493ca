#pragma once

#include <QString>
#include <QStringList>

/** What the client's verification says about a station file. */
struct StationVerification
{
    bool Passed = false;
    QStringList Messages; // the boxes the client would show, in order
    QString Maquina;      // the computer the file is bound to; empty while unbound
    QString Computer;     // this computer, as the client compares it
};

/**
 * Runs the client's verification of a station file — schema version,
 * structure of every table, binding to this computer — without binding it: a
 * file with an empty MAQUINA passes and stays unbound. When those pass, every
 * row of the importable tables is held to the import's rules (stationrules.h)
 * and each row import would refuse is reported. Nothing is written.
 * A file that cannot be opened fails with the provider's message.
 */
StationVerification VerifyStation(const QString& path);
