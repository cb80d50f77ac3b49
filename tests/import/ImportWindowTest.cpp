#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "MainWindowTest.h"
#include "Probes.h"
#include "core/logic/TextFile.h"
#include "import/ui/FrmImport.h"

namespace {

struct ImportWindow : MainWindowTest {
    void SetUp() override
    {
        addBasics();
        library.addBook("B001", "红楼梦", "A");
        openMain();
    }
    FrmImport* openImport(const char* item)
    {
        FrmImport* w = open<FrmImport>(get<QAction>(item));
        if (w)
            w->setChooseFile([this](QWidget*, bool forSaving) { return library.path(forSaving ? "skipped.csv" : "in.csv"); });
        return w;
    }
    // Chooses the field in a column's box with the keyboard, as the clerk
    // does: Home, then Down at most once per item (a box that jumps back
    // must fail the test, not keep it pressing for ever).
    static void chooseField(FrmImport* w, int column, const QString& field)
    {
        QComboBox* box = w->fieldBox(column);
        ASSERT_TRUE(box);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (int presses = box->count(); box->currentText() != field && presses > 0; --presses)
            QTest::keyClick(box, Qt::Key_Down);
    }
};

TEST_F(ImportWindow, ShowsEveryRowWithItsProblemAndImportsTheGoodOnes)
{
    putBytes(library.path("in.csv"), TextFile::encode("书号,书籍名称,类别代码,书籍价格,备注\r\n"
                                                      "B100,围城,A,19,\"新到,待上架\"\r\n"
                                                      "B001,重复,A,10,\r\n"
                                                      "B101,怪类别,Q,10,\r\n"));
    FrmImport* w = openImport("mnuImportBooks");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->cmdImport->isEnabled());
    QTest::mouseClick(w->cmdChoose, Qt::LeftButton);
    EXPECT_EQ(w->txtFile->text(), library.path("in.csv"));
    // 书号 is no column name: until it is mapped, every row lacks its number.
    EXPECT_EQ(visibleRows(w->previewGrid),
              (QStringList{"行号|处理|问题|书号 (不导入)|书籍名称|类别代码|书籍价格|备注 (不导入)",
                           "2|跳过|缺少书籍编号|B100|围城|A|19|新到,待上架",
                           "3|跳过|缺少书籍编号|B001|重复|A|10|",
                           "4|跳过|缺少书籍编号; 类别代码 Q 不存在|B101|怪类别|Q|10|"}));
    chooseField(w, 0, "书籍编号");
    EXPECT_EQ(visibleRows(w->previewGrid),
              (QStringList{"行号|处理|问题|书号 → 书籍编号|书籍名称|类别代码|书籍价格|备注 (不导入)",
                           "2|导入||B100|围城|A|19|新到,待上架",
                           "3|跳过|书籍编号已在库中|B001|重复|A|10|",
                           "4|跳过|类别代码 Q 不存在|B101|怪类别|Q|10|"}));
    EXPECT_EQ(w->lblSummary->text(), "编码: GB18030; 共 3 行数据: 将导入 1 行, 跳过 2 行。已在库中的编号不会被覆盖。");
    ASSERT_TRUE(w->cmdImport->isEnabled());

    answer({true});
    QTest::mouseClick(w->cmdImport, Qt::LeftButton);
    EXPECT_EQ(shown(), "将导入图书 1 行, 跳过 2 行。是否继续?\n已导入图书 1 行, 跳过 2 行。");
    EXPECT_EQ(storeRows("SELECT 书籍编号, 书籍名称, 出版社, 作者姓名, 书籍页码, 登记日期, 是否借出 FROM bookInfo"
                        " ORDER BY 书籍编号"),
              "B001|红楼梦|人民文学出版社|不详|320|2026-01-05|0,B100|围城|不详|不详|不详|2026-03-20|0");
    EXPECT_EQ(w->lblSummary->text(), "编码: GB18030; 共 3 行数据: 已导入 1 行, 跳过 2 行。已在库中的编号不会被覆盖。");
    EXPECT_FALSE(w->cmdImport->isEnabled());

    prompter.clear();
    QTest::mouseClick(w->cmdSaveSkipped, Qt::LeftButton);
    EXPECT_EQ(shown(), "跳过的 2 行已保存到 " + library.path("skipped.csv"));
    EXPECT_EQ(bytesOf(library.path("skipped.csv")), QByteArray("\xEF\xBB\xBF书号,书籍名称,类别代码,书籍价格,备注,问题\r\n"
                                                             "B001,重复,A,10,,书籍编号已在库中\r\n"
                                                             "B101,怪类别,Q,10,,类别代码 Q 不存在\r\n"));
}

TEST_F(ImportWindow, ACancelledQuestionOrAnUnreadableFileWritesNothing)
{
    putBytes(library.path("in.csv"), "\xEF\xBB\xBF读者编号,读者姓名\n060,吴十\n");
    FrmImport* w = openImport("mnuImportReaders");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "导入读者");
    QTest::mouseClick(w->cmdChoose, Qt::LeftButton);
    EXPECT_EQ(w->lblSummary->text(), "编码: UTF-8 (带 BOM); 共 1 行数据: 将导入 1 行, 跳过 0 行。已在库中的编号不会被覆盖。");
    EXPECT_FALSE(w->cmdSaveSkipped->isEnabled());
    answer({false});
    QTest::mouseClick(w->cmdImport, Qt::LeftButton);
    EXPECT_EQ(library.scalar("SELECT count(*) FROM readerInfo").toInt(), 2);
    EXPECT_TRUE(w->cmdImport->isEnabled());

    prompter.clear();
    w->openFile(library.path("missing.csv"));
    EXPECT_TRUE(shown().startsWith("无法读取文件 " + library.path("missing.csv"))) << shown().toStdString();
    putBytes(library.path("empty.csv"), "");
    prompter.clear();
    w->openFile(library.path("empty.csv"));
    EXPECT_EQ(shown(), "文件 " + library.path("empty.csv") + " 是空的: 第一行应是列标题。");
    EXPECT_EQ(w->txtFile->text(), library.path("in.csv"));
}

}  // namespace
