#pragma once

#include "txcomponent.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

/**
 * Whole-file byte input and output on one named file.
 *
 * Operations that need the file open (Close, Read, Write, Truncate) or closed
 * (Open, Delete, Rename, the FileName/ReadMode/Shared/WriteMode setters) are
 * misuse in the other state: with RaiseExceptions false they do nothing and
 * answer false (an empty array for Read, the old value for a setter); with
 * RaiseExceptions true they throw XException "Must be opened (<op>)" or
 * "Can't be opened (<op>)". Input/output errors never throw: they show in the
 * results and in LastError (errno of the last operation, 0 for success).
 *
 * Not Shared means an advisory exclusive flock held while open, so a second
 * exclusive opener fails; Shared opens take no lock.
 */
class TXFile : public TXComponent
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(bool RaiseExceptions READ RaiseExceptions WRITE SetRaiseExceptions)
    Q_PROPERTY(bool ReadMode READ ReadMode WRITE SetReadMode)
    Q_PROPERTY(bool Shared READ Shared WRITE SetShared)
    Q_PROPERTY(bool WriteMode READ WriteMode WRITE SetWriteMode)

public:
    explicit TXFile(QObject* parent = nullptr);
    /** Closes the file if it is open. */
    ~TXFile() override;

    TXFile(const TXFile&) = delete;
    TXFile& operator=(const TXFile&) = delete;

    const QString& FileName() const noexcept { return m_fileName; }
    void SetFileName(const QString& value);
    bool RaiseExceptions() const noexcept { return m_raiseExceptions; }
    void SetRaiseExceptions(bool value) noexcept { m_raiseExceptions = value; }
    bool ReadMode() const noexcept { return m_readMode; }
    void SetReadMode(bool value);
    bool Shared() const noexcept { return m_shared; }
    void SetShared(bool value);
    bool WriteMode() const noexcept { return m_writeMode; }
    void SetWriteMode(bool value);

    bool Opened() const noexcept { return m_fd >= 0; }
    std::int32_t LastError() const noexcept { return m_lastError; }

    /**
     * Opens FileName with the chosen access and sharing. When it does not exist
     * and create is true, creates it empty (read-write). An already open file
     * answers true (or throws "Can't be opened (Open)" with RaiseExceptions).
     * An existing file is never truncated, even when another holder's lock
     * makes the open fail. Only a regular file opens: a folder fails with
     * LastError EISDIR, a named pipe or device with EINVAL (a pipe opened
     * write-only with no reader: ENXIO, from the system), without waiting.
     */
    bool Open(bool create = false);
    /** True when the handle was closed without error. */
    bool Close();
    /**
     * Reads up to count bytes from the current position (-1: Size() bytes). The
     * result is shorter at the end of the file or on an error (see LastError).
     */
    QByteArray Read(qint64 count = -1);
    /** True when every byte was written; empty bytes answer true without writing. */
    bool Write(const QByteArray& bytes);
    /** Cuts the file at the current position. */
    void Truncate();
    /** Deletes FileName; true on success. */
    bool Delete();
    /**
     * Renames the file to newName, never replacing an existing file. On success
     * FileName becomes newName; on failure it is unchanged.
     */
    bool Rename(const QString& newName);
    /**
     * The file size in bytes: of the open file, or, when closed, of FileName if it
     * is a regular file that can be opened for reading. -1 otherwise.
     */
    qint64 Size() const;

private:
    bool MustBeClosed(const char* operation) const;
    bool MustBeOpened(const char* operation) const;
    int OpenFlags() const;
    bool KeepIfRegularFile();
    bool LockIfExclusive();
    void RecordResult(bool ok);

    QString m_fileName;
    bool m_raiseExceptions = false;
    bool m_readMode = true;
    bool m_shared = true;
    bool m_writeMode = true;
    std::int32_t m_lastError = 0;
    int m_fd = -1;
};
