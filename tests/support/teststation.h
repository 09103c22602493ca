#pragma once

#include "data/txconnection.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

/**
 * A station file in a temporary folder, made the way the provisioning tool
 * makes one (CreateStationFile, then DDL), with an open connection on it.
 * The folder and everything in it disappear with the object.
 */
class TestStation
{
public:
    static inline const QString kPassword = QStringLiteral("7k4M9R5");

    explicit TestStation(const QString& fileName = QStringLiteral("station.db"));
    ~TestStation();

    QString Path() const { return m_path; }
    QString Folder() const { return m_dir.path(); }
    /** The client's connection string for this file and a password. */
    QString ConnectionString(const QString& password = kPassword) const;
    /** The open connection (timeout 5 s). */
    TXConnection& Conn() { return *m_conn; }
    /** Runs one statement on Conn. */
    int Exec(const QString& sql);
    /** A new connection on the file, opened, with the given busy timeout. */
    std::unique_ptr<TXConnection> OpenAnother(int timeoutSeconds = 5) const;

    /** Creates Lote, Planta, Plantio and Usua as the application schema declares them. */
    void CreatePlantingTables();

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<TXConnection> m_conn;
};
