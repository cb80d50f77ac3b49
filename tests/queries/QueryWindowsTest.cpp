#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QPushButton>

#include "AccessibleTable.h"
#include "MainWindowTest.h"
#include "OpenWindows.h"
#include "Probes.h"
#include "core/ui/PublisherSuggestions.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Transaction.h"
#include "queries/ui/FrmBookQuery.h"
#include "queries/ui/FrmLendQuery.h"

namespace {

const QString kShown = QStringLiteral("查询结果如下!!");

// The query windows, opened from the main window's menu.
class QueryWindows : public MainWindowTest {
protected:
    void SetUp() override
    {
        addBasics();
        library.addBook("0012", "红楼梦", "A");
        library.addBook("00125", "红楼梦新证", "B");
        library.addBook("10012", "史记", "B", true);
        library.addBook("B004", "边城", "A");
        library.exec("UPDATE bookInfo SET 登记日期 = '2026-03-20', 出版社 = 'O''Reilly 50%_社'"
                     " WHERE 书籍编号 = 'B004'");
        library.addReader("003", "张小明");
        library.addLoan("001", "0012", "2026-03-01", "2026-03-10");
        library.addLoan("001", "0012", "2026-03-12");
        library.addLoan("003", "10012", "2026-03-02");
        library.addLoan("002", "B004", "2026-02-02", "2026-02-20");
        library.addLoan("002", "B404", "2026-03-02");  // its book is gone: never listed
        openMain();
    }
    FrmBookQuery* openBooks() { return open<FrmBookQuery>(window.mnuBookQuery); }
    FrmLendQuery* openLoans() { return open<FrmLendQuery>(window.mnuLendQuery); }
    // The first shown column of each row, sorted.
    static QString firstCells(QTableView* grid)
    {
        QStringList lines = visibleRows(grid).mid(1);
        for (QString& line : lines)
            line = line.section('|', 0, 0);
        lines.sort();
        return lines.join(',');
    }
    // Presses a button and expects "查询结果如下!!" titled "提示" and nothing else.
    void search(QPushButton* button)
    {
        prompter.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(prompter.shown.size(), 1) << prompter.texts().join('\n').toStdString();
        EXPECT_EQ(prompter.shown[0].text, kShown);
        EXPECT_EQ(prompter.shown[0].title, "提示");
    }
    // Searches as search() does and gives the first cells of the grid's rows.
    QString found(QPushButton* find, QTableView* grid)
    {
        search(find);
        return firstCells(grid);
    }
};

TEST_F(QueryWindows, BookQueryListsTheNineColumnsAndFindsByEachCriterion)
{
    FrmBookQuery* w = openBooks();
    EXPECT_EQ(QStringList({QString::number(w->cboType->count()), w->cboType->itemText(1), w->cboType->currentText(),
                           w->dtpRigDate->text()}).join('|'), "2|B-历史||2026/3/20");
    EXPECT_FALSE(w->dtpRigDate->isEnabled());

    search(w->cmdFind);
    EXPECT_EQ(visibleRows(w->booksGrid).join('\n'),
              "书籍编号|书籍名称|类别代码|出版社|作者姓名|书籍价格|书籍页码|登记日期|是否借出\n"
              "0012|红楼梦|A|人民文学出版社|不详|25.00|320|2026/1/5|否\n"
              "00125|红楼梦新证|B|人民文学出版社|不详|25.00|320|2026/1/5|否\n"
              "10012|史记|B|人民文学出版社|不详|25.00|320|2026/1/5|是\n"
              "B004|边城|A|O'Reilly 50%_社|不详|25.00|320|2026/3/20|否");

    const struct { const char* box; QString typed; bool fuzzy; QString found; } cases[] = {
        {"txtBookID", "0012", false, "0012"},
        {"txtBookID", "0012", true, "0012,00125,10012"},
        {"txtBookName", "红楼", true, "0012,00125"},
        {"txtBookConcern", "50%_", true, "B004"},
        {"txtBookConcern", "O'Reilly 50%_社", false, "B004"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("%1 %2%3").arg(c.box, c.typed, c.fuzzy ? " fuzzy" : "").toStdString());
        w->cmdClear_Click();
        w->chkMoHu->setChecked(c.fuzzy);
        typeText(w->findChild<QLineEdit*>(c.box), c.typed);
        EXPECT_EQ(found(w->cmdFind, w->booksGrid), c.found);
    }

    // The category by its item, or by text typed into the box: its first character.
    w->cmdClear_Click();
    w->chkMoHu->setChecked(false);
    w->cboType->setCurrentIndex(1);
    EXPECT_EQ(found(w->cmdFind, w->booksGrid), "00125,10012");
    w->cboType->clearEditText();
    typeText(w->cboType, "Bx");
    EXPECT_EQ(found(w->cmdFind, w->booksGrid), "00125,10012");
    EXPECT_EQ(w->cboType->count(), 2);  // typed text is not added to the list
}

// The date box switches the picker however it is ticked: the mouse, a screen
// reader's toggle, the space bar. The publisher box offers the known
// publishers as in the book windows, and a search adds none. 清空 empties
// the four boxes (the publisher list hides through the box's change) and
// leaves the check boxes and the grid.
TEST_F(QueryWindows, DateSwitchPublisherListAndClearLeavingTheCheckBoxes)
{
    for (const char* name : {"人民文学出版社", "人民出版社", "中华书局"})
        library.exec("INSERT INTO bookconcernList (出版社) VALUES (:p)", {{"p", name}});
    FrmBookQuery* w = openBooks();
    QTest::mouseClick(w->chkRigDate, Qt::LeftButton, {}, QPoint(6, w->chkRigDate->height() / 2));
    EXPECT_EQ(found(w->cmdFind, w->booksGrid), "B004");  // registered today

    w->chkMoHu->setChecked(true);
    typeText(w->txtBookID, "0");
    typeText(w->txtBookName, "边");
    typeText(w->txtBookConcern, "社");
    EXPECT_EQ(w->publisherList->isVisible() ? w->publisherList->entries().join(',') : "(hidden)",
              "人民文学出版社,人民出版社");
    w->cboType->setCurrentIndex(0);
    EXPECT_EQ(found(w->cmdFind, w->booksGrid), "B004");
    QTest::mouseClick(w->cmdClear, Qt::LeftButton);
    EXPECT_EQ(textsOf({w->txtBookID, w->txtBookName, w->cboType, w->txtBookConcern}), "|||");
    EXPECT_FALSE(w->publisherList->isVisible());
    EXPECT_TRUE(w->chkRigDate->isChecked() && w->chkMoHu->isChecked());
    EXPECT_EQ(firstCells(w->booksGrid), "B004");  // the grid stays
    EXPECT_EQ(found(w->cmdFind, w->booksGrid), "B004");  // still by date, fuzzy: the day itself
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookconcernList").toInt(), 3);

    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(w->chkRigDate);
    ASSERT_TRUE(box && box->actionInterface());
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(w->chkRigDate->isChecked() || w->dtpRigDate->isEnabled());
    // the picker still holds a date, but the box is clear
    EXPECT_EQ(found(w->cmdFind, w->booksGrid), "0012,00125,10012,B004");
    QApplication::setActiveWindow(w);
    w->chkRigDate->setFocus();
    QTest::keyClick(w->chkRigDate, Qt::Key_Space);
    EXPECT_TRUE(w->chkRigDate->isChecked() && w->dtpRigDate->isEnabled());
}

// Enter in any box searches, once: in the category box also when it accepts
// the box's completion of what was typed ("B" completed to "B-历史").
TEST_F(QueryWindows, EnterInAnyBoxOfTheBookQuerySearchesOnce)
{
    FrmBookQuery* w = openBooks();
    QApplication::setActiveWindow(w);
    w->cboType->setFocus();
    QTest::keyClicks(w->cboType, "B");
    ASSERT_EQ(w->cboType->currentText(), "B-历史");
    QTest::keyClick(w->cboType, Qt::Key_Return);
    EXPECT_EQ(prompter.texts(), QStringList{kShown});
    EXPECT_EQ(firstCells(w->booksGrid), "00125,10012");

    w->chkRigDate->setChecked(true);
    w->chkRigDate_Click();
    for (QWidget* box : std::initializer_list<QWidget*>{w->txtBookID, w->txtBookName, w->cboType,
                                                        w->txtBookConcern, w->dtpRigDate, w->chkMoHu}) {
        SCOPED_TRACE(box->objectName().toStdString());
        QApplication::setActiveWindow(w);
        box->setFocus();
        ASSERT_TRUE(box->isAncestorOf(QApplication::focusWidget()) || box->hasFocus());
        prompter.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(prompter.texts(), QStringList{kShown});
    }
    w->cmdClear->setFocus();  // a button with the focus takes Enter itself
    prompter.clear();
    QTest::keyClick(w->cmdClear, Qt::Key_Return);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(QueryWindows, LendQueryListsReturnedAndOutstandingLoans)
{
    FrmLendQuery* w = openLoans();
    EXPECT_EQ(w->dtgrdLendBook->model()->rowCount(), 0);  // no search at load
    search(w->cmdFind);
    QStringList rows = visibleRows(w->dtgrdLendBook);
    EXPECT_EQ(rows.takeFirst(), "读者编号|读者姓名|书籍编号|书籍名称|书籍类别|书籍页码|出版社|借书日期|还书日期");
    rows.sort();
    EXPECT_EQ(rows.join('\n'),
              QString("001|张三|0012|红楼梦|文学|320|人民文学出版社|2026/3/12|\n"
              "001|张三|0012|红楼梦|文学|320|人民文学出版社|2026/3/1|2026/3/10\n"
              "002|李四|B004|边城|文学|320|O'Reilly 50%_社|2026/2/2|2026/2/20\n"
              "003|张小明|10012|史记|历史|320|人民文学出版社|2026/3/2|"));

    typeText(w->txtReaderName, "张");
    EXPECT_EQ(found(w->cmdFind, w->dtgrdLendBook), "");  // exact: nobody is called 张
    w->chkMoHu->setChecked(true);
    EXPECT_EQ(found(w->cmdFind, w->dtgrdLendBook), "001,001,003");
    typeText(w->txtBookID, "12");
    EXPECT_EQ(found(w->cmdFind, w->dtgrdLendBook), "001,001,003");

    // 清空 empties the four boxes and leaves the switch and the last results.
    w->txtReaderName->setText("李四");
    w->chkMoHu->setChecked(false);
    w->txtBookID->clear();
    search(w->cmdFind);
    QTest::mouseClick(w->cmdClear, Qt::LeftButton);
    EXPECT_EQ(textsOf({w->txtReaderID, w->txtReaderName, w->txtBookID, w->txtBookName}), "|||");
    EXPECT_FALSE(w->chkMoHu->isChecked());
    EXPECT_EQ(firstCells(w->dtgrdLendBook), "002");

    // No default button: Enter in a box searches nothing.
    prompter.clear();
    QTest::keyClick(w->txtReaderID, Qt::Key_Return);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

// Both grids read their columns in the window's order, as a screen reader
// reads them, even from a library file whose book table orders its columns
// otherwise; the loan query's days and fine have no column.
TEST_F(QueryWindows, GridsReadTheirColumnsInTheWindowsOrderWhateverTheFileOrder)
{
    library.exec("CREATE TABLE moved (是否借出 INTEGER NOT NULL DEFAULT 0, 书籍价格 TEXT, 登记日期 TEXT,"
                 " 作者姓名 TEXT, 书籍页码 TEXT, 出版社 TEXT, 类别代码 TEXT, 书籍名称 TEXT, 书籍编号 TEXT)");
    library.exec("INSERT INTO moved (是否借出, 书籍价格, 登记日期, 作者姓名, 书籍页码, 出版社, 类别代码, 书籍名称, 书籍编号)"
                 " SELECT 是否借出, 书籍价格, 登记日期, 作者姓名, 书籍页码, 出版社, 类别代码, 书籍名称, 书籍编号"
                 " FROM bookInfo WHERE 书籍编号 = '10012'");
    library.exec("DROP TABLE bookInfo");
    library.exec("ALTER TABLE moved RENAME TO bookInfo");
    FrmBookQuery* books = openBooks();
    search(books->cmdFind);
    EXPECT_EQ(accessibleRows(books->booksGrid),
              QStringList({"书籍编号|书籍名称|类别代码|出版社|作者姓名|书籍价格|书籍页码|登记日期|是否借出",
                           "10012|史记|B|人民文学出版社|不详|25.00|320|2026/1/5|是"}));
    FrmLendQuery* loans = openLoans();
    search(loans->cmdFind);
    EXPECT_EQ(accessibleRows(loans->dtgrdLendBook),
              QStringList({"读者编号|读者姓名|书籍编号|书籍名称|书籍类别|书籍页码|出版社|借书日期|还书日期",
                           "003|张小明|10012|史记|历史|320|人民文学出版社|2026/3/2|"}));
}

// 借阅查询 opens ready for a reader number; Tab visits the criteria and the
// buttons, then the grid, then the reader box again.
TEST_F(QueryWindows, LendQueryOpensInTheReaderNumberAndTabsToTheGridLast)
{
    FrmLendQuery* w = openLoans();
    QApplication::setActiveWindow(w);
    ASSERT_EQ(QApplication::focusWidget(), w->txtReaderID);
    QStringList visited;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited.join(','), "txtReaderName,txtBookID,txtBookName,chkMoHu,cmdFind,cmdClear,cmdClose,"
                                 "dtgrdLendBook,txtReaderID");
}

// A refused search tells the clerk what failed and the window goes on.
TEST_F(QueryWindows, RefusedSearchShowsTheEnginesWords)
{
    FrmBookQuery* books = openBooks();
    FrmLendQuery* loans = openLoans();
    library.exec("ALTER TABLE bookInfo RENAME TO gone");
    for (QPushButton* find : {books->cmdFind, loans->cmdFind}) {
        prompter.clear();
        find->click();
        ASSERT_EQ(prompter.shown.size(), 2);
        EXPECT_EQ(prompter.shown[0].text, kShown);
        EXPECT_TRUE(prompter.shown[1].text.startsWith("查询失败!\n数据库报告: no such table: bookInfo"))
            << prompter.shown[1].text.toStdString();
    }
    library.exec("ALTER TABLE gone RENAME TO bookInfo");
    EXPECT_EQ(found(books->cmdFind, books->booksGrid), "0012,00125,10012,B004");
}

// Thousands of books: the grid holds only the rows scrolled to so far, and
// desk work meanwhile, even rolled back, loses none of the rest. Rows let go
// of are read again by key when the grid comes back to them; a read that
// fails is told once, with the store's words, and its rows read as
// unreadable, never as empty books.
TEST_F(QueryWindows, LargeResultsAreFetchedAsTheGridScrollsAndNoRowIsLostOrShownEmpty)
{
    library.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                 " INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 登记日期, 是否借出)"
                 " SELECT printf('X%05d', i), '书' || i, 'A', '2026-01-05', 0 FROM n");
    FrmBookQuery* w = openBooks();
    search(w->cmdFind);
    QAbstractItemModel* rows = w->booksGrid->model();
    EXPECT_LT(rows->rowCount(), 1000);
    ASSERT_TRUE(rows->canFetchMore({}));
    {
        Transaction refused("测试");
        library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = 'B004'");
    }  // rolled back
    {
        Transaction lent("测试");
        library.exec("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = '0012'");
        lent.commit();
    }
    for (int i = 0; i < 40 && rows->canFetchMore({}); ++i) {
        w->booksGrid->scrollToBottom();
        QApplication::processEvents();
    }
    ASSERT_EQ(rows->rowCount(), 3004);
    EXPECT_EQ(rows->index(3003, 0).data().toString(), "X03000");  // the first pages are let go of
    EXPECT_EQ(storeRows("SELECT 是否借出 FROM bookInfo WHERE 书籍编号 IN ('0012', 'B004')"), "1,0");

    library.exec("ALTER TABLE bookInfo RENAME TO gone");
    prompter.clear();
    EXPECT_EQ(rows->index(0, 0).data().toString(), "（无法读取）");
    EXPECT_EQ(rows->index(1, 1).data().toString(), "（无法读取）");
    QApplication::processEvents();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].text.startsWith("查询失败!\n数据库报告: no such table: bookInfo"))
        << prompter.shown[0].text.toStdString();
    library.exec("ALTER TABLE gone RENAME TO bookInfo");
}

