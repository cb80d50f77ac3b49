#include "catalogue/logic/Books.h"

#include "catalogue/logic/Publishers.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "core/logic/Transaction.h"

namespace Books {

namespace {

const QString kRegisterAction = QStringLiteral("添加新书");
const QString kUpdateAction = QStringLiteral("保存修改");
const QString kDeleteAction = QStringLiteral("删除书籍");

// A text as the store keeps it: never null, also when the box was never filled.
QVariant textValue(const QString& text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QVariantMap detailValues(const BookDetails& book)
{
    return {{QStringLiteral("title"), textValue(book.title)},
            {QStringLiteral("code"), textValue(book.categoryCode)},
            {QStringLiteral("publisher"), textValue(book.publisher)},
            {QStringLiteral("author"), textValue(book.author)},
            {QStringLiteral("price"), textValue(book.price)},
            {QStringLiteral("pages"), textValue(book.pages)},
            {QStringLiteral("registered"), Sql::dateValue(book.registered)}};
}

bool exists(const QString& number, const QString& action)
{
    // Kept prepared: an import asks it for every row.
    return Sql::withKept(QStringLiteral("SELECT 1 FROM bookInfo WHERE ")
                             + Sql::sameText(QStringLiteral("书籍编号"), QStringLiteral(":number"))
                             + QStringLiteral(" LIMIT 1"),
                         {{QStringLiteral("number"), number}}, action, [](QSqlQuery& query) { return query.next(); });
}

}  // namespace

const QString kUnspecified = QStringLiteral("不详");

QString orUnspecified(const QString& text)
{
    return text.isEmpty() ? kUnspecified : text;
}

BookDetails withDefaults(BookDetails book)
{
    book.publisher = orUnspecified(book.publisher);
    book.author = orUnspecified(book.author);
    book.pages = orUnspecified(book.pages);
    return book;
}

QString refusal(Outcome outcome, const QString& number)
{
    switch (outcome) {
    case Outcome::Done: return QString();
    case Outcome::DuplicateNumber:
        return QStringLiteral("编号为") + number + QStringLiteral("的书籍已经存在,请换一个书籍编号!");
    case Outcome::NoSuchBook:
        return QStringLiteral("编号为") + number + QStringLiteral("的书籍已不存在!");
    }
    return QString();
}

Outcome RegisterBook(const BookDetails& book)
{
    if (exists(book.number, kRegisterAction))
        return Outcome::DuplicateNumber;
    QVariantMap values = detailValues(book);
    values.insert(QStringLiteral("number"), textValue(book.number));
    Sql::changeKept(QStringLiteral("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格,"
                                   " 书籍页码, 登记日期, 是否借出) VALUES (:number, :title, :code, :publisher,"
                                   " :author, :price, :pages, :registered, 0)"),
                    values, kRegisterAction);
    return Outcome::Done;
}

Outcome UpdateBook(const QString& number, const BookDetails& book)
{
    QVariantMap values = detailValues(book);
    values.insert(QStringLiteral("number"), textValue(number));
    QSqlQuery query = Sql::run(
        QStringLiteral("UPDATE bookInfo SET 书籍名称 = :title, 类别代码 = :code, 出版社 = :publisher,"
                       " 作者姓名 = :author, 书籍价格 = :price, 书籍页码 = :pages, 登记日期 = :registered"
                       " WHERE rowid = (SELECT rowid FROM bookInfo WHERE ")
            + Sql::sameText(QStringLiteral("书籍编号"), QStringLiteral(":number"))
            + QStringLiteral(" ORDER BY rowid LIMIT 1)"),
        values, kUpdateAction);
    return query.numRowsAffected() > 0 ? Outcome::Done : Outcome::NoSuchBook;
}

Outcome DeleteBook(const QString& number)
{
    QSqlQuery query = Sql::run(
        QStringLiteral("DELETE FROM bookInfo WHERE rowid = (SELECT rowid FROM bookInfo WHERE ")
            + Sql::sameText(QStringLiteral("书籍编号"), QStringLiteral(":number"))
            + QStringLiteral(" ORDER BY rowid LIMIT 1)"),
        {{QStringLiteral("number"), textValue(number)}}, kDeleteAction);
    return query.numRowsAffected() > 0 ? Outcome::Done : Outcome::NoSuchBook;
}

Outcome addBook(const BookDetails& book)
{
    const Outcome outcome = RegisterBook(book);
    if (outcome == Outcome::Done)
        Publishers::RememberPublisher(book.publisher);
    return outcome;
}

Outcome saveNewBook(const BookDetails& book)
{
    Transaction transaction(kRegisterAction);
    const Outcome outcome = addBook(book);
    if (outcome == Outcome::Done)
        transaction.commit();
    return outcome;
}

Outcome saveChanges(const QString& number, const BookDetails& book)
{
    Transaction transaction(kUpdateAction);
    const Outcome outcome = UpdateBook(number, book);
    if (outcome != Outcome::Done)
        return outcome;
    Publishers::RememberPublisher(book.publisher);
    transaction.commit();
    return outcome;
}

std::optional<QString> categoryCodeOf(const QString& number)
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT 类别代码 FROM bookInfo WHERE ")
                                   + Sql::sameText(QStringLiteral("书籍编号"), QStringLiteral(":number"))
                                   + QStringLiteral(" ORDER BY rowid LIMIT 1"),
                               {{QStringLiteral("number"), number}}, QStringLiteral("读取书籍"));
    if (!query.next())
        return std::nullopt;
    return query.value(0).toString();
}

