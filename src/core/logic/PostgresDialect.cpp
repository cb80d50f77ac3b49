#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include "core/logic/Conversions.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"

// The words of a library on a PostgreSQL server.
//
// - Names: tables and columns are written unquoted, so the server folds the
//   Latin letters of a table name to lower case (bookInfo is bookinfo there)
//   and every statement finds it however it spells it; the Chinese column
//   names stay as they are.
// - Row ids: each table has a hidden identity column named rowid, so that
//   "the first row", a loan by its row and the grids' keys mean what they mean
//   on SQLite; grids name their columns, so rowid never shows.
// - Texts compare with A-Z folded and nothing else, as SQLite's NOCASE does:
//   shelfmark_fold() is lower() under the "C" collation, which folds A-Z
//   only (under the database's own it would fold far more; translate() over
//   A-Z folds the same but is four times slower on Chinese texts), and the
//   keys and look-ups are indexes over it.
// - Dates are ISO text, checked to be a real day; yes/no is 0/1.
// - Fuzzy searches: shelfmark_words() gives a text's single characters and
//   pairs of neighbours, A-Z folded, as a text array; a GIN index over it for
//   each of a book's number, title and publisher finds the books holding
//   every pair of a searched text (or its one character). Each search still
//   applies its own LIKE to what the index offers.
namespace {

#define SHELFMARK_DATE_CHECK(column) \
    "CHECK (" column " IS NULL OR to_char(to_date(" column ", 'YYYY-MM-DD'), 'YYYY-MM-DD') = " column ")"
#define SHELFMARK_ROWID "rowid bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"

// Replaces the translate() over A-Z of libraries made before: the same
// results, so the indexes over it stay as they are.
const QString kFold = QStringLiteral(
    "CREATE OR REPLACE FUNCTION shelfmark_fold(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE"
    " RETURN lower(t COLLATE \"C\")");

const QStringList kTables = {
    kFold,
    QStringLiteral(
        "CREATE TABLE bookType (" SHELFMARK_ROWID
        " 类别代码 text NOT NULL,"
        " 书籍类别 text,"
        " 借出天数 integer)"),
    QStringLiteral("CREATE UNIQUE INDEX bookType_类别代码 ON bookType (shelfmark_fold(类别代码))"),
    QStringLiteral(
        "CREATE TABLE bookInfo (" SHELFMARK_ROWID
        " 书籍编号 text NOT NULL,"
        " 书籍名称 text,"
        " 书籍价格 text,"
        " 出版社 text,"
        " 书籍页码 text,"
        " 类别代码 text,"
        " 作者姓名 text,"
        " 登记日期 text " SHELFMARK_DATE_CHECK("登记日期") ","
        " 是否借出 integer NOT NULL DEFAULT 0 CHECK (是否借出 IN (0, 1)))"),
    QStringLiteral("CREATE UNIQUE INDEX bookInfo_书籍编号 ON bookInfo (shelfmark_fold(书籍编号))"),
    QStringLiteral(
        "CREATE TABLE lentInfo (" SHELFMARK_ROWID
        " 读者编号 text,"
        " 书籍编号 text,"
        " 借书日期 text " SHELFMARK_DATE_CHECK("借书日期") ","
        " 还书日期 text " SHELFMARK_DATE_CHECK("还书日期") ","
        " 超出天数 integer,"
        " 罚款金额 double precision)"),
    QStringLiteral(
        "CREATE TABLE readerInfo (" SHELFMARK_ROWID
        " 读者编号 text NOT NULL,"
        " 读者姓名 text,"
        " 读者性别 text,"
        " 联系电话 text,"
        " 所在部门 text)"),
    QStringLiteral("CREATE UNIQUE INDEX readerInfo_读者编号 ON readerInfo (shelfmark_fold(读者编号))"),
    QStringLiteral(
        "CREATE TABLE basicSet (" SHELFMARK_ROWID
        " 借出册数 integer,"
        " 罚款 double precision)"),
    QStringLiteral(
        "CREATE TABLE bookconcernList (" SHELFMARK_ROWID
        " 出版社 text NOT NULL)"),
    QStringLiteral("CREATE UNIQUE INDEX bookconcernList_出版社 ON bookconcernList (shelfmark_fold(出版社))"),
};

#undef SHELFMARK_ROWID
#undef SHELFMARK_DATE_CHECK

// The desk's look-ups and the queries' joins, over the folded texts they
// compare; the category code also as it is, for walking the codes in order.
const QStringList kIndexes = {
    QStringLiteral("CREATE INDEX bookInfo_类别代码 ON bookInfo (类别代码)"),
    QStringLiteral("CREATE INDEX bookInfo_类别代码_folded ON bookInfo (shelfmark_fold(类别代码))"),
    QStringLiteral("CREATE INDEX lentInfo_书籍编号 ON lentInfo (shelfmark_fold(书籍编号), 借书日期)"),
    QStringLiteral("CREATE INDEX lentInfo_读者编号 ON lentInfo (shelfmark_fold(读者编号), 借书日期)"),
    QStringLiteral("CREATE INDEX lentInfo_outstanding ON lentInfo (shelfmark_fold(读者编号)) WHERE 还书日期 IS NULL"),
    QStringLiteral(
        "CREATE INDEX lentInfo_outstanding_book ON lentInfo (shelfmark_fold(书籍编号)) WHERE 还书日期 IS NULL"),
    QStringLiteral("CREATE INDEX readerInfo_读者姓名 ON readerInfo (shelfmark_fold(读者姓名))"),
    QStringLiteral("CREATE INDEX bookInfo_书籍名称 ON bookInfo (shelfmark_fold(书籍名称))"),
    QStringLiteral("CREATE INDEX bookInfo_登记日期 ON bookInfo (登记日期)"),
};

const QStringList kSearch = {
    QStringLiteral("CREATE OR REPLACE FUNCTION shelfmark_words(t text) RETURNS text[] LANGUAGE sql IMMUTABLE"
                   " PARALLEL SAFE RETURN ARRAY(SELECT DISTINCT substr(shelfmark_fold(t), i, n)"
                   " FROM generate_series(1, length(t)) AS i, generate_series(1, 2) AS n"
                   " WHERE i + n - 1 <= length(t))"),
    QStringLiteral("CREATE INDEX bookInfo_书籍编号_words ON bookInfo USING gin (shelfmark_words(书籍编号))"),
    QStringLiteral("CREATE INDEX bookInfo_书籍名称_words ON bookInfo USING gin (shelfmark_words(书籍名称))"),
    // Titles' common pairs counted finely enough that the server reads a
    // common word's first page in key order, not every book holding it.
    QStringLiteral("ALTER INDEX bookInfo_书籍名称_words ALTER COLUMN 1 SET STATISTICS 1000"),
    QStringLiteral("CREATE INDEX bookInfo_出版社_words ON bookInfo USING gin (shelfmark_words(出版社))"),
};

// The stamp: which program the library belongs to and the version of its layout.
const QStringList kStamp = {
    QStringLiteral("CREATE TABLE shelfmark_library (application text NOT NULL, schema_version integer NOT NULL)"),
    QStringLiteral("INSERT INTO shelfmark_library (application, schema_version) VALUES ('shelfmark', 1)"),
};

// Every write transaction takes this one lock of the library first: writes
// follow one another as on an SQLite file, and the rules a lend reads (the
// reader's loans, the book's flag) cannot change before it writes.
constexpr qint64 kWriteLock = 0x5368656c66;  // "Shelf"

// A book text's condition on the words index (%1 the column).
const QString kWords = QStringLiteral("shelfmark_words(bookInfo.%1) @> CAST(? AS text[])");

// A fuzzy book search's grid page walks this many books per row in key
// order before it asks the words index, for pages of up to so many rows.
constexpr int kWalkedRowsPerRow = 80;
constexpr int kWalkedPageRows = 1000;

// The words the index must hold for a book whose text holds `text`: its one
// character, or every pair of neighbouring characters (by code point), as a
// text-array literal.
QString wordsLiteral(const QString& text)
{
    const QList<uint> characters = Conversions::foldedAZ(text).toUcs4();
    QStringList words;
    if (characters.size() == 1)
        words << QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), 1);
    for (qsizetype i = 0; i + 1 < characters.size(); ++i)
        words << QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData() + i), 2);
    QStringList quoted;
    for (QString word : words) {
        word.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
        quoted << QLatin1Char('"') + word + QLatin1Char('"');
    }
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

