#pragma once

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Small helpers over the shared connection. Every value reaches the database
// bound, never spliced into the statement text. Failures throw StoreError
// naming the action (for example "借出图书").
namespace Sql {

// Prepares a statement on the shared connection.
QSqlQuery prepare(const QString& statement, const QString& action);
// Runs a statement that takes no values and is not prepared: the library's
// layout and transaction control, which the server does not prepare.
void execute(const QString& statement, const QString& action);
// Runs a prepared statement with its bound values.
void exec(QSqlQuery& query, const QString& action);
// Prepares, binds the named values in order of the list and runs.
QSqlQuery run(const QString& statement, const QVariantMap& values, const QString& action);

// A statement prepared once on the calling thread's connection and kept until the
// connection closes: for the look-ups the desk makes on every Enter.
QSqlQuery& kept(const QString& statement, const QString& action);
// Forgets every kept statement (the connection is about to close).
void releaseKept();

// Binds the values into a kept statement, runs it, hands it to `read` and
// resets it afterwards, so that no kept statement holds a read snapshot open
// between look-ups. Returns what `read` returns.
template <typename Read>
auto withKept(const QString& statement, const QVariantMap& values, const QString& action, Read read)
{
    QSqlQuery& query = kept(statement, action);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query.bindValue(QLatin1Char(':') + it.key(), it.value());
    exec(query, action);
    struct Reset {
        QSqlQuery& query;
        ~Reset() { query.finish(); }
    } reset{query};
    return read(query);
}

// Conditions on texts as the open library's engine writes them (see
// Dialect): the two texts are the same, A-Z folded; `text` holds the LIKE
// pattern `pattern` made by containsPattern().
QString sameText(const QString& left, const QString& right);
QString textLike(const QString& text, const QString& pattern);

// A LIKE pattern that finds `text` anywhere in a column, every character
// taken as itself: the escape character and the two wildcards are escaped,
// so the pattern is used with ESCAPE '\'.
QString containsPattern(const QString& text);

// Runs a kept statement that changes rows and returns how many it changed:
// for the desk's writes, which run on every lend, return and renewal.
int changeKept(const QString& statement, const QVariantMap& values, const QString& action);

// A date as the store keeps it (ISO text), or null for an invalid date.
QVariant dateValue(const QDate& date);
// A date read from the store; invalid when null or not a date.
QDate toDate(const QVariant& stored);

}  // namespace Sql
