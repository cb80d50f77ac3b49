#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include "AccessibleTable.h"
#include "MainWindowTest.h"
#include "OpenWindows.h"
#include "Probes.h"
#include "catalogue/logic/Books.h"
#include "catalogue/ui/FrmAddnew.h"
#include "catalogue/ui/FrmSetBook.h"
#include "catalogue/ui/FrmShelfmark.h"
#include "catalogue/ui/FrmUpdateBook.h"
#include "core/ui/PublisherSuggestions.h"

namespace {

// A small catalogue; the catalogue windows open from the main window's menus.
class CatalogueWindows : public MainWindowTest {
protected:
    void SetUp() override
    {
        addBasics();
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "史记", "B", true);
        for (const char* name : {"人民文学出版社", "人民出版社", "中华书局"})
            library.exec("INSERT INTO bookconcernList (出版社) VALUES (:p)", {{"p", QString::fromUtf8(name)}});
        openMain();
    }

    FrmAddnew* addNew() { return open<FrmAddnew>(window.meuAddNewBook); }
    FrmShelfmark* shelf() { return open<FrmShelfmark>(window.mnuShelfmark); }
    FrmSetBook* categories() { return open<FrmSetBook>(window.mnuSetBook); }
    FrmUpdateBook* editRow(FrmShelfmark* list, int row)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // a window closed before
        list->booksGrid->setCurrentIndex(list->booksGrid->model()->index(row, 0));
        list->cmdModify->click();
        return openWindow<FrmUpdateBook>();
    }
    // Fills the new-book window's required boxes and saves.
    static void saveNewBook(FrmAddnew* w, const char* number, const char* title, const char* price, int category = 0)
    {
        w->txtBookID->setText(number);
        w->txtBookName->setText(QString::fromUtf8(title));
        w->cboType->setCurrentIndex(category);
        w->txtBookPrice->setText(price);
        w->cmdSave->click();
    }
    // Clicks a button and gives the messages it brought.
    QString press(QPushButton* button)
    {
        prompter.clear();
        button->click();
        return shown();
    }
    static QString books()
    {
        return storeRows("SELECT 书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格, 书籍页码, 登记日期, 是否借出 FROM bookInfo ORDER BY rowid");
    }
    static QString publishers() { return storeRows("SELECT 出版社 FROM bookconcernList ORDER BY rowid"); }
    static QString categoryRows() { return storeRows("SELECT 类别代码, 书籍类别, 借出天数 FROM bookType ORDER BY rowid"); }
};

// ---- new books ----------------------------------------------------------------