bool oneRow(const QString& statement)
{
    QSqlQuery query = Sql::run(statement, {}, QStringLiteral("查询"));
    return query.next() && query.value(0).toInt() > 0;
}

class PostgresDialect final : public Dialect {
public:
    QString engineName() const override { return QStringLiteral("PostgreSQL"); }

    bool streamsRows() const override { return false; }

    QStringList tableStatements() const override { return kTables; }
    QStringList indexStatements() const override { return kIndexes; }
    QStringList searchIndexStatements() const override { return kSearch; }
    QStringList dropSearchIndexStatements() const override
    {
        return {QStringLiteral("DROP INDEX IF EXISTS bookInfo_书籍编号_words"),
                QStringLiteral("DROP INDEX IF EXISTS bookInfo_书籍名称_words"),
                QStringLiteral("DROP INDEX IF EXISTS bookInfo_出版社_words")};
    }
    // The index lies on bookInfo and the server keeps it: made anew whole.
    QStringList renewSearchStatements() const override { return dropSearchIndexStatements() + kSearch; }
    QStringList pauseSearchUpkeepStatements() const override { return {}; }
    QStringList resumeSearchUpkeepStatements() const override { return {}; }
    QString searchWordsStatement() const override { return QString(); }
    QStringList stampStatements() const override { return kStamp; }
    QStringList upgradeStatements() const override { return {kFold}; }
    bool searchIndexed() const override
    {
        return oneRow(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema()"
                                     " AND indexname = 'bookinfo_书籍名称_words'"));
    }
    bool searchMarksIndexed() const override { return searchIndexed(); }
    QString bookIndexesStatement() const override
    {
        return QStringLiteral("SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = current_schema()"
                              " AND tablename = 'bookinfo' AND indexdef NOT LIKE 'CREATE UNIQUE %'"
                              " ORDER BY indexname");
    }

    QStringList beginWrite() const override
    {
        return {QStringLiteral("BEGIN"), QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kWriteLock)};
    }

    QString sameText(const QString& left, const QString& right) const override
    {
        return QStringLiteral("shelfmark_fold(%1)=shelfmark_fold(%2)").arg(left, right);
    }
    // A book's number, title or publisher is searched with the words index
    // beside (see indexedBooks), whose estimate of the books found is close;
    // the like, which finds fewer of those same books, would make the server
    // count them twice and read every book a common word finds before the
    // first page in key order. Inside a case the server counts it as one in
    // two.
    QString textLike(const QString& text, const QString& pattern) const override
    {
        const QString like = QStringLiteral("shelfmark_fold(%1) like shelfmark_fold(%2) escape '\\'").arg(text, pattern);
        const QString column = text.mid(text.lastIndexOf(QLatin1Char('.')) + 1);
        if (column == columnName(BookText::Number) || column == columnName(BookText::Title)
            || column == columnName(BookText::Publisher))
            return QStringLiteral("(case when ") + like + QStringLiteral(" then true else false end)");
        return like;
    }
    QString rowOrder(const QString& key) const override { return QStringLiteral(" order by ") + key; }
    QString foldedOrder(const QString& column) const override
    {
        return QStringLiteral("shelfmark_fold(%1)").arg(column);
    }
    // The server counts a range by hashing; its indexes lie on the folded number.
    QString loansCountedBy(const QString&) const override { return QStringLiteral("lentInfo"); }
    // The statement's own order by its key gives way to the page's, so the
    // server sees one query it may read from the key's index.
    //
    // A fuzzy book search's page (a grid's, not an export's) first walks the
    // next books in key order, checking each with its like alone, and asks
    // the words index only when that walk does not fill the page. The
    // server guesses how many books hold a text from each pair's share as if
    // the pairs were unrelated; for "人民文学" it expects 665 where 91,394
    // match, reads them all and sorts them for one screen. The walk fills a
    // common text's page from a few thousand books; a rare text costs the
    // walk (about 10 ms at 80 books a row) and then the index, which finds
    // few books for it.
    Page pageOf(const QString& keyed, const QString& key, int rows) const override
    {
        using Mark = Page::Mark;
        QString inner = keyed;
        if (inner.endsWith(rowOrder(key)))
            inner.chop(rowOrder(key).size());
        const qsizetype dot = key.lastIndexOf(QLatin1Char('.'));
        const QString table = key.left(dot);
        const QString column = QStringLiteral("page.") + key.mid(dot + 1);
        const QString limit = QStringLiteral(" LIMIT ") + QString::number(rows);
        const auto page = [&](const QString& statement, const QString& condition) {
            return QStringLiteral("SELECT * FROM (") + statement + QStringLiteral(") AS page WHERE ") + column
                   + condition + QStringLiteral(" ORDER BY ") + column + limit;
        };
        static const QRegularExpression words(QRegularExpression::escape(kWords.section(QStringLiteral("%1"), 0, 0))
                                              + QStringLiteral("[^)]*")
                                              + QRegularExpression::escape(kWords.section(QStringLiteral("%1"), 1)));
        if (rows > kWalkedPageRows || table.compare(QLatin1String("bookInfo"), Qt::CaseInsensitive) != 0
            || !inner.contains(words))
            return {page(inner, QStringLiteral(" > ?")), {Mark::Values, Mark::LastKey}};
        // The walk keeps the words' mark, so that both parts take the same values.
        QString walked = inner;
        walked.replace(words, QStringLiteral("CAST(? AS text[]) IS NOT NULL"));
        const QString walkEnd = QStringLiteral("(SELECT min(rowid) FROM bookInfo WHERE rowid > ?) + ")
                                + QString::number(qint64(rows) * kWalkedRowsPerRow);
        return {QStringLiteral("WITH walked AS MATERIALIZED (")
                    + page(walked, QStringLiteral(" > ? AND ") + column + QStringLiteral(" <= ") + walkEnd)
                    + QStringLiteral(") SELECT * FROM walked UNION ALL (")
                    + page(inner, QStringLiteral(" > ") + walkEnd + QStringLiteral(" AND (SELECT count(*) FROM walked) < ")
                                      + QString::number(rows))
                    + QStringLiteral(") ORDER BY ") + key.mid(dot + 1) + limit,
                {Mark::Values, Mark::LastKey, Mark::LastKey, Mark::Values, Mark::LastKey}};
    }

    IndexedBooks indexedBooks(const QList<QPair<BookText, QString>>& texts) const override
    {
        IndexedBooks found;
        QStringList parts;
        for (const auto& [column, text] : texts) {
            if (text.isEmpty())
                continue;
            parts << kWords.arg(columnName(column));
            found.values << wordsLiteral(text);
        }
        found.condition = parts.join(QStringLiteral(" and "));
        return found;
    }

    // SQLSTATE classes: 08 the connection, 57P the server going down or
    // starting, 53 the server's resources, 40 and 55P03 another
    // transaction in the way, 25006 a read-only server, XX001/XX002 damage.
    StoreError::Cause causeOf(const QSqlError& error) const override
    {
        const QString state = error.nativeErrorCode();
        if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")))
            return StoreError::Cause::ServerLost;
        if (state == QLatin1String("53100"))
            return StoreError::Cause::DiskFull;
        if (state.startsWith(QLatin1String("40")) || state == QLatin1String("55P03"))
            return StoreError::Cause::Busy;
        if (state == QLatin1String("25006"))
            return StoreError::Cause::ReadOnly;
        if (state == QLatin1String("XX001") || state == QLatin1String("XX002"))
            return StoreError::Cause::Damaged;
        // A connection lost on the way carries no state, only libpq's words.
        const QString text = error.databaseText() + error.driverText();
        if (state.isEmpty()
            && (text.contains(QLatin1String("connection")) || text.contains(QLatin1String("server closed"))))
            return StoreError::Cause::ServerLost;
        return StoreError::Cause::Other;
    }

private:
    static QString columnName(BookText column)
    {
        switch (column) {
        case BookText::Number: return QStringLiteral("书籍编号");
        case BookText::Title: return QStringLiteral("书籍名称");
        case BookText::Publisher: return QStringLiteral("出版社");
        }
        return QString();
    }
};

}  // namespace

namespace Dialects {

const Dialect& postgres()
{
    static const PostgresDialect dialect;
    return dialect;
}

}  // namespace Dialects
