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
    // The day a date column holds; its fuzzy form has no wildcards.
    void addDate(const QString& column, const std::optional<QDate>& day)
    {
        if (!day)
            return;
        m_parts << column + (m_fuzzy ? QStringLiteral(" like ?") : QStringLiteral("=?"));
        m_values << Sql::dateValue(*day);
    }

    // A condition of the index that narrows the rows down (see SearchText).
    void addIndexed(const QString& part, const QString& phrase)
    {
        m_parts << part;
        m_values << phrase;
    }

    bool isEmpty() const { return m_parts.isEmpty(); }
    QString joined() const { return m_parts.join(QStringLiteral(" and ")); }
    QueryStatement statement(const QString& text) const { return {text, m_values}; }

private:
    bool m_fuzzy;
    QStringList m_parts;
    QVariantList m_values;
};

const QString kBookBase = QStringLiteral("select * from bookInfo");

const QString kLendColumns = QStringLiteral(
    "select lentInfo.读者编号,readerInfo.读者姓名,lentInfo.书籍编号,"
    " bookInfo.书籍名称,bookType.书籍类别,bookInfo.出版社,bookInfo.书籍页码,lentInfo.借书日期,"
    " lentInfo.还书日期,lentInfo.超出天数,lentInfo.罚款金额 from ");
const QString kLendTables = QStringLiteral("readerInfo,bookInfo,lentInfo,bookType ");
const QString kLendJoins = QStringLiteral(
    " where readerInfo.读者编号=lentInfo.读者编号 and bookInfo.书籍编号=lentInfo.书籍编号 "
    " and bookType.类别代码=bookInfo.类别代码 ");

// The title and publisher words to look for in bookSearch, or empty.
QString wordsMatch(const BookCriteria& criteria)
{
    QStringList parts;
    const QString title = SearchText::wordsPhrase(criteria.bookName);
    const QString publisher = SearchText::wordsPhrase(criteria.publisher);
    if (!title.isEmpty())
        parts << QStringLiteral("title : ") + title;
    if (!publisher.isEmpty())
        parts << QStringLiteral("publisher : ") + publisher;
    return parts.join(QStringLiteral(" AND "));
}

// The index's rows joined to bookInfo's by their row ids, and its phrase.
void addIndex(Conditions& conditions, QString* tables, const QString& index, const QString& phrase)
{
    *tables += QStringLiteral(", ") + index;
    conditions.addIndexed(index + QStringLiteral(".rowid=bookInfo.rowid and ") + index + QStringLiteral(" match ?"),
                          phrase);
}

// The loans found from the side the criteria name, in an order that reads
// few rows: from the readers when a reader name is given (a name is found
// among a hundred thousand readers, not five million loans), from the
// index for a title or book number texts, from the readers for a reader
// number text. Without such a criterion the store chooses. Every order
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
    const QString title = indexed ? SearchText::wordsPhrase(criteria.bookName) : QString();
    if (!title.isEmpty()) {
        conditions.addIndexed(QStringLiteral("bookSearch.rowid=bookInfo.rowid and bookSearch match ?"),
                              QStringLiteral("title : ") + title);
        return QStringLiteral("bookSearch") + fromBooks;
    }
    const QString number = indexed ? SearchText::numberPhrase(criteria.bookId) : QString();
    if (!number.isEmpty()) {
        conditions.addIndexed(
            QStringLiteral("bookNumberSearch.rowid=bookInfo.rowid and bookNumberSearch match ?"), number);
        return QStringLiteral("bookNumberSearch") + fromBooks;
    }
    if (!criteria.readerId.isEmpty())
        return fromReaders;
    return kLendTables;
}

}  // namespace

QueryStatement BuildBookQuery(const BookCriteria& criteria, bool fuzzy)
{
    Conditions conditions(fuzzy);
    conditions.addText(QStringLiteral("书籍编号"), criteria.bookId);
    conditions.addText(QStringLiteral("书籍名称"), criteria.bookName);
    conditions.addText(QStringLiteral("类别代码"), criteria.categoryCode);
    conditions.addText(QStringLiteral("出版社"), criteria.publisher);
    conditions.addDate(QStringLiteral("登记日期"), criteria.registered);
    if (conditions.isEmpty())
        return {kBookBase, {}};
    // Texts found anywhere in a column: the indexes narrow the books down first.
    QString tables;
    if (fuzzy && SearchText::indexed()) {
        const QString words = wordsMatch(criteria);
        if (!words.isEmpty())
            addIndex(conditions, &tables, QStringLiteral("bookSearch"), words);
        const QString number = SearchText::numberPhrase(criteria.bookId);
        if (!number.isEmpty())
            addIndex(conditions, &tables, QStringLiteral("bookNumberSearch"), number);
    }
    if (tables.isEmpty())
        return conditions.statement(kBookBase + QStringLiteral(" where ") + conditions.joined());
    return conditions.statement(QStringLiteral("select bookInfo.* from bookInfo") + tables + QStringLiteral(" where ")
                                + conditions.joined());
}

QueryStatement BuildLendQuery(const LendCriteria& criteria, bool fuzzy)
{
    Conditions conditions(fuzzy);
    conditions.addText(QStringLiteral("lentInfo.书籍编号"), criteria.bookId);
    conditions.addText(QStringLiteral("bookInfo.书籍名称"), criteria.bookName);
    conditions.addText(QStringLiteral("lentInfo.读者编号"), criteria.readerId);
    conditions.addText(QStringLiteral("readerInfo.读者姓名"), criteria.readerName);
    if (conditions.isEmpty())
        return {kLendColumns + kLendTables + kLendJoins, {}};
    const QString tables = lendTables(criteria, fuzzy, fuzzy && SearchText::indexed(), conditions);
    return conditions.statement(kLendColumns + tables + kLendJoins + QStringLiteral(" and ") + conditions.joined());
}
