#include "core/logic/Transaction.h"

#include <QSqlDatabase>
#include <QSqlError>

#include "core/logic/Database.h"
#include "core/logic/StoreError.h"

Transaction::Transaction(const QString& action) : m_action(action)
{
    QSqlDatabase db = Database::connection();
    if (!db.transaction())
        throw StoreError(m_action, db.lastError().text());
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open)
        Database::connection().rollback();
}

void Transaction::commit()
{
    QSqlDatabase db = Database::connection();
    if (!db.commit()) {
        const QString text = db.lastError().text();
        db.rollback();
        m_open = false;
        throw StoreError(m_action, text);
    }
    m_open = false;
}
