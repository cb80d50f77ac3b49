#include <gtest/gtest.h>

#include "TempLibrary.h"
#include "core/logic/KeyedResultModel.h"
#include "queries/logic/QueryBuilder.h"

// A fuzzy book search shows its books a page at a time in key order. On the
// server a page first walks the next books in key order and asks the words
// index only when the walk falls short, so the matches here lie where either
// way alone would go wrong: packed at the start (the walk fills the first
// page and part of the second), absent for twenty thousand books, then sparse,
// with decoys that hold every pair of the text but not the text itself.
namespace {

TEST(FuzzyBookPages, EveryBookFoundInKeyOrderWhereverTheMatchesLie)
{
    TempLibrary library;
    library.addCategory("A", "文学", 14);
    library.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 23000)"
                 " INSERT INTO bookInfo (书籍编号, 书籍名称, 出版社, 类别代码)"
                 " SELECT 'B' || i, '书' || i, CASE"
                 "  WHEN i <= 600 AND i % 2 = 0 THEN '人民文学出版社'"
                 "  WHEN i IN (20479, 20481, 20483, 20991, 20993, 21000, 22000, 23000) THEN '人民文学出版社'"
                 "  WHEN i IN (601, 20482, 21500) THEN '人民文化与民文学会'"
                 "  WHEN i = 21111 THEN '苏州大学出版社'"
                 "  ELSE '出版社' || (i % 7) END, 'A' FROM n");
    for (const char* text : {"人民文学", "苏州", "民文", "学版"}) {
        SCOPED_TRACE(text);
        const QStringList expected = library.column(
            "SELECT 书籍编号 FROM bookInfo WHERE 出版社 LIKE :text ORDER BY rowid", {{"text", QStringLiteral("%%1%").arg(text)}});
        KeyedResultModel model("查询");
        model.run(BuildBookQuery({.publisher = text}, true));
        while (model.canFetchMore())
            model.fetchMore();
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown << model.index(row, model.columnOf("书籍编号")).data().toString();
        EXPECT_EQ(shown, expected);
    }
}

}  // namespace
