#include <QSignalSpy>
#include <gtest/gtest.h>

#include "TempLibrary.h"
#include "core/logic/KeyedResultModel.h"
#include "core/logic/KeyedStatement.h"

namespace {

// A step that fails part way through a result (here the engine's integer
// overflow from the 301st row on, as a busy or damaged file would fail it):
// the rows read before stay, the grid is told, and no more rows are offered.
TEST(KeyedResultModel, AStepThatFailsPartWayIsToldAndTheRowsReadStay)
{
    if (TempLibrary::onServer())
        GTEST_SKIP() << "the server's results are read whole when they run: a failure is the run's own";
    TempLibrary library;
    library.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 600)"
                 " INSERT INTO bookInfo (书籍编号, 类别代码) SELECT printf('X%05d', i), 'A' FROM n");
    KeyedResultModel model(QStringLiteral("查询"));
    QSignalSpy failed(&model, &KeyedResultModel::readFailed);
    model.run({"select 书籍编号 from bookInfo"
               " where case when rowid > 300 then abs(rowid - rowid - 9223372036854775807 - 1) else 1 end",
               {}, "bookInfo.rowid", "select 书籍编号 from bookInfo where rowid = ?"});
    while (model.canFetchMore())
        model.fetchMore();
    EXPECT_EQ(model.rowCount(), 300);
    EXPECT_EQ(model.index(299, 0).data().toString(), "X00300");
    ASSERT_TRUE(failed.wait(2000));
    ASSERT_EQ(failed.size(), 1);
    const QString message = failed.first().first().toString();
    EXPECT_TRUE(message.startsWith("查询失败!") && message.contains("integer overflow")) << message.toStdString();
}

}  // namespace
