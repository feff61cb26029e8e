#include "transaction.h"

#include "connection.h"

#include <exception>

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        m_connection.rollbackTransaction();
    } catch (const std::exception &) {
        // The error that brought us here is the one the user must see.
    }
}

void Transaction::commit()
{
    m_connection.commitTransaction();
    m_done = true;
}
