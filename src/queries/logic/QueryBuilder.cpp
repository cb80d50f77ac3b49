#include "queries/logic/QueryBuilder.h"

#include <QStringList>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/SearchText.h"
#include "core/logic/Sql.h"

namespace {

// Collects the conditions of one statement in the order they are added.
class Conditions {
public:
    explicit Conditions(bool fuzzy) : m_fuzzy(fuzzy) {}

    // column = text, or column contains text; nothing for an empty text.
    void addText(const QString& column, const QString& text)
    {
        if (text.isEmpty())
            return;
        if (m_fuzzy) {
            m_parts << Sql::textLike(column, QStringLiteral("?"));
            m_values << Sql::containsPattern(text);
        } else {
            m_parts << Sql::sameText(column, QStringLiteral("?"));
            m_values << text;
        }
    }
    // The day a date column holds, fuzzy or not: a date has no wildcards and
    // no letters, so "like" would find the same rows as "=", which the index
    // on the date answers instead of reading every book.
    void addDate(const QString& column, const std::optional<QDate>& day)
    {
        if (!day)
            return;
        m_parts << column + QStringLiteral("=?");
        m_values << Sql::dateValue(*day);
    }

    // A book's category code, fuzzy or not. Found anywhere in the code, it is
    // looked for among the few codes the books have (read off their index one
    // code at a time), then the books of the codes found through the index:
    // "like" on the column itself would read every book, a tenth of a second
    // at a large library when no code matches.
    void addCategory(const QString& column, const QString& text)
    {
        if (!m_fuzzy || text.isEmpty())
            return addText(column, text);
        m_parts << column
                       + QStringLiteral(" in (with recursive codes(code) as (select min(类别代码) from bookInfo"
                                        " union all select (select min(类别代码) from bookInfo where 类别代码 > code)"
                                        " from codes where code is not null)"
                                        " select code from codes where ")
                       + Sql::textLike(QStringLiteral("code"), QStringLiteral("?")) + QLatin1Char(')');
        m_values << Sql::containsPattern(text);
    }

    // A condition that narrows the rows down (the index's, see SearchText).
    void addIndexed(const QString& part, const QVariantList& values)
    {
        m_parts << part;
        m_values << values;
    }

    bool isEmpty() const { return m_parts.isEmpty(); }
    QString joined() const { return m_parts.join(QStringLiteral(" and ")); }
    // The statement in the order of its key (where the engine needs telling).
    KeyedStatement statement(const QString& text, const QString& key, const QString& rowByKey) const
    {
        return {text + Database::dialect().rowOrder(key), m_values, key, rowByKey};
    }

private:
    bool m_fuzzy;
    QStringList m_parts;
    QVariantList m_values;
};

// Every column of bookInfo in its order (never the server's hidden row id).
const QString kBookColumns = QStringLiteral(
    "select bookInfo.书籍编号,bookInfo.书籍名称,bookInfo.书籍价格,bookInfo.出版社,bookInfo.书籍页码,"
    "bookInfo.类别代码,bookInfo.作者姓名,bookInfo.登记日期,bookInfo.是否借出 from bookInfo");
const QString kBookKey = QStringLiteral("bookInfo.rowid");
const QString kBookByKey = kBookColumns + QStringLiteral(" where rowid=?");

const QString kLendColumns = QStringLiteral(
    "select lentInfo.读者编号,readerInfo.读者姓名,lentInfo.书籍编号,"
    " bookInfo.书籍名称,bookType.书籍类别,bookInfo.出版社,bookInfo.书籍页码,lentInfo.借书日期,"
    " lentInfo.还书日期,lentInfo.超出天数,lentInfo.罚款金额 from ");
const QString kLendTables = QStringLiteral("readerInfo,bookInfo,lentInfo,bookType ");
const QString kLendKey = QStringLiteral("lentInfo.rowid");

// The four tables of a loan joined by their keys.
QString lendJoins()
{
    return QStringLiteral(" where ") + Sql::sameText(QStringLiteral("readerInfo.读者编号"), QStringLiteral("lentInfo.读者编号"))
           + QStringLiteral(" and ") + Sql::sameText(QStringLiteral("bookInfo.书籍编号"), QStringLiteral("lentInfo.书籍编号"))
           + QStringLiteral("  and ") + Sql::sameText(QStringLiteral("bookType.类别代码"), QStringLiteral("bookInfo.类别代码"))
           + QLatin1Char(' ');
}

// One loan by its row id: the same columns and joins, from the loan.
QString lendByKey()
{
    return kLendColumns + QStringLiteral("lentInfo cross join readerInfo cross join bookInfo cross join bookType ")
           + lendJoins() + QStringLiteral(" and lentInfo.rowid=?");
}

// What narrows the books down through the fuzzy-search index for the number,
// title and publisher texts, or nothing.
Dialect::IndexedBooks wordsMatch(const BookCriteria& criteria)
{
    using Text = Dialect::BookText;
    return Database::dialect().indexedBooks(
        {{Text::Number, criteria.bookId}, {Text::Title, criteria.bookName}, {Text::Publisher, criteria.publisher}});
}

// The loans found from the side the criteria name, in an order that reads
// few rows: from the readers when a reader name is given (a name is found
// among a hundred thousand readers, not five million loans), from the
// index for title or book number texts (from the books when the index
// holds none of their characters), from the readers for a reader number
// text. Without such a criterion the store chooses. Every order
// reads the same four tables joined by the same keys, so the loans found
// are the same; only the order in which they come differs.
QString lendTables(const LendCriteria& criteria, bool fuzzy, bool indexed, Conditions& conditions)
{
    const QString fromReaders = QStringLiteral("readerInfo cross join lentInfo cross join bookInfo cross join bookType ");
    const QString fromBooks = QStringLiteral(" cross join bookInfo cross join lentInfo cross join readerInfo cross join bookType ");
    if (!criteria.readerName.isEmpty())
        return fromReaders;
    if (!fuzzy)
        return kLendTables;
    const Dialect::IndexedBooks words =
        indexed ? wordsMatch({.bookId = criteria.bookId, .bookName = criteria.bookName}) : Dialect::IndexedBooks{};
    if (!words.isEmpty()) {
        conditions.addIndexed(words.condition, words.values);
        return words.table.isEmpty() ? fromBooks.mid(QStringLiteral(" cross join ").size()) : words.table + fromBooks;
    }
    if (indexed && (!criteria.bookId.isEmpty() || !criteria.bookName.isEmpty())) {
        // Book texts the index does not hold (marks only): a million books
        // are read rather than five million loans, the number text on the
        // book's own number (equal to the loan's, as the join says).
        if (!criteria.bookId.isEmpty())
            conditions.addIndexed(Sql::textLike(QStringLiteral("bookInfo.书籍编号"), QStringLiteral("?")),
                                  {Sql::containsPattern(criteria.bookId)});
        return fromBooks.mid(QStringLiteral(" cross join ").size());
    }
    if (!criteria.readerId.isEmpty()) {
        // The same text on the reader's own number (equal to the loan's, as
        // the join says), so that only the readers it names are joined.
        conditions.addIndexed(Sql::textLike(QStringLiteral("readerInfo.读者编号"), QStringLiteral("?")),
                              {Sql::containsPattern(criteria.readerId)});
        return fromReaders;
    }
    return kLendTables;
}

}  // namespace

