#pragma once

#include <QObject>
#include <QString>

class TXConnection;

/** The database password of every station file this program opens. */
inline const QString kDatabasePassword = QStringLiteral("7k4M9R5");

/**
 * The data module: the one connection every screen uses (Conn) and a probe
 * connection (Conn_Check) that only tests whether the file still opens. The
 * database path lives only in Conn's connection string; the last accepted one
 * is remembered in the connection file (see connectionfile.h).
 */
class TDM : public QObject
{
    Q_OBJECT
public:
    explicit TDM(QObject* parent = nullptr);
    ~TDM() override;

    TXConnection* const Conn;       // timeout 5 s
    TXConnection* const Conn_Check; // default timeout

    /** The program whose connection file is used; the running executable by default. */
    QString ProgramPath() const { return m_programPath; }
    void SetProgramPath(const QString& path) { m_programPath = path; }
    /** Path of the connection file for ProgramPath(). */
    QString ConnectionFile() const;

    /** Conn's connection string with the file when it exists, else without one. Opens nothing. */
    void SetDatabase(const QString& path);
    void ResetConnectionString();
    /** SetDatabase for an existing file; otherwise the box "Nome do Banco de Dados inválido.". */
    void UseDatabaseFile(const QString& path);

    /** The trimmed text after "Data Source=" of a connection string; empty when there is none. */
    static QString ExtractDataSource(const QString& connectionString);
    QString DatabasePath() const;
    /** True when Conn's connection string names ("Data Source=", exact) an existing file. */
    bool DataSourceExists() const;
    int ActiveDataSetCount() const;

    /**
     * True when Conn is open and its file opens once more through Conn_Check
     * (opened and closed on every call, never waiting for a lock: a file locked
     * by another connection is there). A failing probe shows an error box,
     * closes Conn, emits ConnectionLost and answers false, so the box is shown
     * once and the state shown is the state held.
     */
    bool IsConnected();
    /**
     * Connects (reading the connection file when no path is set) or
     * disconnects (asking first when datasets are open). True on success or
     * when already in that state; every failure has shown its box.
     */
    bool SetConnected(bool value);

    /**
     * Connects, then runs VerifyDatabase; a failed verification, or an error
     * raised inside it (shown in a box), closes Conn again. When verified and
     * remember is true, the path is saved to the connection file, which is
     * otherwise left as it was. True when connected and verified.
     */
    bool ConnectVerified(bool remember);

    /**
     * Takes the database path from the connection file. A missing file, or one
     * without a valid payload, changes nothing silently. A damaged one (a stored
     * length beyond the content) changes nothing either and answers false, after
     * a box naming the file when reportDamage is true.
     */
    bool LoadConnectionFile(bool reportDamage = true);
    /** Remembers DatabasePath() in the connection file (previous one kept as ".bkp").
        False, without a message, when it could not be written. */
    bool SaveConnectionFile();

    /** DatabasePath(), or else the path last asked for that did not exist (to show it). */
    QString TriedDatabasePath() const;

signals:
    /** Conn was closed because its file no longer opens. */
    void ConnectionLost();
    /** Conn is about to close at the user's request; the screens on it close first. */
    void Disconnecting();

private:
    QString m_programPath;
    QString m_triedPath;
};

/**
 * The box text of a failed open of databasePath: the file-in-use text for a
 * lock held past the wait, the incompatible-file text for another provider
 * error (class name "EOleException", any letter case), the general
 * connect-error text for any other.
 */
QString ConnectFailureText(const QString& databasePath, const QString& className,
                           const QString& message);

/**
 * Why the client could not write to databasePath (the file, or its folder,
 * where the engine keeps its journal, is read-only), as the box text; empty
 * when it can.
 */
QString WriteAccessProblem(const QString& databasePath);

/** The application's data module, set by whoever creates it; null before. */
extern TDM* DM;
