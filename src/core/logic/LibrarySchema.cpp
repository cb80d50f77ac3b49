#include "core/logic/LibrarySchema.h"

#include <QSqlQuery>
#include <QStringList>

#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace LibrarySchema {

namespace {

// Dates are ISO text (YYYY-MM-DD); date() gives back exactly such a text for
// a valid date and something else for anything that is not one. The '+0 days'
// makes it carry over impossible days (2026-02-30 becomes 2026-03-02), which
// date() alone would hand back unchanged.
#define SHELFMARK_DATE_CHECK(column) \
    "CHECK (" column " IS NULL OR date(" column ", '+0 days') IS " column ")"

const QStringList kTables = {
    QStringLiteral(
        "CREATE TABLE bookType ("
        " 类别代码 TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
        " 书籍类别 TEXT COLLATE NOCASE,"
        " 借出天数 INTEGER"
        ") STRICT"),
    QStringLiteral(
        "CREATE TABLE bookInfo ("
        " 书籍编号 TEXT NOT NULL UNIQUE COLLATE NOCASE,"
        " 书籍名称 TEXT COLLATE NOCASE,"
        " 书籍价格 TEXT,"
        " 出版社 TEXT COLLATE NOCASE,"
        " 书籍页码 TEXT,"
        " 类别代码 TEXT COLLATE NOCASE,"
        " 作者姓名 TEXT COLLATE NOCASE,"
        " 登记日期 TEXT " SHELFMARK_DATE_CHECK("登记日期") ","
        " 是否借出 INTEGER NOT NULL DEFAULT 0 CHECK (是否借出 IN (0, 1))"
        ") STRICT"),
    QStringLiteral(
        "CREATE TABLE lentInfo ("
        " 读者编号 TEXT COLLATE NOCASE,"
        " 书籍编号 TEXT COLLATE NOCASE,"
        " 借书日期 TEXT " SHELFMARK_DATE_CHECK("借书日期") ","
        " 还书日期 TEXT " SHELFMARK_DATE_CHECK("还书日期") ","
        " 超出天数 INTEGER,"
        " 罚款金额 REAL"
        ") STRICT"),
    QStringLiteral(
        "CREATE TABLE readerInfo ("
        " 读者编号 TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
        " 读者姓名 TEXT COLLATE NOCASE,"
        " 读者性别 TEXT,"
        " 联系电话 TEXT,"
        " 所在部门 TEXT COLLATE NOCASE"
        ") STRICT"),
    QStringLiteral(
        "CREATE TABLE basicSet ("
        " 借出册数 INTEGER,"
        " 罚款 REAL"
        ") STRICT"),
    QStringLiteral(
        "CREATE TABLE bookconcernList ("
        " 出版社 TEXT NOT NULL UNIQUE COLLATE NOCASE"
        ") STRICT"),
};

// The desk's look-ups and the queries' joins.
const QStringList kIndexes = {
    QStringLiteral("CREATE INDEX bookInfo_类别代码 ON bookInfo (类别代码)"),
    QStringLiteral("CREATE INDEX lentInfo_书籍编号 ON lentInfo (书籍编号, 借书日期)"),
    QStringLiteral("CREATE INDEX lentInfo_读者编号 ON lentInfo (读者编号, 借书日期)"),
    QStringLiteral("CREATE INDEX lentInfo_outstanding ON lentInfo (读者编号) WHERE 还书日期 IS NULL"),
    QStringLiteral("CREATE INDEX lentInfo_outstanding_book ON lentInfo (书籍编号) WHERE 还书日期 IS NULL"),
    QStringLiteral("CREATE INDEX readerInfo_读者姓名 ON readerInfo (读者姓名)"),
    QStringLiteral("CREATE INDEX bookInfo_书籍名称 ON bookInfo (书籍名称)"),
    QStringLiteral("CREATE INDEX bookInfo_登记日期 ON bookInfo (登记日期)"),
};

// The text with a blank between any two characters, in SQL: the same as
// SearchText::spaced, for the triggers that keep the search index. The text
// is halved again and again down to single characters, which are then joined
// in order: a title pasted at the box's full length (32,767 characters) takes
// milliseconds, where adding one character at a time took seconds.
#define SHELFMARK_SPACED(value) \
    "coalesce((WITH RECURSIVE c(pos, piece) AS (SELECT 1, " value \
    " UNION ALL SELECT pos, substr(piece, 1, length(piece) / 2) FROM c WHERE length(piece) > 1" \
    " UNION ALL SELECT pos + length(piece) / 2, substr(piece, length(piece) / 2 + 1) FROM c WHERE length(piece) > 1)" \
    " SELECT group_concat(piece, ' ') FROM (SELECT piece FROM c WHERE length(piece) = 1 ORDER BY pos)), " value ")"
// Every two neighbouring characters, with a blank between the pairs: the
// same as SearchText::pairs. Halved the same way, the halves sharing their
// middle character so that no pair is lost.
#define SHELFMARK_PAIRS(value) \
    "coalesce((WITH RECURSIVE c(pos, piece) AS (SELECT 1, " value \
    " UNION ALL SELECT pos, substr(piece, 1, length(piece) / 2 + 1) FROM c WHERE length(piece) > 2" \
    " UNION ALL SELECT pos + length(piece) / 2, substr(piece, length(piece) / 2 + 1) FROM c WHERE length(piece) > 2)" \
    " SELECT group_concat(piece, ' ') FROM (SELECT piece FROM c WHERE length(piece) = 2 ORDER BY pos)), " value ")"
#define SHELFMARK_INDEX_BOOK(row) \
    "INSERT INTO bookSearch (rowid, number, title, publisher, numberPairs, titlePairs, publisherPairs)" \
    " VALUES (" row ".rowid, " SHELFMARK_SPACED(row ".书籍编号") ", " SHELFMARK_SPACED(row ".书籍名称") ", " \
    SHELFMARK_SPACED(row ".出版社") ", " SHELFMARK_PAIRS(row ".书籍编号") ", " SHELFMARK_PAIRS(row ".书籍名称") ", " \
    SHELFMARK_PAIRS(row ".出版社") ");"

// The search indexes (see SearchText): every character but blanks and
// control characters is a word, marks and symbols included. They hold words only, no copy of the
// texts nor the columns' sizes (nothing ranks what it finds). A book inserted
// or changed adds its words; nothing is ever taken out, because a search
// checks every row the index offers anyway.
const QStringList kSearch = {
    QStringLiteral("CREATE VIRTUAL TABLE bookSearch USING fts5(number, title, publisher, numberPairs, titlePairs,"
                   " publisherPairs, content='', columnsize=0,"
                   " tokenize='unicode61 remove_diacritics 0 categories ''L* N* Co M* P* S*''')"),
    QStringLiteral("CREATE TRIGGER bookInfo_search_insert AFTER INSERT ON bookInfo BEGIN "
                   SHELFMARK_INDEX_BOOK("new") " END"),
    QStringLiteral("CREATE TRIGGER bookInfo_search_update AFTER UPDATE OF 书籍编号, 书籍名称, 出版社 ON bookInfo"
                   " BEGIN " SHELFMARK_INDEX_BOOK("new") " END"),
};

#undef SHELFMARK_INDEX_BOOK
#undef SHELFMARK_PAIRS
#undef SHELFMARK_SPACED

#undef SHELFMARK_DATE_CHECK

const QString kTablesAction = QStringLiteral("创建数据表");
const QString kIndexesAction = QStringLiteral("创建索引");

void makeTables()
{
    for (const QString& statement : kTables)
        Sql::run(statement, {}, kTablesAction);
    Sql::run(QStringLiteral("INSERT INTO basicSet (借出册数, 罚款) VALUES (:quota, :fine)"),
             {{QStringLiteral("quota"), kDefaultQuota}, {QStringLiteral("fine"), kDefaultFinePerDay}},
             kTablesAction);
}

void makeSearchIndex()
{
    for (const QString& statement : kSearch)
        Sql::run(statement, {}, kIndexesAction);
}

void makeIndexes()
{
    for (const QString& statement : kIndexes)
        Sql::run(statement, {}, kIndexesAction);
    makeSearchIndex();
}

void dropSearchTriggers()
{
    for (const char* trigger : {"bookInfo_search_insert", "bookInfo_search_update"})
        Sql::run(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(trigger)), {}, kIndexesAction);
}

}  // namespace

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
    return kSearch.first();
}

QStringList tableStatements(const QString& table)
{
    QStringList statements;
    for (const QString& statement : kTables)
        if (statement.startsWith(QStringLiteral("CREATE TABLE %1 (").arg(table)))
            statements << statement;
    for (const QString& statement : kIndexes)
        if (statement.contains(QStringLiteral(" ON %1 (").arg(table)))
            statements << statement;
    return statements;
}

void renewSearchTriggers()
{
    Transaction transaction(kIndexesAction);
    dropSearchTriggers();
    for (qsizetype i = 1; i < kSearch.size(); ++i)
        Sql::run(kSearch[i], {}, kIndexesAction);
    transaction.commit();
}

void remakeSearchIndex()
{
    Transaction transaction(kIndexesAction);
    dropSearchTriggers();
    Sql::run(QStringLiteral("DROP TABLE IF EXISTS bookSearch"), {}, kIndexesAction);
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
