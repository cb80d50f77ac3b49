#include "core/logic/Sql.h"

#include <QDate>
#include <QSqlError>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/StoreError.h"

namespace Sql {

namespace {
// The kept statements by their text; they belong to the calling thread's
// connection (the shared one, on the windows' thread).
QHash<QString, QSqlQuery>& keptStatements()
{
    thread_local QHash<QString, QSqlQuery> statements;
    return statements;
}
}  // namespace

QSqlQuery prepare(const QString& statement, const QString& action)
{
    Database::reconnectIfLost(action);
    QSqlQuery query(Database::connection());
    query.setForwardOnly(Database::dialect().streamsRows());
    if (!query.prepare(statement))
        throw StoreError(action, query.lastError());
    return query;
}

void execute(const QString& statement, const QString& action)
{
    Database::reconnectIfLost(action);
    QSqlQuery query(Database::connection());
    if (!query.exec(statement))
        throw StoreError(action, query.lastError());
}

void exec(QSqlQuery& query, const QString& action)
{
    if (!query.exec())
        throw StoreError(action, query.lastError());
}

QSqlQuery run(const QString& statement, const QVariantMap& values, const QString& action)
{
    QSqlQuery query = prepare(statement, action);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query.bindValue(QLatin1Char(':') + it.key(), it.value());
    exec(query, action);
    return query;
}

QSqlQuery& kept(const QString& statement, const QString& action)
{
    Database::reconnectIfLost(action);
    QHash<QString, QSqlQuery>& statements = keptStatements();
    auto found = statements.find(statement);
    if (found == statements.end())
        found = statements.insert(statement, prepare(statement, action));
    return found.value();
}

void releaseKept()
{
    keptStatements().clear();
}

QString sameText(const QString& left, const QString& right)
{
    return Database::dialect().sameText(left, right);
}

QString textLike(const QString& text, const QString& pattern)
{
    return Database::dialect().textLike(text, pattern);
}

QString containsPattern(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped.append(QLatin1Char('\\'));
        escaped.append(c);
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

int changeKept(const QString& statement, const QVariantMap& values, const QString& action)
{
    return withKept(statement, values, action, [](QSqlQuery& query) { return query.numRowsAffected(); });
}

QVariant dateValue(const QDate& date)
{
    if (!date.isValid())
        return QVariant(QMetaType::fromType<QString>());
    return date.toString(Qt::ISODate);
}

QDate toDate(const QVariant& stored)
{
    if (stored.isNull())
        return {};
    return QDate::fromString(stored.toString().left(10), Qt::ISODate);
}

}  // namespace Sql
