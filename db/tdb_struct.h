#pragma once

#include "data/txconnection.h"
#include "tstructlist.h"
#include "ttab_struct.h"
#include "xobject.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

/** Tag of a connection that holds an Access 2007 file: it gets the ACE 12.0 provider. */
inline constexpr int kAce2007Tag = 2007;

/**
 * The connection string a structure opens its file with: provider by tag
 * (2007 ACE 12.0, otherwise Jet 4.0), the path as given, "Persist Security
 * Info=False;", then "Jet OLEDB:DataBase Password=" + password when set, then
 * ";" + extra options when set.
 */
QString StructConnectionString(int tag, const QString& databaseFile, const QString& password,
                               const QString& extraOptions);

/** The text of a message list: each line followed by CR LF. */
QString StringListText(const QStringList& lines);

/**
 * A database structure: declared by the application schema or read from an
 * open connection, then compared. It only describes; it never changes a database.
 * Checks show an error box and carry on; errors of the data-access layer while
 * reading pass through.
 */
class TDB_Struct : public TXObject
{
public:
    TDB_Struct() = default;
    /** Closes Connection when it is set and open: call ClearConnection first for a lent one. */
    ~TDB_Struct() override;

    TStructList<TTab_Struct> Tables;
    QPointer<TXConnection> Connection; // never owned
    QString DatabaseFile;              // only for SetConnected(true)
    QString Password;
    QString ExtraOptions;

    /** False with an error box for an empty name or a missing table; else the list owns it. */
    bool AddTable(const QString& name, std::unique_ptr<TTab_Struct> table);

    /** Null shows "ADOConn inválido" and changes nothing. */
    void SetConnection(TXConnection* connection);
    /** Forgets the connection without touching it. */
    void ClearConnection();
    bool IsConnected() const;
    /**
     * Opens Connection on DatabaseFile (with Password and ExtraOptions) or closes
     * it. Every failure shows an error box and leaves the connection closed;
     * nothing is raised.
     */
    void SetConnected(bool open);

    /**
     * Replaces Tables with the user tables of the open database (connecting
     * first when needed); names not starting with a letter A-Z are skipped.
     * False, with Tables untouched, when no connection can be opened.
     */
    bool LoadFromDatabase();
    /** A new structure of the named table as the database describes it. */
    std::unique_ptr<TTab_Struct> LoadTable(const QString& name) const;

    /**
     * Called on the expected structure. Replaces messages with one entry per
     * expected table that is missing ("Tabela X não encontrado.") or whose fields
     * differ ("Tabela: X" + CR LF + the field lines). True when there are none.
     */
    bool CompareTo(const TDB_Struct& actual, QStringList& messages) const;
};
