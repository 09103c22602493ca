#pragma once

#include "data/txconnection.h"

/** Begins a transaction on construction and rolls it back on destruction unless committed. */
class StationTransaction
{
public:
    explicit StationTransaction(TXConnection* connection) : m_connection(connection)
    {
        m_connection->BeginTrans();
    }
    ~StationTransaction()
    {
        if (m_open) {
            try {
                m_connection->RollbackTrans();
            } catch (...) {
                // The engine rolls back by itself when it cannot; nothing more to do here.
            }
        }
    }
    StationTransaction(const StationTransaction&) = delete;
    StationTransaction& operator=(const StationTransaction&) = delete;

    void Commit()
    {
        m_connection->CommitTrans();
        m_open = false;
    }

private:
    TXConnection* m_connection;
    bool m_open = true;
};
