#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <memory>

#include "FixedClock.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "circulation/ui/LendTab.h"
#include "core/logic/AppState.h"
#include "core/ui/Frmmain.h"

namespace {

// The real main window on a small library, shown, with scripted message boxes
// and today fixed at 20 March 2026. Reader 002 holds B004 since 1 March.
class Desk : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        library.addCategory("B", "历史", 30);
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "史记", "B");
        library.addBook("B003", "围城", "A");
        library.addBook("B004", "边城", "A", true);
        library.addReader("001", "张三");
        library.addReader("002", "李四");
        library.addLoan("002", "B004", "2026-03-01");
        library.setRules(3, 0.1);
        window = std::make_unique<Frmmain>(prompter, clock, library.dir());
        ASSERT_TRUE(window->Form_Load());
        window->show();
        QApplication::setActiveWindow(window.get());
        prompter.clear();
    }

    template <class T = QLineEdit>
    T* get(const char* name)
    {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            ADD_FAILURE() << "no control " << name;
        return widget;
    }
    QString text(const char* name) { return get(name)->text(); }
    // The texts of several boxes, joined by "|".
    QString texts(std::initializer_list<const char*> names)
    {
        QStringList result;
        for (const char* name : names)
            result << text(name);
        return result.join('|');
    }
    QString caption(const char* name) { return get<QLabel>(name)->text(); }
    bool enabled(const char* name) { return get<QPushButton>(name)->isEnabled(); }
    QString focused() const { return window->focusWidget() ? window->focusWidget()->objectName() : ""; }
    void showTab(int index) { get<QTabWidget>("SSTab1")->setCurrentIndex(index); }
    void press(const char* name) { get<QPushButton>(name)->click(); }
    void choose(const char* grid, int row)
    {
        get<QTableView>(grid)->setCurrentIndex(get<QTableView>(grid)->model()->index(row, 0));
    }

    // Types a number into a box (replacing what it held) and presses Enter.
    void enter(const char* name, const QString& value, int key = Qt::Key_Return)
    {
        QLineEdit* box = get(name);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, value);
        QTest::keyClick(box, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
    // Types into whatever has the focus, as a keyboard or a barcode scanner does.
    void scan(const QString& value)
    {
        QWidget* target = window->focusWidget();
        ASSERT_TRUE(target);
        QTest::keyClicks(target, value);
        QTest::keyClick(target, Qt::Key_Return);
    }

    QString sql(const QString& statement) { return library.scalar(statement).toString(); }
    // Every loan as "book@lend date", by book number.
    QString loans()
    {
        return sql("SELECT group_concat(loan) FROM (SELECT 书籍编号 || '@' || 借书日期 AS loan"
                   " FROM lentInfo ORDER BY 书籍编号, rowid)");
    }

    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 3, 20)};
    std::unique_ptr<Frmmain> window;
};

QLabel* buddyOf(QWidget* box)
{
    for (QLabel* label : box->window()->findChildren<QLabel*>())
        if (label->buddy() == box)
            return label;
    return nullptr;
}