// The checks in their order: each stops the save with its message and writes
// nothing; the defaults stand in the boxes as far as the save got. A second
// save of the same number is refused; "清空" empties seven boxes and keeps
// the date. (What is typed is stored as typed, blanks and all:
// BadInputInBooks.)
TEST_F(CatalogueWindows, NewBookChecksInOrderRefusesItsNumberTwiceAndClears)
{
    FrmAddnew* w = addNew();
    EXPECT_EQ(w->cboType->currentText(), "");  // nothing chosen at load
    EXPECT_EQ(w->dtpRigDate->date(), QDate(2026, 3, 20));
    w->dtpRigDate->setDate(QDate(2026, 2, 14));
    const struct { const char* id; const char* name; int category; const char* price; const char* message;
                   const char* title; const char* after; } cases[] = {
        // after: publisher|author|pages|price
        {"", "", -1, "", "请输入书籍编号!", "澄岳图书管理系统", "|||"},
        {"B100", "", 0, "9", "请输入书籍名称!", "澄岳图书管理系统", "|||9"},
        {"B100", "围城", -1, "9", "请选择书籍类别!", "澄岳图书管理系统", "|||9"},
        {"B100", "围城", 1, "", "请输入书籍价格!", "澄岳图书管理系统", "不详|不详||"},
        {"B100", "围城", 1, "19.8", "新书添加完毕", "提示", "不详|不详|不详|19.8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        w->cmdClear->click();
        prompter.clear();
        saveNewBook(w, c.id, c.name, c.price, c.category);
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(prompter.lastText(), QString::fromUtf8(c.message));
        EXPECT_EQ(prompter.shown[0].title, QString::fromUtf8(c.title));
        EXPECT_EQ(textsOf({w->txtBookConcern, w->txtWriter, w->txtPage, w->txtBookPrice}), QString::fromUtf8(c.after));
    }
    w->cmdSave->click();
    EXPECT_EQ(prompter.lastText(), "编号为B100的书籍已经存在,请换一个书籍编号!");
    EXPECT_EQ(books(), "B001|红楼梦|A|人民文学出版社|不详|25.00|320|2026-01-05|0,"
                       "B002|史记|B|人民文学出版社|不详|25.00|320|2026-01-05|1,"
                       "B100|围城|B|不详|不详|19.8|不详|2026-02-14|0");
    EXPECT_EQ(publishers(), "人民文学出版社,人民出版社,中华书局,不详");
    EXPECT_EQ(textsOf({w->txtBookID, w->txtBookName, w->cboType}), "B100|围城|B-历史");  // boxes kept

    w->txtBookConcern->setText("人民");
    ASSERT_TRUE(w->publisherList->isVisible());
    w->cmdClear->click();
    EXPECT_EQ(textsOf({w->txtBookID, w->txtBookName, w->cboType, w->txtBookConcern, w->txtWriter, w->txtPage,
                     w->txtBookPrice}), "||||||");
    EXPECT_EQ(w->dtpRigDate->date(), QDate(2026, 2, 14));
    EXPECT_FALSE(w->publisherList->isVisible());
}

// "关闭" shows the new book in the open book list; the close box does not.
TEST_F(CatalogueWindows, NewBookCloseButtonRefreshesTheBookListAndTheCloseBoxDoesNot)
{
    FrmShelfmark* list = shelf();
    for (const auto& [number, viaButton] : {std::pair{"B301", false}, std::pair{"B302", true}}) {
        list->cmdAdd->click();  // the list opens the same new-book window as the menu
        FrmAddnew* w = openWindow<FrmAddnew>();
        ASSERT_TRUE(w);
        saveNewBook(w, number, "新书", "1");
        viaButton ? w->cmdClose->click() : (void)w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(openWindow<FrmAddnew>());
        EXPECT_EQ(gridRows(list->booksGrid, 1), viaButton ? "B001,B002,B301,B302" : "B001,B002") << number;
    }
}

// ---- publisher suggestions ------------------------------------------------------

// One look-up per change: the list shows under the box while something
// matches, hides when nothing does or the text is blank (keeping its rows:
// no look-up ran), and a click on a name takes it and hides the list.
TEST_F(CatalogueWindows, SuggestionsShowWhileSomethingMatchesAndAClickTakesTheName)
{
    FrmAddnew* w = addNew();
    PublisherSuggestions* list = w->publisherList;
    EXPECT_FALSE(list->isVisible());
    const struct { const char* typed; bool visible; const char* rows; } steps[] = {
        {"人", true, "人民文学出版社,人民出版社"},
        {"人民文x", false, ""},
        {" 书局 ", true, "中华书局"},
        {"   ", false, "中华书局"},  // blank: hidden, and the rows of the last look-up stay
        {"出版", true, "人民文学出版社,人民出版社"},
    };
    for (const auto& step : steps) {
        w->txtBookConcern->setText(QString::fromUtf8(step.typed));
        EXPECT_EQ(list->isVisible(), step.visible) << step.typed;
        EXPECT_EQ(list->entries().join(','), QString::fromUtf8(step.rows)) << step.typed;
    }
    // Shown inside the window, over the date picker below the box.
    EXPECT_TRUE(w->rect().contains(list->geometry()));
    EXPECT_EQ(w->childAt(w->dtpRigDate->mapTo(w, QPoint(4, 4)))->objectName(), "qt_scrollarea_viewport");

    // The publisher box's text, and whether the list shows.
    const auto taken = [&] { return w->txtBookConcern->text() + (list->isVisible() ? " (list shown)" : ""); };
    const QRect second = list->visualRect(list->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(taken(), "人民出版社");

    // From the keyboard: Down into the list, Enter takes the name.
    w->txtBookConcern->setText("人民");
    w->txtBookConcern->setFocus();
    QTest::keyClick(w->txtBookConcern, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(taken(), "人民文学出版社");

    // Saving with an empty box puts "不详" there; once known, it is offered.
    library.exec("INSERT INTO bookconcernList (出版社) VALUES ('不详')");
    w->txtBookConcern->clear();
    saveNewBook(w, "B100", "围城", "19.8");
    EXPECT_EQ(taken(), "不详 (list shown)");
}

// ---- editing ----------------------------------------------------------------------

// The edit window takes over the row, the date the stored one, and no
// suggestion shows until the clerk types. The save keeps the lent flag and
// the list shows the change. (Each box stored as typed, and the publisher
// remembered: BadInputInBooks.)
TEST_F(CatalogueWindows, EditTakesOverTheRowAndSavesKeepingTheLentFlag)
{
    FrmShelfmark* list = shelf();
    FrmUpdateBook* w = editRow(list, 1);
    ASSERT_TRUE(w);
    EXPECT_EQ(textsOf({w->txtBookID, w->txtBookName, w->cboType, w->txtBookConcern, w->txtWriter, w->txtPrice,
                     w->txtPage}), "B002|史记|B-历史|人民文学出版社|不详|25.00|320");
    EXPECT_EQ(w->dtpRigDate->date(), QDate(2026, 1, 5));
    EXPECT_FALSE(w->txtBookID->isEnabled());
    EXPECT_FALSE(w->publisherList->isVisible());  // the publisher matched, but the window was taking over
    w->txtBookConcern->setText("人民");
    EXPECT_TRUE(w->publisherList->isVisible());

    w->txtBookName->setText("史记(校注本)");
    w->txtBookConcern->setText(" 岳麓书社 ");
    w->dtpRigDate->setDate(QDate(2025, 12, 31));
    w->cmdSave->click();
    EXPECT_EQ(shown(), "保存修改完毕!");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(openWindow<FrmUpdateBook>());
    EXPECT_EQ(books(), "B001|红楼梦|A|人民文学出版社|不详|25.00|320|2026-01-05|0,"
                       "B002|史记(校注本)|B| 岳麓书社 |不详|25.00|320|2025-12-31|1");
    EXPECT_EQ(gridRows(list->booksGrid, 2), "B001|红楼梦,B002|史记(校注本)");
}

// The edit window takes the book's category from the store by its number,
// not from the name the list showed: a category renamed or deleted since the
// list was read, or two categories of one name, never move the book.
TEST_F(CatalogueWindows, EditKeepsTheBooksOwnCategory)
{
    library.addCategory("C", "文学", 60);  // named like A, later in the table
    library.addBook("B003", "围城", "C");
    FrmShelfmark* list = shelf();
    library.exec("UPDATE bookType SET 书籍类别 = '古典文学' WHERE 类别代码 = 'A'");  // renamed since

    const struct { int row; const char* shown; const char* code; } books[] = {
        {0, "A-古典文学", "A"}, {2, "C-文学", "C"}};
    for (const auto& book : books) {
        SCOPED_TRACE(book.code);
        FrmUpdateBook* w = editRow(list, book.row);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->cboType->currentText(), book.shown);
        w->cmdSave->click();
    }
    EXPECT_EQ(storeRows("SELECT 类别代码 FROM bookInfo ORDER BY rowid"), "A,B,C");

    // A category deleted since: the window names the code and keeps it
    // unless the clerk chooses another.
    closeNow(list);
    list = shelf();
    library.exec("DELETE FROM bookType WHERE 类别代码 = 'B'");
    prompter.clear();
    FrmUpdateBook* w = editRow(list, 1);
    ASSERT_TRUE(w);
    EXPECT_EQ(shown(), "该书的类别代码B已经不是图书类别,请重新选择书籍类别!");
    w->cmdSave->click();
    w = editRow(list, 1);  // B002 has left the list: B003, of C
    ASSERT_TRUE(w);
    w->cboType->setCurrentIndex(0);  // the clerk's choice is saved
    w->cmdSave->click();
    EXPECT_EQ(storeRows("SELECT 类别代码 FROM bookInfo ORDER BY rowid"), "A,B,A");
}

// Opened again while open, the edit window keeps its book and shows no more
// suggestions; "退出" writes nothing and refreshes the list; the close box
// does not refresh it.
TEST_F(CatalogueWindows, EditWindowOpenedAgainKeepsItsBookAndExitWritesNothing)
{
    FrmShelfmark* list = shelf();
    FrmUpdateBook* w = editRow(list, 0);
    FrmUpdateBook* again = editRow(list, 1);
    EXPECT_EQ(again, w);
    EXPECT_EQ(w->txtBookID->text(), "B001");
    w->txtBookConcern->setText("人民");
    EXPECT_FALSE(w->publisherList->isVisible());
    w->txtBookName->setText("改了但没保存");
    library.exec("UPDATE bookInfo SET 书籍名称 = '别处改的' WHERE 书籍编号 = 'B002'");
    closeNow(w);
    EXPECT_EQ(gridRows(list->booksGrid, 2), "B001|红楼梦,B002|史记");  // not refreshed
    editRow(list, 0)->cmdClose->click();
    EXPECT_EQ(gridRows(list->booksGrid, 2), "B001|红楼梦,B002|别处改的");  // read again: nothing written
    EXPECT_EQ(shown(), "");
}

// A row that is gone, or has no date: the clerk is told, nothing is written
// that the clerk did not ask for.
TEST_F(CatalogueWindows, EditRefusalsAndARowWithoutDate)
{
    library.exec("UPDATE bookInfo SET 登记日期 = NULL WHERE 书籍编号 = 'B001'");
    FrmShelfmark* list = shelf();
    FrmUpdateBook* w = editRow(list, 0);
    EXPECT_EQ(shown(), "该书没有登记日期。不改动登记日期时,保存后登记日期仍然为空。");
    w->txtWriter->setText("曹雪芹");
    EXPECT_EQ(press(w->cmdSave), "保存修改完毕!");
    EXPECT_EQ(library.scalar("SELECT 作者姓名 || '|' || ifnull(登记日期, 'null') FROM bookInfo WHERE 书籍编号 = 'B001'"),
              "曹雪芹|null");

    w = editRow(list, 1);
    library.exec("DELETE FROM bookInfo WHERE 书籍编号 = 'B002'");
    EXPECT_EQ(press(w->cmdSave), "编号为B002的书籍已不存在!");
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookInfo"), 1);
    EXPECT_EQ(publishers(), "人民文学出版社,人民出版社,中华书局");
}

// ---- the book list ------------------------------------------------------------------

TEST_F(CatalogueWindows, BookListDeletesTheCurrentRowOnlyOnOk)
{
    library.addLoan("001", "B002", "2026-03-01");
    FrmShelfmark* list = shelf();
    EXPECT_EQ(gridRows(list->booksGrid), "B001|红楼梦|文学|人民文学出版社|不详|25.00|320|2026/1/5|否,"
                                         "B002|史记|历史|人民文学出版社|不详|25.00|320|2026/1/5|是");

    list->booksGrid->setCurrentIndex(list->booksGrid->model()->index(1, 3));
    answer({false, true});
    list->cmdDel->click();
    EXPECT_EQ(books().count(','), 1);
    list->booksGrid->setCurrentIndex(list->booksGrid->model()->index(1, 3));
    list->cmdDel->click();
    EXPECT_EQ(shown(), "是否真的要删除编号为B002的书籍信息?\n是否真的要删除编号为B002的书籍信息?\n编号B002已删除!");
    EXPECT_EQ(gridRows(list->booksGrid, 1), "B001");
    EXPECT_EQ(list->booksGrid->currentIndex().row(), 0);  // the list loaded again
    EXPECT_EQ(library.scalar("SELECT count(*) FROM lentInfo"), 1);  // its loan stays

    library.exec("DELETE FROM bookInfo");  // gone meanwhile
    EXPECT_EQ(press(list->cmdDel), "是否真的要删除编号为B001的书籍信息?\n编号为B001的书籍已不存在!");
    prompter.clear();
    for (QPushButton* button : {list->cmdDel, list->cmdModify, list->CmdDelAll})
        button->click();
    EXPECT_EQ(shown(), "书库中没有可以删除的书籍!\n书库中没有可以修改的书籍!\n书库中没有书籍信息!");
    EXPECT_FALSE(openWindow<FrmUpdateBook>());
}

// Delete-all runs off the window's thread: the window keeps repainting, a
// progress box counts the books up to the end, the buttons are off and the
// close boxes of the window and the main window are refused; the books go
// all at once, at the commit.
TEST_F(CatalogueWindows, DeleteAllShowsItsProgressWhileTheWindowRepaints)
{
    const int batch = Books::kDeleteBatch;
    library.exec("DROP TRIGGER bookInfo_search_insert");  // the search index plays no part here
    library.exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                         " INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 登记日期) SELECT 'X' || i, '书', 'A',"
                         " '2026-01-01' FROM n").arg(2 * batch + 200));
    library.addLoan("001", "B002", "2026-03-01");
    FrmShelfmark* list = shelf();
    QStringList seen;  // at each turn of the event loop: the books left, the buttons, the progress box
    QList<int> percents;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QProgressDialog* box = list->findChild<QProgressDialog*>();
        if (!box || !box->isVisible())
            return;
        QStringList now{library.scalar("SELECT count(*) FROM bookInfo").toString()};
        for (QPushButton* b : {list->cmdAdd, list->cmdModify, list->cmdDel, list->CmdDelAll, list->cmdClose})
            now << (b->isEnabled() ? "on" : "off");
        seen << now.join(' ') + " " + box->findChild<QLabel*>()->text();
        percents << box->findChild<QProgressBar*>()->text().chopped(1).toInt();
        list->close();  // refused while deleting, as is the main window's close
        window.close();
    });
    answer({false, true});
    list->CmdDelAll->click();
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookInfo"), 2 * batch + 202);
    watch.start(0);
    list->CmdDelAll->click();
    watch.stop();
    EXPECT_EQ(shown(), "是否真的要删除所有的书籍信息?\n是否真的要删除所有的书籍信息?\n所有的书籍信息已删除!");
    seen.removeDuplicates();  // the books stay until the commit, the buttons are off throughout
    EXPECT_EQ(seen, QStringList{QString::number(2 * batch + 202) + " off off off off off 正在删除所有的书籍信息……"});
    ASSERT_GE(QSet<int>(percents.begin(), percents.end()).size(), 2);
    EXPECT_EQ(percents.first(), 0);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << "the count only goes up";
    EXPECT_TRUE(list->isVisible() && window.isVisible() && list->cmdClose->isEnabled());
    EXPECT_TRUE(list->findChildren<QProgressDialog*>().isEmpty() && list->booksGrid->model()->rowCount() == 0);
    EXPECT_EQ(storeRows("SELECT (SELECT count(*) FROM bookInfo), (SELECT count(*) FROM lentInfo)"), "0|1");  // loans stay
}

