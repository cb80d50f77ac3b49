#include "core/logic/Transaction.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
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
    Database::reconnectIfLost(m_action);
    // The write lock is taken now, before the first read (see Dialect::beginWrite).
    const QStringList begin = Database::dialect().beginWrite();
    for (qsizetype i = 0; i < begin.size(); ++i) {
        QSqlError error;
        if (!run(begin[i], &error)) {
            if (i > 0)
                run(QStringLiteral("ROLLBACK"), nullptr);
            throw StoreError(m_action, error);
        }
        m_open = true;
    }
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
