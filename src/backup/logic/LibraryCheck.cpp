#include "backup/logic/LibraryCheck.h"

#include <QHash>
#include <QSqlQuery>

#include "backup/logic/LibraryFile.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"

namespace LibraryCheck {

namespace {

const QString kAction = QStringLiteral("检查图书馆");
constexpr int kNamed = 5;  // books named in a line, at most

QList<Finding> integrity(const QString& file)
{
    QList<Finding> found;
    QString error;
    if (!file.isEmpty() && !LibraryFile::check(file, &error))
        found << Finding{Integrity, QStringLiteral("完整性检查未通过: ") + error.replace(QLatin1Char('\n'), QLatin1Char(' '))};
    for (const char* table : {"bookInfo", "bookType", "lentInfo", "readerInfo", "basicSet", "bookconcernList"}) {
        QSqlQuery query(Database::connection());
        if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)))
            found << Finding{Integrity, QStringLiteral("数据表 %1 无法读取").arg(QLatin1String(table))};
    }
    return found;
}

// Every book found through the search index by its own number, title and
// publisher, as a search finds it.
QList<Finding> searchIndex()
{
    using Text = Dialect::BookText;
    QSqlQuery books = Sql::run(QStringLiteral("SELECT rowid, 书籍编号, 书籍名称, 出版社 FROM bookInfo"), {}, kAction);
    QHash<QString, QSqlQuery> lookups;  // by the shape of the condition
    QStringList missing;
    qint64 count = 0;
    while (books.next()) {
        const Dialect::IndexedBooks words = Database::dialect().indexedBooks(
            {{Text::Number, books.value(1).toString()},
             {Text::Title, books.value(2).toString()},
             {Text::Publisher, books.value(3).toString()}});
        if (words.isEmpty())
            continue;
        auto it = lookups.find(words.condition);
        if (it == lookups.end())
            it = lookups.insert(words.condition, Sql::prepare(QStringLiteral("SELECT count(*) FROM bookInfo")
                                      + (words.table.isEmpty() ? QString() : QStringLiteral(", ") + words.table)
                                      + QStringLiteral(" WHERE bookInfo.rowid = ? AND ") + words.condition,
                                  kAction));
        QSqlQuery& lookup = *it;
        lookup.addBindValue(books.value(0));
        for (const QVariant& value : words.values)
            lookup.addBindValue(value);
        Sql::exec(lookup, kAction);
        if (lookup.next() && lookup.value(0).toLongLong() == 0 && ++count <= kNamed)
            missing << books.value(1).toString();
        lookup.finish();
    }
    if (count == 0)
        return {};
    return {Finding{SearchIndex, QStringLiteral("检索索引与图书不符: %1 本书按自己的编号和书名找不到 (%2)。"
                                                "运行 shelfmark-db reindex 重建索引")
                                     .arg(count)
                                     .arg(missing.join(QStringLiteral("、")))}};
}

// The numbers a statement gives, at most a few named, as one finding.
QList<Finding> named(const QString& statement, Fault fault, const QString& text)
{
    QSqlQuery query = Sql::run(statement, {}, kAction);
    QStringList numbers;
    qint64 count = 0;
    while (query.next())
        if (++count <= kNamed)
            numbers << query.value(0).toString();
    if (count == 0)
        return {};
    return {Finding{fault, text.arg(count).arg(numbers.join(QStringLiteral("、")))}};
}

QString openLoans(const QString& book)
{
    return QStringLiteral("(SELECT count(*) FROM lentInfo WHERE lentInfo.还书日期 IS NULL AND ")
           + Sql::sameText(QStringLiteral("lentInfo.书籍编号"), book) + QLatin1Char(')');
}

}  // namespace

QList<Finding> run(const QString& file)
{
    QList<Finding> found = integrity(file);
    found << searchIndex();
    found << named(QStringLiteral("SELECT 书籍编号 FROM bookInfo WHERE 是否借出 = 1 AND ")
                       + openLoans(QStringLiteral("bookInfo.书籍编号")) + QStringLiteral(" <> 1"),
                   FlagWithoutLoan, QStringLiteral("借出标记与借阅记录不符: %1 本书标为借出, 却没有恰好一条未还的借阅记录 (%2)"));
    found << named(QStringLiteral("SELECT 书籍编号 FROM lentInfo WHERE 还书日期 IS NULL AND NOT EXISTS"
                                  " (SELECT 1 FROM bookInfo WHERE bookInfo.是否借出 = 1 AND ")
                       + Sql::sameText(QStringLiteral("bookInfo.书籍编号"), QStringLiteral("lentInfo.书籍编号"))
                       + QLatin1Char(')'),
                   LoanWithoutFlag, QStringLiteral("借阅记录与借出标记不符: %1 条未还的借阅记录, 其书没有标为借出或不在书库中 (%2)"));
    return found;
}

int status(const QList<Finding>& findings)
{
    int bits = 0;
    for (const Finding& finding : findings)
        bits |= finding.fault;
    return bits;
}

}  // namespace LibraryCheck