// ---- categories ---------------------------------------------------------------------

// Which buttons are on after each event, as the window's state table gives it.
TEST_F(CatalogueWindows, CategoryButtonsFollowTheStateTable)
{
    FrmSetBook* w = categories();
    auto state = [w] {
        QString s;
        for (QWidget* b : {(QWidget*)w->cmdSave, (QWidget*)w->cmdCancel, (QWidget*)w->cmdAdd, (QWidget*)w->cmdModify,
                           (QWidget*)w->cmdDel, (QWidget*)w->cmdClose, (QWidget*)w->txtTypeID})
            s += b->isEnabled() ? 'y' : 'n';
        return s + QString::number(w->EditMode());
    };
    //                        保存 取消 添加 修改 删除 关闭 code EditMode
    EXPECT_EQ(state(), "nnyyyyy0");
    EXPECT_EQ(textsOf({w->txtTypeID, w->txtTypeName, w->txtDay}), "A|文学|14");  // the first row
    const struct { QPushButton* button; const char* after; } events[] = {
        {w->cmdAdd, "yynnnny1"},    {w->cmdCancel, "yyyyyyy1"}, {w->cmdModify, "yynnnnn2"},
        {w->cmdSave, "yyyyyyy2"},   {w->cmdModify, "yynnnnn2"}, {w->cmdCancel, "yyyyyyy2"},
        {w->cmdDel, "yyyyyyy0"},    {w->cmdAdd, "yynnnny1"},
    };
    answer({false});
    for (const auto& e : events) {
        e.button->click();
        EXPECT_EQ(state(), e.after) << e.button->text().toStdString();
    }
    EXPECT_EQ(shown(), "保存完毕!\n是否真的要删除类别代码为A的类别信息?");
}

