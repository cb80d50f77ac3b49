#include <QLabel>
#include <QPdfWriter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "AccessibleTable.h"
#include "MainWindowTest.h"
#include "Probes.h"
#include "reports/ui/FrmOverdue.h"

namespace {

// Today is 20 March 2026: 张三 keeps 红楼梦 33 days too long, 李四 keeps 史记
// 39 days too long and 边城 is not due yet.
class OverdueWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        addBasics();
        library.exec("UPDATE readerInfo SET 所在部门 = '办公室' WHERE 读者编号 = '001'");
        library.exec("UPDATE readerInfo SET 所在部门 = '文学院' WHERE 读者编号 = '002'");
        library.addBook("B001", "红楼梦", "A", true);
        library.addBook("B002", "史记", "B", true);
        library.addBook("B003", "边城", "A", true);
        library.addLoan("001", "B001", "2026-02-01");
        library.addLoan("002", "B002", "2026-01-10");
        library.addLoan("002", "B003", "2026-03-10");
        openMain();
    }
    FrmOverdue* openOverdue() { return open<FrmOverdue>(window.findChild<QAction*>("mnuOverdue")); }
    QTemporaryDir scratch;
};

TEST_F(OverdueWindow, ListsTheOverdueLoansFiltersAndTotalsThem)
{
    FrmOverdue* w = openOverdue();
    ASSERT_TRUE(w);
    EXPECT_EQ(accessibleRows(w->overdueGrid),
              QStringList({"读者编号|读者姓名|所在部门|联系电话|书籍编号|书籍名称|借书日期|应还日期|超出天数|应付罚款|催还次数",
                           "001|张三|办公室|0571-8888|B001|红楼梦|2026/2/1|2026/2/15|33|3.3|0",
                           "002|李四|文学院|0571-8888|B002|史记|2026/1/10|2026/2/9|39|3.9|0"}));
    EXPECT_EQ(w->lblTotals->text(), "读者 2 人, 图书 2 册, 罚款合计 7.2 元");
    w->cboDepartment->setCurrentText("文学院");
    EXPECT_EQ(w->lblTotals->text(), "读者 1 人, 图书 1 册, 罚款合计 3.9 元");
    w->cboDepartment->setCurrentIndex(0);  // 全部
    w->spnMinDays->setValue(34);
    EXPECT_EQ(gridRows(w->overdueGrid, 1), "002");
}

// A long title is shortened so that every column stays in sight.
TEST_F(OverdueWindow, ALongTitleLeavesEveryColumnInSight)
{
    library.exec("UPDATE bookInfo SET 书籍名称 = 'AutoCAD与Photoshop案例教程（第三版）：建筑与室内设计实例精讲'"
                 " WHERE 书籍编号 = 'B001'");
    FrmOverdue* w = openOverdue();
    ASSERT_TRUE(w);
    QTableView* grid = w->overdueGrid;
    const int last = grid->model()->columnCount() - 1;
    EXPECT_LE(grid->columnViewportPosition(last) + grid->columnWidth(last), grid->viewport()->width());
}

// Reminders are recorded only after letters were printed, once each time.
TEST_F(OverdueWindow, RemindersAreRecordedOnlyAfterAPrint)
{
    FrmOverdue* w = openOverdue();
    ASSERT_TRUE(w);
    w->setPrintLetters([](QWidget*, const auto&, const auto&) { return false; });  // cancelled
    w->cmdPrint->click();
    EXPECT_FALSE(w->cmdRecord->isEnabled());

    const QString pdf = scratch.filePath("letters.pdf");
    w->setPrintLetters([&](QWidget*, const auto& letters, const auto& options) {
        QPdfWriter writer(pdf);
        return ReminderLetters::paint(&writer, letters, options);
    });
    w->cmdPrint->click();
    ASSERT_TRUE(w->cmdRecord->isEnabled());
    w->cmdRecord->click();
    EXPECT_EQ(shown(), "本次催还已记录!");
    EXPECT_FALSE(w->cmdRecord->isEnabled());
    EXPECT_EQ(gridRows(w->overdueGrid), "001|张三|办公室|0571-8888|B001|红楼梦|2026/2/1|2026/2/15|33|3.3|1,"
                                        "002|李四|文学院|0571-8888|B002|史记|2026/1/10|2026/2/9|39|3.9|1");
    EXPECT_EQ(storeRows("SELECT 催还日期 FROM overdueReminders"), "2026-03-20,2026-03-20");
    EXPECT_TRUE(pdfText(pdf, true).contains("红楼梦"));
}

// shelfmark-db overdue writes the same list as CSV and the letters as PDF,
// with titles or only their count.
TEST_F(OverdueWindow, TheCommandLineWritesTheListAndTheLetters)
{
    const QString csv = scratch.filePath("overdue.csv"), pdf = scratch.filePath("letters.pdf"),
                  counts = scratch.filePath("postcards.pdf");
    for (const QStringList& extra : {QStringList{"--csv", csv, "--pdf", pdf}, QStringList{"--pdf", counts, "--no-titles"}}) {
        const Ran tool = runProgram(SHELFMARK_DB, QStringList{"overdue", library.dir(), "--as-of", "2026-03-20"} + extra);
        ASSERT_EQ(tool.exitCode, 0) << tool.err.toStdString();
    }
    EXPECT_EQ(bytesOf(csv), QByteArray("\xEF\xBB\xBF"
                                       "读者编号,读者姓名,所在部门,联系电话,书籍编号,书籍名称,借书日期,应还日期,超出天数,应付罚款,催还次数\r\n"
                                       "001,张三,办公室,0571-8888,B001,红楼梦,2026/2/1,2026/2/15,33,3.3,0\r\n"
                                       "002,李四,文学院,0571-8888,B002,史记,2026/1/10,2026/2/9,39,3.9,0\r\n"));
    const QString letters = pdfText(pdf, true);
    for (const char* expected : {"读者: 张三 (001)", "部门: 办公室", "B001 《红楼梦》 应还日期 2026/2/15, 超出 33 天, 罚款 3.3 元",
                                 "读者: 李四 (002)", "B002 《史记》 应还日期 2026/2/9, 超出 39 天, 罚款 3.9 元",
                                 "罚款合计: 3.9 元", "日期: 2026年3月20日"})
        EXPECT_TRUE(letters.contains(QString::fromUtf8(expected))) << expected << "\n" << letters.toStdString();
    EXPECT_EQ(letters.count("图书催还通知单"), 2);
    const QString postcards = pdfText(counts, true);
    EXPECT_TRUE(postcards.contains("超期图书 1 册"));
    EXPECT_FALSE(postcards.contains("红楼梦"));
}

}  // namespace
