#include "circulation/logic/BookLookup.h"

#include "circulation/logic/DeskStatements.h"
#include "core/logic/Sql.h"

namespace BookLookup {

std::optional<BookOnDesk> find(const QString& bookNumber)
{
    return Sql::withKept(
        DeskStatements::bookLookup(),
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
