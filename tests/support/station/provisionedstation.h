#pragma once

#include "stationbuilder.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

class TXConnection;

/**
 * A station file in a temporary folder, made by the provisioning code the
 * station tool uses, with a program path beside it for the connection file.
 */
class ProvisionedStation
{
public:
    explicit ProvisionedStation(StationOperation operation = StationOperation::Plantio,
                                const QString& descricaoLote = QStringLiteral("LOTE A"));

    QString Dir() const { return m_dir.path(); }
    QString DbPath() const { return m_dir.filePath(QStringLiteral("estacao.db")); }
    /** A program file name in the folder; its ".dat" is the connection file. */
    QString ProgramPath() const { return m_dir.filePath(QStringLiteral("tressalin")); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

    /** A second connection on the file, for setting up rows and checking results. */
    std::unique_ptr<TXConnection> Open() const;
    /** Runs one statement on a fresh connection. */
    void Exec(const QString& sql) const;
    /** The first column of the first row of a query, as text ("" when no row). */
    QString Scalar(const QString& sql) const;
    /** Writes the connection file of ProgramPath() naming DbPath(). */
    void WriteConnectionFile() const;

private:
    QTemporaryDir m_dir;
};