// Add with 15 days; a further 保存 changes that row rather than adding a
// second; change touches only the chosen row; cancel drops what was typed.
TEST_F(CatalogueWindows, CategoryAddChangeAndCancel)
{
    FrmSetBook* w = categories();
    w->cmdAdd->click();
    EXPECT_EQ(textsOf({w->txtTypeID, w->txtTypeName, w->txtDay}), "||");
    QTest::keyClicks(w->txtTypeID, "C");
    w->txtTypeName->insert("科技");
    QTest::keyClicks(w->txtDay, "15");
    w->cmdSave->click();
    w->txtTypeName->setText("科学技术");
    w->cmdSave->click();
    EXPECT_EQ(categoryRows(), "A|文学|14,B|历史|30,C|科学技术|15");
    EXPECT_EQ(gridRows(w->categoriesGrid), "A|文学|14,B|历史|30,C|科学技术|15");

    w->categoriesGrid->setCurrentIndex(w->categoriesGrid->model()->index(1, 0));
    w->cmdModify->click();
    w->txtTypeName->setText("史地");
    w->txtDay->setText("7.5");
    w->cmdSave->click();
    // The row shows what was stored: 7.5 was kept as 8.
    EXPECT_EQ(accessibleRows(w->categoriesGrid).value(2), "B|史地|8");
    EXPECT_EQ(w->txtDay->text(), "8");
    w->cmdModify->click();
    w->txtTypeName->setText("不要了");
    w->cmdCancel->click();
    EXPECT_EQ(textsOf({w->txtTypeID, w->txtTypeName, w->txtDay}), "B|史地|8");
    EXPECT_EQ(categoryRows(), "A|文学|14,B|史地|8,C|科学技术|15");

    w->cmdAdd->click();  // the code box is on again and takes the new code
    QTest::keyClicks(w->txtTypeID, "D");
    EXPECT_EQ(w->txtTypeID->text(), "D");
    w->cmdCancel->click();
    EXPECT_EQ(gridRows(w->categoriesGrid, 1), "A,B,C");
    EXPECT_EQ(shown(), "保存完毕!\n保存完毕!\n保存完毕!");
}

