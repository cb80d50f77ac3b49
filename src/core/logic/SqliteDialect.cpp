#include "core/logic/Dialect.h"

#include <QSqlError>
#include <QSqlQuery>

#include "core/logic/Database.h"
#include "core/logic/SearchText.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/Sql.h"

// The words of an SQLite library file: STRICT tables whose texts compare with
// COLLATE NOCASE, the rowid every table has, and the full-text table
// bookSearch, kept up by triggers, as the fuzzy-search index.
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

// SQLite's primary result codes (the low byte of an extended code).
StoreError::Cause causeOfCode(const QSqlError& error)
{
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber) & 0xff;
    if (!isNumber)
        return StoreError::Cause::Other;
    switch (code) {
    case 5:   // SQLITE_BUSY
    case 6:   // SQLITE_LOCKED
        return StoreError::Cause::Busy;
    case 13:  // SQLITE_FULL
        return StoreError::Cause::DiskFull;
    case 10:  // SQLITE_IOERR
        return StoreError::Cause::DiskFault;
    case 8:   // SQLITE_READONLY
        return StoreError::Cause::ReadOnly;
    case 11:  // SQLITE_CORRUPT
    case 26:  // SQLITE_NOTADB
        return StoreError::Cause::Damaged;
    default:
        return StoreError::Cause::Other;
    }
}

// The one row of bookSearch's own statement, or none.
QString searchTableSql()
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table'"
                                              " AND name = 'bookSearch'"),
                               {}, QStringLiteral("查询"));
    return query.next() ? query.value(0).toString() : QString();
}

class SqliteDialect final : public Dialect {
public:
    QString engineName() const override { return QStringLiteral("SQLite"); }

    bool streamsRows() const override { return true; }

    QStringList tableStatements() const override { return kTables; }
    QStringList indexStatements() const override { return kIndexes; }
    QStringList searchIndexStatements() const override { return kSearch; }
    QStringList dropSearchIndexStatements() const override
    {
        return {QStringLiteral("DROP TRIGGER IF EXISTS bookInfo_search_insert"),
                QStringLiteral("DROP TRIGGER IF EXISTS bookInfo_search_update"),
                QStringLiteral("DROP TABLE IF EXISTS bookSearch")};
    }
    QStringList renewSearchStatements() const override
    {
        return dropSearchIndexStatements().mid(0, 2) + kSearch.mid(1);
    }
    QStringList pauseSearchUpkeepStatements() const override
    {
        return dropSearchIndexStatements().mid(0, 1);
    }
    QStringList resumeSearchUpkeepStatements() const override { return kSearch.mid(1, 1); }
    QString searchWordsStatement() const override
    {
        return QStringLiteral("INSERT INTO bookSearch (rowid, number, title, publisher, numberPairs, titlePairs,"
                              " publisherPairs) VALUES (:row, :number, :title, :publisher, :numberPairs,"
                              " :titlePairs, :publisherPairs)");
    }
    // A file is stamped in its header: the application id and the version of
    // its layout, which SQLite keeps for the program that owns the file.
    QStringList stampStatements() const override
    {
        return {QStringLiteral("PRAGMA application_id = %1").arg(LibrarySchema::kApplicationId),
                QStringLiteral("PRAGMA user_version = %1").arg(LibrarySchema::kLayoutVersion)};
    }
    // A library made before the stamp gets it (setting it again changes nothing).
    QStringList upgradeStatements() const override { return stampStatements(); }
    bool searchIndexed() const override { return !searchTableSql().isEmpty(); }
    bool searchMarksIndexed() const override { return searchTableSql().contains(QLatin1String("categories")); }
    QString bookIndexesStatement() const override
    {
        return QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index'"
                              " AND tbl_name = 'bookInfo' AND sql IS NOT NULL ORDER BY name");
    }

    // IMMEDIATE takes the write lock now, before the first read: a second desk
    // on the same file waits here (up to the connection's busy timeout) and
    // then reads what the first one wrote. A deferred transaction would read
    // first and fail at its first write, whatever the busy timeout.
    QStringList beginWrite() const override { return {QStringLiteral("BEGIN IMMEDIATE")}; }

    // The text columns are COLLATE NOCASE, which folds A-Z only; LIKE folds
    // A-Z only of itself.
    QString sameText(const QString& left, const QString& right) const override
    {
        return left + QLatin1Char('=') + right;
    }
    QString textLike(const QString& text, const QString& pattern) const override
    {
        return text + QStringLiteral(" like ") + pattern + QStringLiteral(" escape '\\'");
    }
    Page pageOf(const QString& keyed, const QString& key, int rows) const override
    {
        const QString column = key.mid(key.lastIndexOf(QLatin1Char('.')) + 1);
        return {QStringLiteral("SELECT * FROM (") + keyed + QStringLiteral(") AS page WHERE page.") + column
                    + QStringLiteral(" > ? ORDER BY page.") + column + QStringLiteral(" LIMIT ") + QString::number(rows),
                {Page::Mark::Values, Page::Mark::LastKey}};
    }
    // A table read whole, or through the index of its key, comes in rowid order.
    QString rowOrder(const QString&) const override { return QString(); }
    // The texts' columns fold A-Z themselves (COLLATE NOCASE).
    QString foldedOrder(const QString& column) const override { return column; }
    // lentInfo_书籍编号 and lentInfo_读者编号 (the number, then the lend date)
    // hold every loan in that number's order: reading one whole costs less
    // than sorting a busy year's loans from the lend date's index, and each
    // number's count comes out of it with no sort at all.
    QString loansCountedBy(const QString& column) const override
    {
        return QStringLiteral("lentInfo INDEXED BY lentInfo_") + column;
    }

    IndexedBooks indexedBooks(const QList<QPair<BookText, QString>>& texts) const override
    {
        const bool marks = searchMarksIndexed();
        QStringList parts;
        for (const auto& [column, text] : texts) {
            const QString part = SearchText::match(columnName(column), text, marks);
            if (!part.isEmpty())
                parts << part;
        }
        if (parts.isEmpty())
            return {};
        return {QStringLiteral("bookSearch"), QStringLiteral("bookSearch.rowid=bookInfo.rowid and bookSearch match ?"),
                {parts.join(QStringLiteral(" AND "))}};
    }

    StoreError::Cause causeOf(const QSqlError& error) const override { return causeOfCode(error); }

private:
    static QString columnName(BookText column)
    {
        switch (column) {
        case BookText::Number: return QStringLiteral("number");
        case BookText::Title: return QStringLiteral("title");
        case BookText::Publisher: return QStringLiteral("publisher");
        }
        return QString();
    }
};

}  // namespace

namespace Dialects {

const Dialect& sqlite()
{
    static const SqliteDialect dialect;
    return dialect;
}

}  // namespace Dialects
