#include "queries/logic/QueryBuilder.h"

#include <QStringList>

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

    bool isEmpty() const { return m_parts.isEmpty(); }
    QString joined() const { return m_parts.join(QStringLiteral(" and ")); }
    QueryStatement statement(const QString& text) const { return {text, m_values}; }

private:
    bool m_fuzzy;
    QStringList m_parts;
    QVariantList m_values;
};

const QString kBookBase = QStringLiteral("select * from bookInfo");

const QString kLendBase = QStringLiteral(
    "select lentInfo.读者编号,readerInfo.读者姓名,lentInfo.书籍编号,"
    " bookInfo.书籍名称,bookType.书籍类别,bookInfo.出版社,bookInfo.书籍页码,lentInfo.借书日期,"
    " lentInfo.还书日期,lentInfo.超出天数,lentInfo.罚款金额 from readerInfo,bookInfo,lentInfo,bookType "
    " where readerInfo.读者编号=lentInfo.读者编号 and bookInfo.书籍编号=lentInfo.书籍编号 "
    " and bookType.类别代码=bookInfo.类别代码 ");

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
    return conditions.statement(kBookBase + QStringLiteral(" where ") + conditions.joined());
}

QueryStatement BuildLendQuery(const LendCriteria& criteria, bool fuzzy)
{
    Conditions conditions(fuzzy);
    conditions.addText(QStringLiteral("lentInfo.书籍编号"), criteria.bookId);
    conditions.addText(QStringLiteral("bookInfo.书籍名称"), criteria.bookName);
    conditions.addText(QStringLiteral("lentInfo.读者编号"), criteria.readerId);
    conditions.addText(QStringLiteral("readerInfo.读者姓名"), criteria.readerName);
    if (conditions.isEmpty())
        return {kLendBase, {}};
    return conditions.statement(kLendBase + QStringLiteral(" and ") + conditions.joined());
}