// Every box is named by its caption for screen readers; only the five boxes
// the clerk types into are editable and pale cyan.
TEST_F(Desk, BoxesAreNamedByTheirCaptionsAndOnlyInputBoxesArePaleCyan)
{
    QTabWidget* tabs = get<QTabWidget>("SSTab1");
    QStringList inputs;
    for (int tab = 0; tab < 3; ++tab) {
        showTab(tab);
        for (QLineEdit* box : tabs->widget(tab)->findChildren<QLineEdit*>()) {
            if (box->objectName().startsWith("qt_"))
                continue;  // inside a date picker, which its own caption names
            SCOPED_TRACE(box->objectName().toStdString());
            ASSERT_TRUE(buddyOf(box));
            EXPECT_TRUE(buddyOf(box)->text().endsWith(':'));
            const QColor inside = box->grab().toImage().pixelColor(box->width() - 6, box->height() / 2);
            EXPECT_EQ(inside == QColor(192, 255, 255), !box->isReadOnly()) << inside.name().toStdString();
            if (!box->isReadOnly())
                inputs << buddyOf(box)->text() + box->objectName();
        }
    }
    EXPECT_EQ(inputs.join(' '), "书籍编号:txtBookID 读者编号:txtReaderID 读者编号:txtReaderIDRenew "
                                "读者编号:txtReadIDReturn 书籍编号:txtBookIDReturn");
    EXPECT_EQ(buddyOf(get<QDateEdit>("dtpLendDate"))->text(), "借出日期:");
    EXPECT_EQ(buddyOf(get<QDateEdit>("dtpLendDateChange"))->text(), "借书日期改为:");
    EXPECT_EQ(buddyOf(get<QTableView>("dtgrdLendBook"))->text(), "显示已借图书信息:");
    EXPECT_EQ(buddyOf(get<QLabel>("lblRemain"))->text(), "还允许借出册数:");
    for (const char* picker : {"dtpLendDate", "dtpLendDateChange"})
        EXPECT_EQ(get<QDateEdit>(picker)->text(), "2026/3/20") << picker;  // today, short form
}

TEST_F(Desk, LendTabLookUps)
{
    QLineEdit* reader = get("txtReaderID");
    for (int key : {Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backspace, Qt::Key_Delete})
        QTest::keyClick(reader, Qt::Key(key));  // only Enter acts
    EXPECT_TRUE(prompter.shown.isEmpty());
    enter("txtBookID", "B001");  // the reader comes first
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号");
    QTest::keyClicks(reader, "001");  // typed but never confirmed is enough
    enter("txtBookID", "");
    EXPECT_EQ(prompter.lastText(), "请先输入书籍编号");
    enter("txtBookID", "B004");
    EXPECT_EQ(prompter.lastText(), "该书已经借出,请选择其它图书!");
    EXPECT_EQ(text("txtBookName"), "边城");
    EXPECT_FALSE(enabled("cmdLendBook"));
    EXPECT_EQ(focused(), "txtBookID");
    enter("txtBookID", "B002");
    EXPECT_EQ(prompter.shown.size(), 3);
    EXPECT_EQ(texts({"txtBookName", "txtBookPrice", "txtBookLeibie", "txtBookConcern", "txtBookPage"}),
              "史记|25.00|历史|人民文学出版社|320");
    EXPECT_TRUE(enabled("cmdLendBook"));
    EXPECT_EQ(focused(), "cmdLendBook");
    enter("txtBookID", "B999");
    EXPECT_EQ(prompter.lastText(), "没有该书信息!");
    EXPECT_EQ(texts({"txtBookID", "txtBookName", "txtBookPrice", "txtBookLeibie", "txtBookConcern",
                     "txtBookPage"}), "B999|||||");
    EXPECT_TRUE(enabled("cmdLendBook"));

    library.addLoan("001", "B001", "2026-03-02");
    library.addLoan("001", "B002", "2026-03-03", "2026-03-10");  // returned
    enter("txtReaderID", "001");
    EXPECT_EQ(prompter.shown.size(), 4);
    EXPECT_EQ(text("txtReaderName") + caption("lblLendCount") + "|" + caption("lblRemain"),
              "张三已借图书册数:1|2");
    EXPECT_EQ(focused(), "txtBookID");
    const QTableView* grid = get<QTableView>("dtgrdLendBook");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    QStringList shown;  // the visible columns, in the order shown
    const QHeaderView* header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            shown << grid->model()->headerData(logical, Qt::Horizontal).toString() + "="
                         + grid->model()->index(0, logical).data().toString();
    }
    EXPECT_EQ(shown.join(' '), "读者编号=001 读者姓名=张三 书籍编号=B001 书籍名称=红楼梦 书籍类别=文学 "
                               "书籍页码=320 出版社=人民文学出版社 借书日期=2026/3/2");
    enter("txtReaderID", "999");
    EXPECT_EQ(prompter.lastText(), "没有该读者信息!");
    EXPECT_EQ(prompter.shown.last().title, "提示");
    EXPECT_EQ(text("txtReaderName") + caption("lblRemain"), "2");  // the list keeps what it showed
    EXPECT_EQ(focused(), "txtReaderID");
    enter("txtReaderID", "");
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号");
    enter("txtReaderID", "002", Qt::Key_Enter);  // the keypad's Enter acts as well
    EXPECT_EQ(text("txtReaderName") + caption("lblLendCount"), "李四已借图书册数:1");

    AppState::ReaderFormMode = 0;
    QSignalSpy asked(window->findChild<LendTab*>(), &LendTab::readerWindowRequested);
    QTest::mouseClick(get<QPushButton>("cmdReaderInfo"), Qt::LeftButton);
    EXPECT_EQ(AppState::ReaderFormMode, 1);
    EXPECT_EQ(asked.count(), 1);
}

