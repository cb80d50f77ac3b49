#pragma once

#include <QString>

// One transaction on the shared connection. Rolls back when it goes out of
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
