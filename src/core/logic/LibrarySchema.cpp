#include "core/logic/LibrarySchema.h"

#include <QSqlQuery>
#include <QStringList>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace LibrarySchema {

namespace {

const QString kTablesAction = QStringLiteral("创建数据表");
const QString kIndexesAction = QStringLiteral("创建索引");

const Dialect& dialect()
{
    return Database::dialect();
}

void runAll(const QStringList& statements, const QString& action)
{
    for (const QString& statement : statements)
        Sql::execute(statement, action);
}

void makeTables()
{
    runAll(dialect().tableStatements(), kTablesAction);
    runAll(dialect().stampStatements(), kTablesAction);
    runAll(ownTableStatements(), kTablesAction);
    Sql::run(QStringLiteral("INSERT INTO basicSet (借出册数, 罚款) VALUES (:quota, :fine)"),
             {{QStringLiteral("quota"), kDefaultQuota}, {QStringLiteral("fine"), kDefaultFinePerDay}},
             kTablesAction);
}

void makeSearchIndex()
{
    runAll(dialect().searchIndexStatements(), kIndexesAction);
}

void makeIndexes()
{
    runAll(dialect().indexStatements(), kIndexesAction);
    runAll(addedIndexStatements(), kIndexesAction);
    makeSearchIndex();
}

}  // namespace

QStringList ownTableStatements()
{
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS overdueReminders ("
                           " 借阅行号 BIGINT NOT NULL,"
                           " 催还日期 TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS overdueReminders_loan"
                           " ON overdueReminders (借阅行号, 催还日期)"),
            // The outstanding loans in book order with their lend date and
            // reader: the overdue list walks them without the loans table
            // (还书日期, always empty here, lets SQLite see it need not look).
            QStringLiteral("CREATE INDEX IF NOT EXISTS lentInfo_overdue"
                           " ON lentInfo (书籍编号, 借书日期, 读者编号, 还书日期) WHERE 还书日期 IS NULL")};
}

QStringList addedIndexStatements()
{
    // The year's loans by lend date, with the book and the reader beside it,
    // so the statistics read the index alone.
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS lentInfo_借书日期 ON lentInfo (借书日期, 书籍编号, 读者编号)")};
}

void upgrade()
{
    Transaction transaction(kTablesAction);
    runAll(dialect().upgradeStatements(), kTablesAction);
    runAll(ownTableStatements(), kTablesAction);
    runAll(addedIndexStatements(), kIndexesAction);
    transaction.commit();
}

void create()
{
    Transaction transaction(kTablesAction);
    makeTables();
    makeIndexes();
    transaction.commit();
}

void createTables()
{
    Transaction transaction(kTablesAction);
    makeTables();
    transaction.commit();
}

void createIndexes()
{
    Transaction transaction(kIndexesAction);
    makeIndexes();
    transaction.commit();
}

QString searchTableStatement()
{
    return dialect().searchIndexStatements().first();
}

QStringList tableStatements(const QString& table)
{
    QStringList statements;
    for (const QString& statement : dialect().tableStatements())
        if (statement.startsWith(QStringLiteral("CREATE TABLE %1 (").arg(table)))
            statements << statement;
    for (const QString& statement : dialect().indexStatements() + addedIndexStatements())
        if (statement.contains(QStringLiteral(" ON %1 (").arg(table)))
            statements << statement;
    return statements;
}

void renewSearchTriggers()
{
    Transaction transaction(kIndexesAction);
    runAll(dialect().renewSearchStatements(), kIndexesAction);
    transaction.commit();
}

void remakeSearchIndex()
{
    Transaction transaction(kIndexesAction);
    runAll(dialect().dropSearchIndexStatements(), kIndexesAction);
    makeSearchIndex();
    transaction.commit();
}

void createSearchIndex()
{
    Transaction transaction(kIndexesAction);
    makeSearchIndex();
    transaction.commit();
}

}  // namespace LibrarySchema