int count()
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT count(*) FROM bookInfo"), {}, QStringLiteral("读取书籍"));
    return query.next() ? query.value(0).toInt() : 0;
}

namespace {

// The names and statements of bookInfo's own indexes (not the one behind its
// unique book number, which the engine keeps itself).
QList<QPair<QString, QString>> ownIndexes(const QString& action)
{
    QSqlQuery query = Sql::run(Database::dialect().bookIndexesStatement(), {}, action);
    QList<QPair<QString, QString>> indexes;
    while (query.next())
        indexes.append({query.value(0).toString(), query.value(1).toString()});
    return indexes;
}

QString quotedName(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Drops bookInfo's own indexes and returns them, or none when the engine
// refuses because a statement still reads the books (another window's grid
// part way through them): then they stay, and the deletion takes longer.
QList<QPair<QString, QString>> setIndexesAside(const QString& action)
{
    const QList<QPair<QString, QString>> indexes = ownIndexes(action);
    Sql::execute(QStringLiteral("SAVEPOINT set_aside"), action);
    try {
        for (const auto& index : indexes)
            Sql::execute(QStringLiteral("DROP INDEX ") + quotedName(index.first), action);
    } catch (const StoreError&) {
        Sql::execute(QStringLiteral("ROLLBACK TO set_aside"), action);
        Sql::execute(QStringLiteral("RELEASE set_aside"), action);
        return {};
    }
    Sql::execute(QStringLiteral("RELEASE set_aside"), action);
    return indexes;
}

}  // namespace

int DeleteAllBooks(const std::function<void(int deleted)>& afterBatch, int batchSize)
{
    const QString action = QStringLiteral("删除所有书籍");
    Transaction transaction(action);
    // The title, category and date indexes lie in another order than the
    // rows: taking a million rows out of them one by one is seconds of work.
    // They are set aside for the deletion and made again, empty, in the same
    // transaction, so a failure brings them back with every book.
    const QList<QPair<QString, QString>> indexes = setIndexesAside(action);
    int deleted = 0;
    for (;;) {
        // A batch is a range of rowids up to the batch-th book left (all that
        // are left at the end): taken from the table in its own order, with
        // no list of rowids to build first.
        QSqlQuery last = Sql::run(QStringLiteral("SELECT rowid FROM bookInfo ORDER BY rowid LIMIT 1 OFFSET :skip"),
                                  {{QStringLiteral("skip"), qMax(1, batchSize) - 1}}, action);
        const QVariant upTo = last.next() ? last.value(0) : QVariant();
        last.finish();
        QSqlQuery batch = upTo.isValid()
                              ? Sql::run(QStringLiteral("DELETE FROM bookInfo WHERE rowid <= :last"),
                                         {{QStringLiteral("last"), upTo}}, action)
                              : Sql::run(QStringLiteral("DELETE FROM bookInfo"), {}, action);
        const int removed = batch.numRowsAffected();
        batch.finish();
        if (removed <= 0)
            break;
        deleted += removed;
        if (afterBatch)
            afterBatch(deleted);
    }
    for (const auto& index : indexes)
        Sql::execute(index.second, action);
    transaction.commit();
    return deleted;
}

}  // namespace Books
