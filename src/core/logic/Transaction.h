#pragma once

#include <QString>

// One write transaction on the shared connection. It holds the database's
// write lock from the start (Dialect::beginWrite), so what it reads before writing
// cannot change under it from another desk. Rolls back when it goes out of
// scope without commit(), so a failed step never leaves half a change.
class Transaction {
public:
    explicit Transaction(const QString& action);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    QString m_action;
    bool m_open = false;
};
