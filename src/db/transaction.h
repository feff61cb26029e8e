#pragma once

class Connection;

// One user action that writes more than one row: it commits whole, or the
// destructor rolls it back and the database is left as it was. Nested
// transactions become savepoints of the outer one.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Connection &m_connection;
    bool m_done = false;
};