TEST_F(Desk, TheLastLoanOfTheQuotaGoesAndTheNextIsRefused)
{
    library.addLoan("001", "B001", "2026-03-01");
    library.addLoan("001", "B002", "2026-03-01");
    library.addBook("B005", "家", "A");
    enter("txtReaderID", "001");
    EXPECT_EQ(caption("lblRemain"), "1");
    enter("txtBookID", "B003");
    get<QDateEdit>("dtpLendDate")->setDate(QDate(2026, 2, 27));  // a date picked in the past
    press("cmdLendBook");
    EXPECT_EQ(caption("lblRemain"), "0");
    EXPECT_EQ(get<QTableView>("dtgrdLendBook")->model()->rowCount(), 3);
    enter("txtBookID", "B005");
    prompter.clear();
    press("cmdLendBook");
    EXPECT_EQ(prompter.texts(), QStringList({"您的书已经借满,不能再借!"}));
    EXPECT_EQ(texts({"txtReaderID", "txtReaderName", "txtBookID", "txtBookName"}), "|||");
    EXPECT_EQ(focused(), "txtReaderID");
    EXPECT_EQ(loans(), "B001@2026-03-01,B002@2026-03-01,B003@2026-02-27,B004@2026-03-01");
    EXPECT_EQ(sql("SELECT group_concat(书籍编号) FROM bookInfo WHERE 是否借出 = 1"), "B003,B004");
}

TEST_F(Desk, AStoreErrorWhileLendingIsShownAndNothingIsHalfWritten)
{
    library.exec("CREATE TRIGGER refuse_flag BEFORE UPDATE ON bookInfo"
                 " BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    enter("txtReaderID", "001");
    enter("txtBookID", "B001");
    press("cmdLendBook");
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.lastText().startsWith("借出图书失败!")) << prompter.lastText().toStdString();
    EXPECT_TRUE(prompter.lastText().contains("disk says no"));
    EXPECT_EQ(loans(), "B004@2026-03-01");
    EXPECT_EQ(text("txtBookID"), "B001");  // the clerk can try again
}