KeyedStatement BuildBookQuery(const BookCriteria& criteria, bool fuzzy)
{
    Conditions conditions(fuzzy);
    conditions.addText(QStringLiteral("书籍编号"), criteria.bookId);
    conditions.addText(QStringLiteral("书籍名称"), criteria.bookName);
    conditions.addCategory(QStringLiteral("类别代码"), criteria.categoryCode);
    conditions.addText(QStringLiteral("出版社"), criteria.publisher);
    conditions.addDate(QStringLiteral("登记日期"), criteria.registered);
    if (conditions.isEmpty())
        return conditions.statement(kBookColumns, kBookKey, kBookByKey);
    // Texts found anywhere in a column: the index narrows the books down first.
    const Dialect::IndexedBooks words =
        fuzzy && SearchText::indexed() ? wordsMatch(criteria) : Dialect::IndexedBooks{};
    if (words.isEmpty())
        return conditions.statement(kBookColumns + QStringLiteral(" where ") + conditions.joined(), kBookKey,
                                    kBookByKey);
    conditions.addIndexed(words.condition, words.values);
    const QString joined = words.table.isEmpty() ? QString() : QStringLiteral(", ") + words.table;
    return conditions.statement(kBookColumns + joined + QStringLiteral(" where ") + conditions.joined(), kBookKey,
                                kBookByKey);
}

KeyedStatement BuildLendQuery(const LendCriteria& criteria, bool fuzzy)
{
    Conditions conditions(fuzzy);
    conditions.addText(QStringLiteral("lentInfo.书籍编号"), criteria.bookId);
    conditions.addText(QStringLiteral("bookInfo.书籍名称"), criteria.bookName);
    conditions.addText(QStringLiteral("lentInfo.读者编号"), criteria.readerId);
    conditions.addText(QStringLiteral("readerInfo.读者姓名"), criteria.readerName);
    if (conditions.isEmpty())
        return conditions.statement(kLendColumns + kLendTables + lendJoins(), kLendKey, lendByKey());
    const QString tables = lendTables(criteria, fuzzy, fuzzy && SearchText::indexed(), conditions);
    return conditions.statement(kLendColumns + tables + lendJoins() + QStringLiteral(" and ") + conditions.joined(),
                                kLendKey, lendByKey());
}

const QStringList& BookQueryColumns()
{
    static const QStringList columns = {
        QStringLiteral("书籍编号"), QStringLiteral("书籍名称"), QStringLiteral("类别代码"),
        QStringLiteral("出版社"),   QStringLiteral("作者姓名"), QStringLiteral("书籍价格"),
        QStringLiteral("书籍页码"), QStringLiteral("登记日期"), QStringLiteral("是否借出")};
    return columns;
}

const QStringList& LendQueryColumns()
{
    static const QStringList columns = {
        QStringLiteral("读者编号"), QStringLiteral("读者姓名"), QStringLiteral("书籍编号"),
        QStringLiteral("书籍名称"), QStringLiteral("书籍类别"), QStringLiteral("书籍页码"),
        QStringLiteral("出版社"),   QStringLiteral("借书日期"), QStringLiteral("还书日期")};
    return columns;
}