// At the design size, in each of the three styles with the skins we ship,
// every heading shows whole, the longest date is not cut short, and all nine
// columns lie within the grid without scrolling sideways.
TEST_F(QueryWindows, ColumnsFitTheirHeadingsAndDatesInEveryStyle)
{
    QDir(library.dir()).mkpath("style");
    for (const QString& skin : {AppInfo::kTypeStyleFile, AppInfo::kLightStyleFile})
        ASSERT_TRUE(QFile::copy(QDir(SHELFMARK_DATA_DIR).filePath(skin), library.path(skin)));
    library.addLoan("002", "B004", "2026-12-28", "2026-12-31");
    for (QAction* style : {window.meuWinStyle, window.meuTypeStyle, window.meuLight}) {
        style->trigger();
        FrmBookQuery* books = openBooks();
        FrmLendQuery* loans = openLoans();
        for (QPushButton* find : {books->cmdFind, loans->cmdFind})
            search(find);
        for (QTableView* grid : {books->booksGrid, loans->dtgrdLendBook}) {
            SCOPED_TRACE((style->text() + " " + grid->objectName()).toStdString());
            const QHeaderView* header = grid->horizontalHeader();
            const QAbstractItemView* cells = grid;
            for (int logical = 0; logical < header->count(); ++logical) {
                const QString heading = grid->model()->headerData(logical, Qt::Horizontal).toString();
                const int dates = heading.endsWith("日期") ? cells->sizeHintForColumn(logical) : 0;
                if (!header->isSectionHidden(logical))  // the heading whole, and the longest date
                    EXPECT_GE(header->sectionSize(logical), std::max(header->sectionSizeHint(logical), dates))
                        << heading.toStdString();
            }
            EXPECT_LE(header->length(), grid->viewport()->width());
        }
        closeNow(books);
        closeNow(loans);
    }
}

}  // namespace
