#pragma once

#include "data/txconnection.h"

/**
 * A transaction on a connection, begun on construction and rolled back on
 * destruction unless Commit (or Rollback) ended it first, also when an error
 * passes through. Begin, Commit and Rollback raise what the connection raises.
 */
class TXTransaction
{
public:
    explicit TXTransaction(TXConnection* connection) : m_connection(connection)
    {
        m_connection->BeginTrans();
    }
    ~TXTransaction()
    {
        if (!m_open || !m_connection->InTransaction())
            return;
        try {
            m_connection->RollbackTrans();
        } catch (...) {
            // The engine rolls back by itself when it cannot; nothing is left to undo.
        }
    }
    TXTransaction(const TXTransaction&) = delete;
    TXTransaction& operator=(const TXTransaction&) = delete;

    void Commit()
    {
        m_connection->CommitTrans();
        m_open = false;
    }
    /**
     * Ends the transaction now, so that nothing stays locked while a box is
     * shown. Quiet when the engine already rolled it back (disk full, I/O
     * error), so the caller can still report the error that did it.
     */
    void Rollback()
    {
        m_open = false;
        if (m_connection->InTransaction())
            m_connection->RollbackTrans();
    }

private:
    TXConnection* m_connection;
    bool m_open = true;
};