TEST_F(Desk, RenewalChangesOnlyTheChosenLoanAndRefusalsWriteNothing)
{
    library.addLoan("001", "B001", "2026-03-01");
    library.addLoan("001", "B002", "2026-03-01");
    library.addLoan("001", "B003", "2026-03-02");
    showTab(1);
    enter("txtReaderIDRenew", "001");
    EXPECT_EQ(text("txtReaderNameRenew"), "张三");
    EXPECT_TRUE(enabled("cmdOK"));
    EXPECT_EQ(text("txtBookIDRenew"), "B001");  // the first loan is current
    choose("dtgrdLendBookRenew", 1);
    EXPECT_EQ(texts({"txtBookIDRenew", "txtBookNameRenew", "txtLendDate"}), "B002|史记|2026/3/1");
    get<QDateEdit>("dtpLendDateChange")->setDate(QDate(2026, 3, 18));
    press("cmdOK");
    EXPECT_EQ(prompter.texts(), QStringList({"续借完毕!"}));
    EXPECT_EQ(loans(), "B001@2026-03-01,B002@2026-03-18,B003@2026-03-02,B004@2026-03-01");
    EXPECT_EQ(text("txtLendDate"), "2026/3/1");  // the old date until the next look-up

    showTab(0);
    enter("txtReaderID", "002");  // the lend desk now lists another reader
    showTab(1);
    EXPECT_EQ(get<QTableView>("dtgrdLendBookRenew")->model()->rowCount(), 3);
    choose("dtgrdLendBookRenew", 2);
    EXPECT_EQ(text("txtBookIDRenew"), "B003");
    get<QDateEdit>("dtpLendDateChange")->setDate(QDate(2026, 3, 20));
    press("cmdOK");
    EXPECT_EQ(loans(), "B001@2026-03-01,B002@2026-03-18,B003@2026-03-20,B004@2026-03-01");
    enter("txtReaderIDRenew", "001");
    choose("dtgrdLendBookRenew", 1);
    EXPECT_EQ(text("txtLendDate"), "2026/3/18");
    const QString renewed = loans();

    // Refusals write nothing.
    enter("txtReaderIDRenew", "999");
    EXPECT_EQ(prompter.lastText(), "没有该读者信息!");
    EXPECT_EQ(text("txtReaderNameRenew"), "");
    EXPECT_FALSE(enabled("cmdOK"));
    EXPECT_EQ(get<QTableView>("dtgrdLendBookRenew")->model()->rowCount(), 3);  // grid unchanged
    enter("txtReaderIDRenew", "");
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号");
    EXPECT_FALSE(enabled("cmdOK"));
    enter("txtReaderIDRenew", "002");  // one loan, which comes back meanwhile
    library.exec("UPDATE lentInfo SET 还书日期 = '2026-03-19' WHERE 读者编号 = '002'");
    press("cmdOK");
    EXPECT_EQ(prompter.lastText(), "该书已不在借出中,不能续借!");
    library.addReader("003", "王五");
    enter("txtReaderIDRenew", "003");  // no loans at all
    press("cmdOK");
    EXPECT_EQ(prompter.lastText(), "请先在所借图书中选择要续借的图书!");
    EXPECT_EQ(loans(), renewed);
}

TEST_F(Desk, FailedReturnLookUpsEmptyTheTabAndAFoundLoanFreesTheLendButton)
{
    const auto returnBoxes = [this] {
        return texts({"txtReadIDReturn", "txtReaderNameReturn", "txtBookNameReturn", "txtBookPriceReturn",
                      "txtBookLeibieReturn", "txtBookPageReturn", "txtLendDateReturn", "txtDay",
                      "txtReturnDate", "txtFactDay", "txtDayCount", "txtFakuan"});
    };
    get("txtReaderID")->setText("002");
    enter("txtBookID", "B004");  // lent: the lend button goes off
    ASSERT_FALSE(enabled("cmdLendBook"));
    prompter.clear();
    showTab(2);
    enter("txtBookIDReturn", "B004");  // no reader typed: nothing at all
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(returnBoxes(), "|||||||||||");
    enter("txtReadIDReturn", "001");  // reloads the lend desk for ITS reader box
    EXPECT_EQ(caption("lblLendCount"), "已借图书册数:1");
    enter("txtBookIDReturn", "B004");
    EXPECT_TRUE(enabled("cmdLendBook"));
    ASSERT_TRUE(enabled("cmdReturn"));
    enter("txtBookIDReturn", "B001");  // never lent
    EXPECT_EQ(prompter.lastText(), "没有该书信息!");
    EXPECT_EQ(returnBoxes(), "|||||||||||");
    EXPECT_EQ(text("txtBookIDReturn"), "B001");
    EXPECT_FALSE(enabled("cmdReturn"));
    enter("txtReadIDReturn", "999");
    EXPECT_EQ(prompter.lastText(), "没有该读者信息!");
    enter("txtReadIDReturn", "");
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号");
    library.exec("UPDATE lentInfo SET 借书日期 = '1900-01-01'");  // too many days to count
    enter("txtReadIDReturn", "002");
    enter("txtBookIDReturn", "B004");
    EXPECT_TRUE(prompter.lastText().startsWith("无法计算罚款")) << prompter.lastText().toStdString();
    EXPECT_FALSE(enabled("cmdReturn"));
}

