#include "core/logic/Transaction.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/logic/Database.h"
#include "core/logic/StoreError.h"

namespace {
bool run(const QString& statement, QSqlError* error)
{
    QSqlQuery query(Database::connection());
    if (query.exec(statement))
        return true;
    if (error)
        *error = query.lastError();
    return false;
}
}  // namespace

Transaction::Transaction(const QString& action) : m_action(action)
{
    // IMMEDIATE takes the write lock now, before the first read: a second desk
    // on the same file waits here (up to the connection's busy timeout) and
    // then reads what the first one wrote. A deferred transaction would read
    // first and fail at its first write, whatever the busy timeout.
    QSqlError error;
    if (!run(QStringLiteral("BEGIN IMMEDIATE"), &error))
        throw StoreError(m_action, error);
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open)
        run(QStringLiteral("ROLLBACK"), nullptr);
}

void Transaction::commit()
{
    QSqlError error;
    if (!run(QStringLiteral("COMMIT"), &error)) {
        run(QStringLiteral("ROLLBACK"), nullptr);
        m_open = false;
        throw StoreError(m_action, error);
    }
    m_open = false;
}
