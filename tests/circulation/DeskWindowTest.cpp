#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "AccessibleTable.h"
#include "MainWindowTest.h"
#include "Probes.h"

namespace {

// The desk on a small library. Reader 002 holds B004 since 1 March.
class Desk : public MainWindowTest {
protected:
    void SetUp() override
    {
        addBasics();
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "史记", "B");
        library.addBook("B003", "围城", "A");
        library.addBook("B004", "边城", "A", true);
        library.addLoan("002", "B004", "2026-03-01");
        openMain();
    }

    // The texts of boxes, labels or date pickers, joined by "|".
    QString texts(std::initializer_list<const char*> names)
    {
        QStringList result;
        for (const char* name : names)
            result << get(name)->property("text").toString();
        return result.join('|');
    }
    bool enabled(const char* name) { return get(name)->isEnabled(); }
    QString focused() const { return window.focusWidget() ? window.focusWidget()->objectName() : ""; }
    void showTab(int index) { get<QTabWidget>("SSTab1")->setCurrentIndex(index); }
    // Types a number into a box, replacing what it held, and presses Enter;
    // scan() types into whatever has the focus, as a barcode scanner does.
    void enter(const char* name, const QString& value)
    {
        get<QLineEdit>(name)->clear();
        scan(value, get(name));
    }
    void scan(const QString& value, QWidget* box = nullptr)
    {
        box = box ? box : window.focusWidget();
        QTest::keyClicks(box, value);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // Enters a number, or presses a button when value is null, and expects
    // exactly this message ("" for none).
    void expectMessage(const char* name, const QString& value, const QString& message)
    {
        prompter.clear();
        if (value.isNull())
            get<QPushButton>(name)->click();
        else
            enter(name, value);
        EXPECT_EQ(shown(), message) << name << " " << value.toStdString();
    }
    // Every loan as "book@lend date", by book number.
    static QString loans() { return storeRows("SELECT 书籍编号 || '@' || 借书日期 FROM lentInfo ORDER BY 书籍编号, rowid"); }
};

QString captionOf(QWidget* box)
{
    for (QLabel* label : box->window()->findChildren<QLabel*>())
        if (label->buddy() == box)
            return label->text();
    return "(none)";
}

// Every box is named by its caption for screen readers; only the five boxes
// the clerk types into are editable and pale cyan; the date pickers show today.
TEST_F(Desk, BoxesAreNamedByTheirCaptionsAndOnlyInputBoxesArePaleCyan)
{
    QStringList inputs;
    for (int tab = 0; tab < 3; ++tab) {
        showTab(tab);
        for (QLineEdit* box : get<QTabWidget>("SSTab1")->widget(tab)->findChildren<QLineEdit*>()) {
            if (box->objectName().startsWith("qt_"))
                continue;  // inside a date picker, which its own caption names
            SCOPED_TRACE(box->objectName().toStdString());
            EXPECT_TRUE(captionOf(box).endsWith(':')) << captionOf(box).toStdString();
            const QColor inside = box->grab().toImage().pixelColor(box->width() - 6, box->height() / 2);
            EXPECT_EQ(inside == QColor(192, 255, 255), !box->isReadOnly()) << inside.name().toStdString();
            if (!box->isReadOnly())
                inputs << captionOf(box) + box->objectName();
        }
    }
    EXPECT_EQ(inputs.join(' '), "书籍编号:txtBookID 读者编号:txtReaderID 读者编号:txtReaderIDRenew "
                                "读者编号:txtReadIDReturn 书籍编号:txtBookIDReturn");
    EXPECT_EQ(captionOf(get("dtpLendDate")) + captionOf(get("dtpLendDateChange")), "借出日期:借书日期改为:");
    EXPECT_EQ(texts({"dtpLendDate", "dtpLendDateChange"}), "2026/3/20|2026/3/20");  // short form
}

TEST_F(Desk, LendTabLookUps)
{
    expectMessage("txtBookID", "B001", "请先输入读者编号");  // the reader comes first
    QTest::keyClicks(get("txtReaderID"), "001");            // typed but never confirmed is enough
    expectMessage("txtBookID", "", "请先输入书籍编号");
    expectMessage("txtBookID", "B004", "该书已经借出,请选择其它图书!");
    EXPECT_FALSE(enabled("cmdLendBook"));
    EXPECT_EQ(focused(), "txtBookID");  // ready for the next scan
    expectMessage("txtBookID", "B002", "");
    EXPECT_EQ(texts({"txtBookName", "txtBookPrice", "txtBookLeibie", "txtBookConcern", "txtBookPage"}),
              "史记|25.00|历史|人民文学出版社|320");
    EXPECT_TRUE(enabled("cmdLendBook"));
    expectMessage("txtBookID", "B999", "没有该书信息!");
    EXPECT_EQ(texts({"txtBookID", "txtBookName", "txtBookPrice", "txtBookLeibie", "txtBookConcern",
                     "txtBookPage"}), "B999|||||");

    // The list reads its eight columns in the desk's order, as a screen reader reads them.
    expectMessage("txtReaderID", "002", "");
    EXPECT_EQ(accessibleRows(get<QTableView>("dtgrdLendBook")),
              QStringList({"读者编号|读者姓名|书籍编号|书籍名称|书籍类别|书籍页码|出版社|借书日期",
                           "002|李四|B004|边城|文学|320|人民文学出版社|2026/3/1"}));
    expectMessage("txtReaderID", "001", "");
    expectMessage("txtReaderID", "999", "没有该读者信息!");
    EXPECT_EQ(texts({"txtReaderName", "lblLendCount", "lblRemain"}), "|已借图书册数:0|3");  // the list stays
    EXPECT_EQ(focused(), "txtReaderID");
    expectMessage("txtReaderID", "", "请先输入读者编号");
}

// Refused at the quota, the tab is emptied for the next reader; refused by
// the store, the error is shown and nothing is half written.
TEST_F(Desk, RefusedLendingWritesNothing)
{
    for (const char* book : {"B001", "B002", "B003"})
        library.addLoan("001", book, "2026-03-01");
    library.addBook("B005", "家", "A");
    enter("txtReaderID", "001");
    enter("txtBookID", "B005");
    expectMessage("cmdLendBook", QString(), "您的书已经借满,不能再借!");
    EXPECT_EQ(texts({"txtReaderID", "txtReaderName", "txtBookID", "txtBookName"}), "|||");
    EXPECT_EQ(focused(), "txtReaderID");

    library.exec("CREATE TRIGGER refuse_flag BEFORE UPDATE ON bookInfo"
                 " BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    enter("txtReaderID", "002");
    enter("txtBookID", "B005");
    prompter.clear();
    get<QPushButton>("cmdLendBook")->click();
    ASSERT_EQ(prompter.shown.size(), 1);  // the engine's own words follow
    EXPECT_TRUE(prompter.lastText().startsWith("借出图书失败!\n数据库报告: disk says no"))
        << prompter.lastText().toStdString();
    EXPECT_EQ(texts({"txtBookID"}), "B005");  // the clerk can try again
    EXPECT_EQ(loans(), "B001@2026-03-01,B002@2026-03-01,B003@2026-03-01,B004@2026-03-01");
}

// Renewal changes exactly the loan chosen, the renew tab keeps its own list
// while the lend tab shows another reader, and refusals write nothing.
TEST_F(Desk, RenewalChangesOnlyTheChosenLoanAndRefusalsWriteNothing)
{
    for (const auto& [book, lent] : {std::pair{"B001", "2026-03-01"}, {"B002", "2026-03-01"}, {"B003", "2026-03-02"}})
        library.addLoan("001", book, lent);
    showTab(1);
    enter("txtReaderIDRenew", "001");
    get<QTableView>("dtgrdLendBookRenew")->selectRow(1);
    EXPECT_EQ(texts({"txtReaderNameRenew", "txtBookIDRenew", "txtBookNameRenew", "txtLendDate"}),
              "张三|B002|史记|2026/3/1");
    get<QDateEdit>("dtpLendDateChange")->setDate(QDate(2026, 3, 18));
    expectMessage("cmdOK", QString(), "续借完毕!");
    EXPECT_EQ(loans(), "B001@2026-03-01,B002@2026-03-18,B003@2026-03-02,B004@2026-03-01");

    showTab(0);
    enter("txtReaderID", "002");  // the lend desk now lists another reader
    showTab(1);
    get<QTableView>("dtgrdLendBookRenew")->selectRow(2);
    EXPECT_EQ(texts({"txtBookIDRenew"}), "B003");
    const QString renewed = loans();

    expectMessage("txtReaderIDRenew", "999", "没有该读者信息!");
    EXPECT_FALSE(enabled("cmdOK"));
    expectMessage("txtReaderIDRenew", "", "请先输入读者编号");
    enter("txtReaderIDRenew", "002");  // one loan, which comes back meanwhile
    library.exec("UPDATE lentInfo SET 还书日期 = '2026-03-19' WHERE 读者编号 = '002'");
    expectMessage("cmdOK", QString(), "该书已不在借出中,不能续借!");
    library.addReader("003", "王五");
    enter("txtReaderIDRenew", "003");  // no loans at all
    expectMessage("cmdOK", QString(), "请先在所借图书中选择要续借的图书!");
    EXPECT_EQ(loans(), renewed);
}

TEST_F(Desk, FailedReturnLookUpsEmptyTheTabAndAFoundLoanFreesTheLendButton)
{
    get<QLineEdit>("txtReaderID")->setText("002");
    enter("txtBookID", "B004");  // lent: the lend button goes off
    ASSERT_FALSE(enabled("cmdLendBook"));
    showTab(2);
    enter("txtReadIDReturn", "001");  // reloads the lend desk for ITS reader box
    EXPECT_EQ(texts({"lblLendCount"}), "已借图书册数:1");
    enter("txtBookIDReturn", "B004");
    ASSERT_TRUE(enabled("cmdLendBook") && enabled("cmdReturn"));
    expectMessage("txtBookIDReturn", "B001", "没有该书信息!");  // never lent
    EXPECT_EQ(texts({"txtBookIDReturn", "txtReadIDReturn", "txtReaderNameReturn", "txtBookNameReturn",
                     "txtLendDateReturn", "txtFactDay", "txtFakuan"}), "B001||||||");
    EXPECT_FALSE(enabled("cmdReturn"));

    expectMessage("txtBookIDReturn", "", "请先输入书籍编号");
    expectMessage("txtReadIDReturn", "", "请先输入读者编号");
    expectMessage("txtReadIDReturn", "999", "没有该读者信息!");
    enter("txtBookIDReturn", "B004");
    library.exec("UPDATE lentInfo SET 还书日期 = '2026-03-19' WHERE 书籍编号 = 'B004'");  // at another desk
    expectMessage("cmdReturn", QString(), "该书已经归还或借阅记录已不存在,请重新查找!");
    EXPECT_EQ(storeRows("SELECT 还书日期 || '|' || ifnull(罚款金额, '') FROM lentInfo"), "2026-03-19|");
}

// One book lent, renewed and taken back by keyboard alone, as a clerk with a
// barcode scanner works: the worked example of 19 days out, 5 overdue, 0.5.
TEST_F(Desk, LendRenewReturnCycleFromTheKeyboard)
{
    EXPECT_EQ(focused(), "txtReaderID");  // the desk opens ready for a reader
    get<QDateEdit>("dtpLendDate")->setDate(QDate(2026, 3, 10));  // lent as of a date picked
    scan("001");
    EXPECT_EQ(focused(), "txtBookID");
    scan("B003");
    EXPECT_EQ(focused(), "cmdLendBook");
    scan("");  // Enter on the lend button
    EXPECT_EQ(focused(), "txtBookID");
    EXPECT_EQ(texts({"txtReaderID", "txtReaderName", "txtBookID", "txtBookName", "txtBookPrice",
                     "txtBookLeibie", "txtBookConcern", "txtBookPage", "lblLendCount", "lblRemain"}),
              "001|张三|||||||已借图书册数:1|2");
    const QTableView* grid = get<QTableView>("dtgrdLendBook");
    EXPECT_EQ(visibleRows(grid), QStringList({"读者编号|读者姓名|书籍编号|书籍名称|书籍类别|书籍页码|出版社|借书日期",
                                              "001|张三|B003|围城|文学|320|人民文学出版社|2026/3/10"}));
    EXPECT_EQ(loans(), "B003@2026-03-10,B004@2026-03-01");

    showTab(1);
    get<QDateEdit>("dtpLendDateChange")->setDate(QDate(2026, 4, 1));
    enter("txtReaderIDRenew", "001");
    QTest::keyClick(get("cmdOK"), Qt::Key_Return);

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
    EXPECT_EQ(storeRows("SELECT 读者编号, 借书日期, 还书日期, 超出天数, 罚款金额, 是否借出 FROM lentInfo"
                        " JOIN bookInfo USING (书籍编号) WHERE 书籍编号 = 'B003'"),
              "001|2026-04-01|2026-04-20|5|0.5|0");
    EXPECT_EQ(texts({"txtReadIDReturn", "txtBookIDReturn", "txtFactDay", "txtFakuan"}), "|||");
    EXPECT_FALSE(enabled("cmdReturn"));
    EXPECT_EQ(focused(), "txtReadIDReturn");
}

}  // namespace
