#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "TempLibrary.h"
#include "queries/logic/QueryBuilder.h"

namespace {

// Whatever the clerk types reaches the store as a bound value, never as
// statement text, in every criterion of both searches, exact or fuzzy.
// Which rows they find, QueryScanTest judges.
TEST(QueryBuilders, BindEveryValueTheClerkTyped)
{
    const QString typed = "x'; DROP TABLE bookInfo; --";
    TempLibrary library;  // fuzzy searches ask it whether the search index holds marks
    for (bool fuzzy : {false, true}) {
        SCOPED_TRACE(fuzzy ? "fuzzy" : "exact");
        const KeyedStatement statements[] = {
            BuildBookQuery({.bookId = typed, .bookName = typed, .categoryCode = typed, .publisher = typed,
                            .registered = QDate(2026, 3, 20)},
                           fuzzy),
            BuildLendQuery({.bookId = typed, .bookName = typed, .readerId = typed, .readerName = typed}, fuzzy),
        };
        for (const KeyedStatement& statement : statements) {
            EXPECT_FALSE(statement.text.contains("DROP") || statement.text.contains("2026"))
                << statement.text.toStdString();
            EXPECT_GE(statement.values.size(), 4);
            EXPECT_EQ(statement.text.count('?'), statement.values.size());
            // The only quotes in the text are the escape character's.
            EXPECT_EQ(statement.text.count('\''), 2 * statement.text.count("escape '\\'"));
        }
    }
}

}  // namespace
