#pragma once

#include "txfield.h"
#include "txparameters.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class TXConnection;

/**
 * A query with a static cursor: Open runs the Jet-dialect SQL text with its
 * typed parameters and reads the whole result, so RecordCount is exact and
 * Requery runs it again. While open it counts in its connection's
 * DataSetCount. Engine errors raise XException with the class name
 * "EOleException".
 */
class TXQuery : public QObject
{
    Q_OBJECT
public:
    explicit TXQuery(TXConnection* connection = nullptr, QObject* parent = nullptr);
    ~TXQuery() override;

    TXConnection* Connection() const;
    /** Closes the query first when it is open. */
    void SetConnection(TXConnection* connection);

    QString SQL() const;
    /** Closes the query and re-reads the parameter names. */
    void SetSQL(const QString& sql);
    TXParameters& Parameters();
    TXParameter& ParamByName(const QString& name);

    void Open();
    void Close();
    /** Close + Open, keeping the parameters. */
    void Requery();
    bool Active() const;

    /** Rows visible through the filter; 0 when closed. */
    int RecordCount() const;
    /** 1-based number of the current row; 0 when there is none. */
    int RecNo() const;
    /** Moves to a row (1-based), clamped to the rows that exist. */
    void SetRecNo(int recNo);
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const;
    bool Bof() const;

    int FieldCount() const;
    QStringList FieldNames() const;
    /** Field of the current row; lookup ignores letter case. Raises XException when missing. */
    TXField FieldByName(const QString& name) const;
    /** -1 when there is no such column. */
    int FieldIndex(const QString& name) const;
    TXField Fields(int column) const;

    /**
     * Inserts the rows of another open query with the same field names before
     * row position (0-based, clamped), as if this query's result held them
     * there, without running its statement again: a grid shows a row just
     * written without re-reading all the others. The current row becomes the
     * first inserted one. Answers the number inserted. Raises XException,
     * changing nothing, unless CanInsertRows.
     */
    int InsertRows(int position, const TXQuery& source);
    /** Both open, neither filtered (the rows' place among the visible ones is undefined), the
     * same field names, source not this query. */
    bool CanInsertRows(const TXQuery& source) const;

    /** Random access for grid models: row and column 0-based, rows through the filter. */
    QVariant Value(int row, int column) const;
    QString DisplayText(int row, int column) const;

    /**
     * A filter such as "(TABLE_TYPE = 'TABLE')": comparisons of a column with a
     * quoted text or a number, "column IS [NOT] NULL", joined by AND / OR,
     * negated by NOT, in optional parentheses. Text comparison ignores letter
     * case. Takes effect while Filtered is true; moves to the first row. A
     * malformed filter or unknown column raises XException and changes nothing.
     */
    QString Filter() const;
    void SetFilter(const QString& filter);
    bool Filtered() const;
    void SetFiltered(bool on);

private:
    friend class TXField;
    struct Impl;
    std::unique_ptr<Impl> d;
};

/** A statement without result rows (INSERT, UPDATE, DELETE, DDL). */
class TXCommand : public QObject
{
    Q_OBJECT
public:
    explicit TXCommand(TXConnection* connection = nullptr, QObject* parent = nullptr);
    ~TXCommand() override;

    TXConnection* Connection() const;
    void SetConnection(TXConnection* connection);

    QString CommandText() const;
    void SetCommandText(const QString& sql);
    TXParameters& Parameters();
    TXParameter& ParamByName(const QString& name);

    /** Runs the statement; returns the number of rows it changed. Raises XException on error. */
    int Execute();

private:
    QPointer<TXConnection> m_connection;
    QString m_text;
    TXParameters m_parameters;
};

/** A fresh query bound to the connection, named "q" + a running number shared with NewCommand. */
std::unique_ptr<TXQuery> NewQuery(TXConnection* connection);
/** A fresh command bound to the connection, named like NewQuery's objects. */
std::unique_ptr<TXCommand> NewCommand(TXConnection* connection);
