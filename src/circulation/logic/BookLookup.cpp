#include "circulation/logic/BookLookup.h"

#include "core/logic/Sql.h"

namespace BookLookup {

std::optional<BookOnDesk> find(const QString& bookNumber)
{
    return Sql::withKept(
        QStringLiteral("SELECT bookInfo.书籍名称, bookInfo.书籍价格, bookInfo.出版社, bookInfo.书籍页码,"
                       " bookInfo.是否借出, bookType.书籍类别 FROM bookInfo, bookType"
                       " WHERE bookInfo.书籍编号 = :book AND bookInfo.类别代码 = bookType.类别代码"
                       " LIMIT 1"),
        {{QStringLiteral("book"), bookNumber}}, QStringLiteral("查找图书"),
        [](QSqlQuery& query) -> std::optional<BookOnDesk> {
            if (!query.next())
                return std::nullopt;
            BookOnDesk book;
            book.title = query.value(0).toString();
            book.price = query.value(1).toString();
            book.publisher = query.value(2).toString();
            book.pages = query.value(3).toString();
            book.lent = query.value(4).toInt() != 0;
            book.category = query.value(5).toString();
            return book;
        });
}

}  // namespace BookLookup
