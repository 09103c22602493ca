#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

struct zip;

/** Read-only access to the members of a zip file (an .xlsx package). */
class TXZipArchive
{
public:
    TXZipArchive() = default;
    ~TXZipArchive();
    TXZipArchive(const TXZipArchive&) = delete;
    TXZipArchive& operator=(const TXZipArchive&) = delete;

    /** False when the file is missing or not a zip file; closes a previous archive first. */
    bool Open(const QString& path);
    void Close();
    bool IsOpen() const { return m_zip != nullptr; }

    /** Names of the members, in archive order; empty when closed. */
    QStringList Names() const;
    /** The whole member; nullopt when it does not exist or cannot be read. */
    std::optional<QByteArray> Entry(const QString& name) const;

private:
    zip* m_zip = nullptr;
};
