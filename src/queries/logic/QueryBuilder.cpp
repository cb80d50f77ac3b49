#include "queries/logic/QueryBuilder.h"

#include <QStringList>

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
            m_parts << column + QStringLiteral(" like ? escape '\\'");
            m_values << Sql::containsPattern(text);
        } else {
            m_parts << column + QStringLiteral("=?");
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
                                        " select code from codes where code like ? escape '\\')");
        m_values << Sql::containsPattern(text);
    }

    // A condition of the index that narrows the rows down (see SearchText).
    void addIndexed(const QString& part, const QString& phrase)
    {
        m_parts << part;
        m_values << phrase;
    }

    bool isEmpty() const { return m_parts.isEmpty(); }
    QString joined() const { return m_parts.join(QStringLiteral(" and ")); }
    KeyedStatement statement(const QString& text, const QString& key, const QString& rowByKey) const
    {
        return {text, m_values, key, rowByKey};
    }

private:
    bool m_fuzzy;
    QStringList m_parts;
    QVariantList m_values;
};

const QString kBookBase = QStringLiteral("select * from bookInfo");
const QString kBookKey = QStringLiteral("bookInfo.rowid");
const QString kBookByKey = QStringLiteral("select * from bookInfo where rowid=?");

const QString kLendColumns = QStringLiteral(
    "select lentInfo.读者编号,readerInfo.读者姓名,lentInfo.书籍编号,"
    " bookInfo.书籍名称,bookType.书籍类别,bookInfo.出版社,bookInfo.书籍页码,lentInfo.借书日期,"
    " lentInfo.还书日期,lentInfo.超出天数,lentInfo.罚款金额 from ");
const QString kLendTables = QStringLiteral("readerInfo,bookInfo,lentInfo,bookType ");
const QString kLendJoins = QStringLiteral(
    " where readerInfo.读者编号=lentInfo.读者编号 and bookInfo.书籍编号=lentInfo.书籍编号 "
    " and bookType.类别代码=bookInfo.类别代码 ");
const QString kLendKey = QStringLiteral("lentInfo.rowid");
// One loan by its row id: the same columns and joins, from the loan.
const QString kLendByKey = kLendColumns
                           + QStringLiteral("lentInfo cross join readerInfo cross join bookInfo cross join bookType ")
                           + kLendJoins + QStringLiteral(" and lentInfo.rowid=?");

// What to look for in bookSearch for the number, title and publisher texts, or empty.
QString wordsMatch(const BookCriteria& criteria)
{
    QStringList parts;
    const bool marks = SearchText::marksIndexed();
    const std::pair<const char*, QString> texts[] = {
        {"number", criteria.bookId}, {"title", criteria.bookName}, {"publisher", criteria.publisher}};
    for (const auto& [column, text] : texts) {
        const QString part = SearchText::match(QString::fromLatin1(column), text, marks);
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QStringLiteral(" AND "));
}

const QString kIndexedRows = QStringLiteral("bookSearch.rowid=bookInfo.rowid and bookSearch match ?");

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
    const QString words = indexed ? wordsMatch({.bookId = criteria.bookId, .bookName = criteria.bookName}) : QString();
    if (!words.isEmpty()) {
        conditions.addIndexed(kIndexedRows, words);
        return QStringLiteral("bookSearch") + fromBooks;
    }
    if (indexed && (!criteria.bookId.isEmpty() || !criteria.bookName.isEmpty())) {
        // Book texts the index does not hold (marks only): a million books
        // are read rather than five million loans, the number text on the
        // book's own number (equal to the loan's, as the join says).
        if (!criteria.bookId.isEmpty())
            conditions.addIndexed(QStringLiteral("bookInfo.书籍编号 like ? escape '\\'"),
                                  Sql::containsPattern(criteria.bookId));
        return fromBooks.mid(QStringLiteral(" cross join ").size());
    }
    if (!criteria.readerId.isEmpty()) {
        // The same text on the reader's own number (equal to the loan's, as
        // the join says), so that only the readers it names are joined.
        conditions.addIndexed(QStringLiteral("readerInfo.读者编号 like ? escape '\\'"),
                              Sql::containsPattern(criteria.readerId));
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
        return {kBookBase, {}, kBookKey, kBookByKey};
    // Texts found anywhere in a column: the index narrows the books down first.
    const QString words = fuzzy && SearchText::indexed() ? wordsMatch(criteria) : QString();
    if (words.isEmpty())
        return conditions.statement(kBookBase + QStringLiteral(" where ") + conditions.joined(), kBookKey,
                                    kBookByKey);
    conditions.addIndexed(kIndexedRows, words);
    return conditions.statement(QStringLiteral("select bookInfo.* from bookInfo, bookSearch where ")
                                    + conditions.joined(),
                                kBookKey, kBookByKey);
}

KeyedStatement BuildLendQuery(const LendCriteria& criteria, bool fuzzy)
{
    Conditions conditions(fuzzy);
    conditions.addText(QStringLiteral("lentInfo.书籍编号"), criteria.bookId);
    conditions.addText(QStringLiteral("bookInfo.书籍名称"), criteria.bookName);
    conditions.addText(QStringLiteral("lentInfo.读者编号"), criteria.readerId);
    conditions.addText(QStringLiteral("readerInfo.读者姓名"), criteria.readerName);
    if (conditions.isEmpty())
        return {kLendColumns + kLendTables + kLendJoins, {}, kLendKey, kLendByKey};
    const QString tables = lendTables(criteria, fuzzy, fuzzy && SearchText::indexed(), conditions);
    return conditions.statement(kLendColumns + tables + kLendJoins + QStringLiteral(" and ") + conditions.joined(),
                                kLendKey, kLendByKey);
}
