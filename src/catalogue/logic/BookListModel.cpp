#include "catalogue/logic/BookListModel.h"

#include "core/logic/Sql.h"

namespace {
QString columns()
{
    return QStringLiteral(
               "select bookInfo.书籍编号,bookInfo.书籍名称,bookType.书籍类别,bookInfo.出版社,"
               " bookInfo.作者姓名,bookInfo.书籍价格,bookInfo.书籍页码,bookInfo.登记日期,bookInfo.是否借出"
               " from bookInfo, bookType where ")
           + Sql::sameText(QStringLiteral("bookType.类别代码"), QStringLiteral("bookInfo.类别代码"));
}
}  // namespace

BookListModel::BookListModel(QObject* parent) : KeyedResultModel(QStringLiteral("读取书库"), parent)
{
}

KeyedStatement BookListModel::statement()
{
    const QString select = columns();
    return {select + QStringLiteral(" order by bookInfo.rowid"), {}, QStringLiteral("bookInfo.rowid"),
            select + QStringLiteral(" and bookInfo.rowid = ?")};
}

void BookListModel::load()
{
    run(statement());
}

std::optional<BookListRow> BookListModel::rowAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    auto cell = [&](Column column) { return data(index(row, column)).toString(); };
    return BookListRow{cell(Number),    cell(Title), cell(Category),   cell(Publisher), cell(Author),
                       cell(Price),     cell(Pages), cell(Registered), cell(Lent)};
}
