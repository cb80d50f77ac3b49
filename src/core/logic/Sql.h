#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Small helpers over the shared connection. Every value reaches the database
// bound, never spliced into the statement text. Failures throw StoreError
// naming the action (for example "借出图书").
namespace Sql {

// Prepares a statement on the shared connection.
QSqlQuery prepare(const QString& statement, const QString& action);
// Runs a prepared statement with its bound values.
void exec(QSqlQuery& query, const QString& action);
// Prepares, binds the named values in order of the list and runs.
QSqlQuery run(const QString& statement, const QVariantMap& values, const QString& action);

// A date as the store keeps it (ISO text), or null for an invalid date.
QVariant dateValue(const QDate& date);
// A date read from the store; invalid when null or not a date.
QDate toDate(const QVariant& stored);

}  // namespace Sql
