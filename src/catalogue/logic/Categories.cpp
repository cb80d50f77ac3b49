#include "catalogue/logic/Categories.h"

#include <optional>

#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace Categories {

namespace {

const QString kAddAction = QStringLiteral("添加图书类别");
const QString kUpdateAction = QStringLiteral("修改图书类别");
const QString kDeleteAction = QStringLiteral("删除图书类别");
const QString kReadAction = QStringLiteral("读取图书类别");

// The category code is the one bound as :code.
QString sameCode()
{
    return Sql::sameText(QStringLiteral("类别代码"), QStringLiteral(":code"));
}

bool exists(const QString& code, const QString& action)
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT 1 FROM bookType WHERE ") + sameCode()
                                   + QStringLiteral(" LIMIT 1"),
                               {{QStringLiteral("code"), code}}, action);
    return query.next();
}

}  // namespace

QString message(Outcome outcome, const QString& code)
{
    switch (outcome) {
    case Outcome::Saved: return QStringLiteral("保存完毕!");
    case Outcome::Deleted: return QStringLiteral("删除完毕!");
    case Outcome::NoCode: return QStringLiteral("请输入类别代码!");
    case Outcome::DuplicateCode:
        return QStringLiteral("类别代码为") + code + QStringLiteral("的类别已经存在,请换一个类别代码!");
    case Outcome::BadLoanDays:
        return QStringLiteral("借出天数必须是 -32768 到 32767 之间的数字!");
    case Outcome::NoSuchCategory:
        return QStringLiteral("类别代码为") + code + QStringLiteral("的类别已不存在!");
    }
    return QString();
}

Outcome AddCategory(const QString& code, const QString& name, const QString& loanDaysText)
{
    if (code.isEmpty())
        return Outcome::NoCode;
    const std::optional<qint16> days = Conversions::textToInteger16(loanDaysText);
    if (!days)
        return Outcome::BadLoanDays;
    Transaction transaction(kAddAction);
    if (exists(code, kAddAction))
        return Outcome::DuplicateCode;
    Sql::run(QStringLiteral("INSERT INTO bookType (类别代码, 书籍类别, 借出天数) VALUES (:code, :name, :days)"),
             {{QStringLiteral("code"), code}, {QStringLiteral("name"), name}, {QStringLiteral("days"), *days}},
             kAddAction);
    transaction.commit();
    return Outcome::Saved;
}

Outcome UpdateCategory(const QString& code, const QString& name, const QString& loanDaysText)
{
    const std::optional<qint16> days = Conversions::textToInteger16(loanDaysText);
    if (!days)
        return Outcome::BadLoanDays;
    QSqlQuery query = Sql::run(
        QStringLiteral("UPDATE bookType SET 书籍类别 = :name, 借出天数 = :days WHERE rowid ="
                       " (SELECT rowid FROM bookType WHERE ")
            + sameCode() + QStringLiteral(" ORDER BY rowid LIMIT 1)"),
        {{QStringLiteral("code"), code}, {QStringLiteral("name"), name}, {QStringLiteral("days"), *days}},
        kUpdateAction);
    return query.numRowsAffected() > 0 ? Outcome::Saved : Outcome::NoSuchCategory;
}

Outcome DeleteCategory(const QString& code)
{
    QSqlQuery query = Sql::run(
        QStringLiteral("DELETE FROM bookType WHERE rowid = (SELECT rowid FROM bookType WHERE ") + sameCode()
            + QStringLiteral(" ORDER BY rowid LIMIT 1)"),
        {{QStringLiteral("code"), code}}, kDeleteAction);
    return query.numRowsAffected() > 0 ? Outcome::Deleted : Outcome::NoSuchCategory;
}

QList<Category> all()
{
    QSqlQuery query = Sql::run(
        QStringLiteral("SELECT 类别代码, 书籍类别, 借出天数 FROM bookType ORDER BY rowid"), {}, kReadAction);
    QList<Category> categories;
    while (query.next())
        categories.append({query.value(0).toString(), query.value(1).toString(), query.value(2)});
    return categories;
}

QStringList LoadCategoryItems()
{
    QStringList items;
    for (const Category& category : all())
        items.append(itemOf(category));
    return items;
}

QString CategoryCodeOf(const QString& item)
{
    return Conversions::leadingCharacters(item, 1);
}

std::optional<Category> find(const QString& code)
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT 类别代码, 书籍类别, 借出天数 FROM bookType WHERE ")
                                   + Sql::sameText(QStringLiteral("类别代码"), QStringLiteral(":code"))
                                   + QStringLiteral(" ORDER BY rowid LIMIT 1"),
                               {{QStringLiteral("code"), code}}, kReadAction);
    if (!query.next())
        return std::nullopt;
    return Category{query.value(0).toString(), query.value(1).toString(), query.value(2)};
}

QString itemOf(const Category& category)
{
    return category.code + QLatin1Char('-') + category.name;
}

}  // namespace Categories