// One book lent, renewed and taken back by keyboard alone, as a clerk with a
// barcode scanner works: the worked example of 19 days out, 5 overdue, 0.5.
TEST_F(Desk, LendRenewReturnCycleFromTheKeyboard)
{
    EXPECT_EQ(focused(), "txtReaderID");  // the desk opens ready for a reader
    scan("001");
    EXPECT_EQ(focused(), "txtBookID");
    scan("B003");
    EXPECT_EQ(focused(), "cmdLendBook");
    scan("");  // Enter on the lend button
    EXPECT_EQ(focused(), "txtBookID");
    EXPECT_EQ(texts({"txtReaderID", "txtReaderName", "txtBookID", "txtBookName", "txtBookPrice",
                     "txtBookLeibie", "txtBookConcern", "txtBookPage"}), "001|张三||||||");
    EXPECT_EQ(caption("lblLendCount") + "|" + caption("lblRemain"), "已借图书册数:1|2");
    EXPECT_EQ(get<QTableView>("dtgrdLendBook")->model()->index(0, 7).data().toString(), "2026/3/20");
    EXPECT_EQ(loans(), "B003@2026-03-20,B004@2026-03-01");

    clock.setToday(QDate(2026, 4, 1));
    showTab(1);
    get<QDateEdit>("dtpLendDateChange")->setDate(QDate(2026, 4, 1));
    enter("txtReaderIDRenew", "001");
    QTest::keyClick(get<QPushButton>("cmdOK"), Qt::Key_Return);

    clock.setToday(QDate(2026, 4, 20));
    showTab(2);
    enter("txtReadIDReturn", "001");
    EXPECT_EQ(focused(), "txtBookIDReturn");
    scan("B003");
    EXPECT_EQ(texts({"txtReaderNameReturn", "txtBookNameReturn", "txtBookPriceReturn", "txtBookLeibieReturn",
                     "txtBookPageReturn", "txtLendDateReturn", "txtDay", "txtReturnDate", "txtFactDay",
                     "txtDayCount", "txtFakuan"}),
              "张三|围城|25.00|文学|320|2026/4/1|14|2026/4/20|19|5|0.5");
    EXPECT_EQ(focused(), "cmdReturn");
    scan("");
    EXPECT_EQ(prompter.texts(), QStringList({"借出完毕!", "续借完毕!", "归还完毕!"}));
    EXPECT_EQ(sql("SELECT 读者编号 || '|' || 借书日期 || '|' || 还书日期 || '|' || 超出天数 || '|' || 罚款金额"
                  " || '|' || 是否借出 FROM lentInfo JOIN bookInfo USING (书籍编号) WHERE 书籍编号 = 'B003'"),
              "001|2026-04-01|2026-04-20|5|0.5|0");
    EXPECT_EQ(texts({"txtReadIDReturn", "txtBookIDReturn", "txtFactDay", "txtDayCount", "txtFakuan"}), "||||");
    EXPECT_FALSE(enabled("cmdReturn"));
    EXPECT_EQ(focused(), "txtReadIDReturn");
    enter("txtBookIDReturn", "");
    EXPECT_EQ(prompter.lastText(), "请先输入书籍编号");
}

}  // namespace