// Refusals leave the store and the edit mode as they were; delete asks, and
// its Cancel reloads the grid on its first row.
TEST_F(CatalogueWindows, CategoryRefusalsAndDelete)
{
    FrmSetBook* w = categories();
    const struct { const char* code; const char* days; const char* message; } refused[] = {
        {"A", "7", "类别代码为A的类别已经存在,请换一个类别代码!"},
        {"", "7", "请输入类别代码!"},
        {"E", "", "借出天数必须是 -32768 到 32767 之间的数字!"},
        {"E", "十四天", "借出天数必须是 -32768 到 32767 之间的数字!"},
    };
    w->cmdAdd->click();
    for (const auto& r : refused) {
        w->txtTypeID->setText(QString::fromUtf8(r.code));
        w->txtTypeName->setText("新类");
        w->txtDay->setText(QString::fromUtf8(r.days));
        EXPECT_EQ(press(w->cmdSave), QString::fromUtf8(r.message));
        EXPECT_FALSE(w->cmdAdd->isEnabled());  // still adding
    }
    w->cmdCancel->click();
    EXPECT_EQ(categoryRows(), "A|文学|14,B|历史|30");

    w->categoriesGrid->setCurrentIndex(w->categoriesGrid->model()->index(1, 0));
    prompter.clear();
    answer({false, true});
    w->cmdDel->click();
    EXPECT_EQ(w->categoriesGrid->currentIndex().row(), 0);
    w->categoriesGrid->setCurrentIndex(w->categoriesGrid->model()->index(1, 0));
    w->cmdDel->click();
    EXPECT_EQ(shown(), "是否真的要删除类别代码为B的类别信息?\n是否真的要删除类别代码为B的类别信息?\n删除完毕!");
    EXPECT_EQ(categoryRows(), "A|文学|14");
    EXPECT_EQ(library.scalar("SELECT 类别代码 FROM bookInfo WHERE 书籍编号 = 'B002'"), "B");  // the book stays

    library.exec("DELETE FROM bookType");
    w->Form_Load();
    EXPECT_EQ(press(w->cmdDel), "没有可以删除的类别!");
}

// ---- the desk sees the catalogue at once ----------------------------------------------
// (a book registered after the desk's first look-up: the end-to-end test)

TEST_F(CatalogueWindows, DeskShowsAnEditedTitleAtOnce)
{
    get<QLineEdit>("txtReaderID")->setText("001");
    const auto deskLookUp = [&] {
        get<QLineEdit>("txtBookID")->setText("B001");
        QTest::keyClick(get("txtBookID"), Qt::Key_Return);
        return get<QLineEdit>("txtBookName")->text();
    };
    EXPECT_EQ(deskLookUp(), "红楼梦");  // the desk's look-up is prepared now
    FrmUpdateBook* edit = editRow(shelf(), 0);
    edit->txtBookName->setText("红楼梦(脂评本)");
    edit->cmdSave->click();
    EXPECT_EQ(deskLookUp(), "红楼梦(脂评本)");
}

}  // namespace
