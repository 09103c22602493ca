#pragma once

#include "appschema.h"
#include "data/txquery.h"
#include "stationbuilder.h"

#include <QFile>
#include <QString>

/** A new station file as the provisioning tool makes it; returns the path. */
inline QString NewStation(const QString& path)
{
    CreateStation(path, StationOptions{});
    return path;
}

/** Runs one statement; raises the provider's error. */
inline void Exec(TXConnection* connection, const QString& sql)
{
    auto command = NewCommand(connection);
    command->SetCommandText(sql);
    command->Execute();
}

inline void Exec(TXConnection* connection, const char* sql)
{
    Exec(connection, QString::fromUtf8(sql));
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

/** The computer name the binding sees, for the object's lifetime. */
struct ComputerName
{
    explicit ComputerName(const QString& name)
    {
        SetComputerNameSource([name] { return name; });
    }
    ~ComputerName() { SetComputerNameSource({}); }
};
