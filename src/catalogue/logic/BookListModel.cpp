#include "catalogue/logic/BookListModel.h"

#include <QSqlError>

#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

const QString BookListModel::BookListQuery = QStringLiteral(
    "select bookInfo.书籍编号,bookInfo.书籍名称,bookType.书籍类别,bookInfo.出版社,"
    " bookInfo.作者姓名,bookInfo.书籍价格,bookInfo.书籍页码,bookInfo.登记日期,bookInfo.是否借出"
    " from bookInfo, bookType where bookType.类别代码=bookInfo.类别代码 order by bookInfo.rowid");

BookListModel::BookListModel(QObject* parent) : QSqlQueryModel(parent)
{
}

void BookListModel::load()
{
    const QString action = QStringLiteral("读取书库");
    QSqlQuery query = Sql::prepare(BookListQuery, action);
    query.setForwardOnly(false);  // the grid scrolls both ways
    Sql::exec(query, action);
    setQuery(std::move(query));
    if (lastError().isValid())
        throw StoreError(action, lastError().text());
}

std::optional<BookListRow> BookListModel::rowAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    auto cell = [&](Column column) { return data(index(row, column)).toString(); };
    return BookListRow{cell(Number),    cell(Title), cell(Category),   cell(Publisher), cell(Author),
                       cell(Price),     cell(Pages), cell(Registered), cell(Lent)};
}

QVariant BookListModel::data(const QModelIndex& index, int role) const
{
    const QVariant value = QSqlQueryModel::data(index, role);
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || value.isNull())
        return value;
    if (index.column() == Registered)
        return Conversions::shortDate(Sql::toDate(value));
    if (index.column() == Lent)
        return value.toInt() != 0 ? QStringLiteral("是") : QStringLiteral("否");
    return value;
}
