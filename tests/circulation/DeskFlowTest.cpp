#include <QItemSelectionModel>

#include "DeskFixture.h"

namespace {

using DeskFlow = DeskFixture;

// Types into whatever has the focus, as a keyboard or a barcode scanner does.
void scan(Frmmain& window, const QString& value)
{
    QWidget* target = window.focusWidget();
    ASSERT_TRUE(target);
    if (!value.isEmpty())
        QTest::keyClicks(target, value);
    QTest::keyClick(target, Qt::Key_Return);
}

TEST_F(DeskFlow, SeveralBooksGoToOneReaderFromTheKeyboardAlone)
{
    EXPECT_EQ(focused(), "txtReaderID");  // the desk opens ready for a reader
    scan(*window, "001");
    EXPECT_EQ(focused(), "txtBookID");
    scan(*window, "B001");
    EXPECT_EQ(focused(), "cmdLendBook");
    scan(*window, "");  // Enter on the lend button
    EXPECT_EQ(prompter.texts(), QStringList({"借出完毕!"}));
    EXPECT_EQ(focused(), "txtBookID");
    for (const char* box : {"txtBookID", "txtBookName", "txtBookPrice", "txtBookLeibie",
                            "txtBookConcern", "txtBookPage"})
        EXPECT_EQ(text(box), "") << box;
    EXPECT_EQ(text("txtReaderID"), "001");
    EXPECT_EQ(text("txtReaderName"), "张三");
    EXPECT_EQ(caption("lblLendCount"), "已借图书册数:1");
    EXPECT_EQ(caption("lblRemain"), "2");
    scan(*window, "B002");
    scan(*window, "");
    EXPECT_EQ(caption("lblRemain"), "1");
    EXPECT_EQ(get<QTableView>("dtgrdLendBook")->model()->rowCount(), 2);
    EXPECT_EQ(scalar("SELECT group_concat(loan, ',') FROM (SELECT 书籍编号 || '@' || 借书日期 AS loan"
                     " FROM lentInfo WHERE 读者编号 = '001' ORDER BY rowid)").toString(),
              "B001@2026-03-20,B002@2026-03-20");
    EXPECT_EQ(scalar("SELECT sum(是否借出) FROM bookInfo").toInt(), 3);
}

TEST_F(DeskFlow, LendingAtTheQuotaIsRefusedAndClearsTheDesk)
{
    library.setRules(2, 0.1);
    library.addLoan("001", "B001", "2026-03-01");
    enter("txtReaderID", "001");
    enter("txtBookID", "B002");
    get<QDateEdit>("dtpLendDate")->setDate(QDate(2026, 2, 27));  // a date picked in the past
    press("cmdLendBook");
    EXPECT_EQ(caption("lblRemain"), "0");
    EXPECT_EQ(scalar("SELECT 借书日期 FROM lentInfo WHERE 书籍编号 = 'B002'").toString(), "2026-02-27");
    enter("txtBookID", "B003");
    prompter.clear();
    press("cmdLendBook");
    EXPECT_EQ(prompter.texts(), QStringList({"您的书已经借满,不能再借!"}));
    for (const char* box : {"txtReaderID", "txtReaderName", "txtBookID", "txtBookName"})
        EXPECT_EQ(text(box), "") << box;
    EXPECT_EQ(caption("lblRemain"), "0");
    EXPECT_EQ(focused(), "txtReaderID");
    EXPECT_EQ(scalar("SELECT count(*) FROM lentInfo WHERE 书籍编号 = 'B003'").toInt(), 0);
}

TEST_F(DeskFlow, LendingChecksWhatTheBoxesSayNow)
{
    press("cmdLendBook");
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号!");
    enter("txtReaderID", "001");
    press("cmdLendBook");  // no book typed
    EXPECT_EQ(prompter.lastText(), "请先输入书籍编号");
    enter("txtBookID", "B999");
    press("cmdLendBook");  // the button stays usable after a failed look-up
    EXPECT_EQ(prompter.lastText(), "没有该书信息!");
    QTest::keyClicks(get("txtBookID"), "");
    get("txtBookID")->setText("B004");  // typed but not looked up: already lent
    press("cmdLendBook");
    EXPECT_EQ(prompter.lastText(), "该书已经借出,请选择其它图书!");
    get("txtReaderID")->setText("999");
    get("txtBookID")->setText("B001");
    press("cmdLendBook");
    EXPECT_EQ(prompter.lastText(), "没有该读者信息!");
    EXPECT_EQ(loans(), 1);
    EXPECT_EQ(scalar("SELECT sum(是否借出) FROM bookInfo").toInt(), 1);
}

TEST_F(DeskFlow, AStoreErrorIsShownAndNothingIsHalfWritten)
{
    library.exec("CREATE TRIGGER refuse_flag BEFORE UPDATE ON bookInfo"
                 " BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    enter("txtReaderID", "001");
    enter("txtBookID", "B001");
    press("cmdLendBook");
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.lastText().startsWith("借出图书失败!")) << prompter.lastText().toStdString();
    EXPECT_TRUE(prompter.lastText().contains("disk says no"));
    EXPECT_EQ(loans(), 1);
    EXPECT_EQ(text("txtBookID"), "B001");  // the clerk can try again
    window->InitDataGrid(false);
    EXPECT_EQ(caption("lblRemain"), "3");
}

class RenewFlow : public DeskFixture {
protected:
    void SetUp() override
    {
        DeskFixture::SetUp();
        library.addLoan("001", "B001", "2026-03-01");
        library.addLoan("001", "B002", "2026-03-01");
        library.addLoan("001", "B003", "2026-03-02");
        showTab(1);
    }
    QString lendDates()
    {
        return scalar("SELECT group_concat(loan, ',') FROM (SELECT 书籍编号 || '@' || 借书日期 AS loan"
                      " FROM lentInfo WHERE 读者编号 = '001' ORDER BY rowid)").toString();
    }
};

TEST_F(RenewFlow, TheChosenLoanAndOnlyThatOneGetsTheNewDate)
{
    enter("txtReaderIDRenew", "001");
    EXPECT_EQ(text("txtReaderNameRenew"), "张三");
    EXPECT_TRUE(enabled("cmdOK"));
    QTableView* grid = get<QTableView>("dtgrdLendBookRenew");
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(text("txtBookIDRenew"), "B001");  // the first loan is current
    grid->setCurrentIndex(grid->model()->index(1, 0));
    EXPECT_EQ(QStringList({text("txtBookIDRenew"), text("txtBookNameRenew"), text("txtLendDate")}),
              QStringList({"B002", "史记", "2026/3/1"}));
    get<QDateEdit>("dtpLendDateChange")->setDate(QDate(2026, 3, 18));
    press("cmdOK");
    EXPECT_EQ(prompter.texts(), QStringList({"续借完毕!"}));
    EXPECT_EQ(lendDates(), "B001@2026-03-01,B002@2026-03-18,B003@2026-03-02");
    // The grid is not reloaded: it shows the old date until the next look-up.
    EXPECT_EQ(text("txtLendDate"), "2026/3/1");
    EXPECT_TRUE(enabled("cmdOK"));
    enter("txtReaderIDRenew", "001");
    grid->setCurrentIndex(grid->model()->index(1, 0));
    EXPECT_EQ(text("txtLendDate"), "2026/3/18");
}

TEST_F(RenewFlow, EachTabKeepsItsOwnList)
{
    enter("txtReaderIDRenew", "001");
    get<QTableView>("dtgrdLendBookRenew")->setCurrentIndex(
        get<QTableView>("dtgrdLendBookRenew")->model()->index(2, 0));
    showTab(0);
    enter("txtReaderID", "002");  // the lend desk now lists another reader
    EXPECT_EQ(get<QTableView>("dtgrdLendBook")->model()->rowCount(), 1);
    showTab(1);
    EXPECT_EQ(get<QTableView>("dtgrdLendBookRenew")->model()->rowCount(), 3);
    EXPECT_EQ(text("txtBookIDRenew"), "B003");
    press("cmdOK");
    EXPECT_EQ(prompter.lastText(), "续借完毕!");
    EXPECT_EQ(lendDates(), "B001@2026-03-01,B002@2026-03-01,B003@2026-03-20");
}

TEST_F(RenewFlow, RefusalsWriteNothing)
{
    enter("txtReaderIDRenew", "001");
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
    library.exec("INSERT INTO readerInfo (读者编号, 读者姓名) VALUES ('003', '王五')");
    enter("txtReaderIDRenew", "003");  // no loans at all
    EXPECT_EQ(text("txtBookIDRenew"), "");
    EXPECT_TRUE(enabled("cmdOK"));
    press("cmdOK");
    EXPECT_EQ(prompter.lastText(), "请先在所借图书中选择要续借的图书!");
    EXPECT_EQ(lendDates(), "B001@2026-03-01,B002@2026-03-01,B003@2026-03-02");
    EXPECT_EQ(scalar("SELECT 借书日期 FROM lentInfo WHERE 读者编号 = '002'").toString(), "2026-03-01");
}

class ReturnFlow : public DeskFixture {
protected:
    void SetUp() override
    {
        DeskFixture::SetUp();
        showTab(2);
    }
    QStringList returnBoxes()
    {
        QStringList texts;
        for (const char* box : {"txtBookNameReturn", "txtBookPriceReturn", "txtBookLeibieReturn",
                                "txtBookPageReturn", "txtLendDateReturn", "txtDay", "txtReturnDate",
                                "txtFactDay", "txtDayCount", "txtFakuan"})
            texts << text(box);
        return texts;
    }
};

TEST_F(ReturnFlow, LookUpShowsTheFineAndReturnStoresWhatWasShown)
{
    library.exec("UPDATE lentInfo SET 借书日期 = '2026-03-03'");  // 17 days out, 3 overdue
    enter("txtReadIDReturn", "002");
    EXPECT_EQ(text("txtReaderNameReturn"), "李四");
    EXPECT_EQ(focused(), "txtBookIDReturn");
    enter("txtBookIDReturn", "B004");
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(returnBoxes(), QStringList({"边城", "25.00", "文学", "320", "2026/3/3", "14", "2026/3/20",
                                          "17", "3", "0.3"}));
    EXPECT_TRUE(enabled("cmdReturn"));
    EXPECT_EQ(focused(), "cmdReturn");
    QTest::keyClick(get<QPushButton>("cmdReturn"), Qt::Key_Return);
    EXPECT_EQ(prompter.texts(), QStringList({"归还完毕!"}));
    EXPECT_EQ(scalar("SELECT 还书日期 || '|' || 超出天数 || '|' || 罚款金额 FROM lentInfo").toString(),
              "2026-03-20|3|0.3");
    EXPECT_EQ(scalar("SELECT 罚款金额 FROM lentInfo").toDouble(), 0.3);
    EXPECT_EQ(scalar("SELECT 是否借出 FROM bookInfo WHERE 书籍编号 = 'B004'").toInt(), 0);
    EXPECT_EQ(returnBoxes().join(""), "");
    EXPECT_EQ(text("txtBookIDReturn") + text("txtReadIDReturn") + text("txtReaderNameReturn"), "");
    EXPECT_FALSE(enabled("cmdReturn"));
    EXPECT_EQ(focused(), "txtReadIDReturn");
    enter("txtBookIDReturn", "");
    EXPECT_EQ(prompter.lastText(), "请先输入书籍编号");
}

TEST_F(ReturnFlow, ReaderLookUpReloadsTheLendDeskAndALoanFreesItsButton)
{
    showTab(0);
    get("txtReaderID")->setText("002");
    enter("txtBookID", "B004");  // lent: the lend button goes off
    ASSERT_FALSE(enabled("cmdLendBook"));
    EXPECT_EQ(caption("lblRemain"), "");
    showTab(2);
    enter("txtReadIDReturn", "001");  // reloads the lend desk for ITS reader box
    EXPECT_EQ(caption("lblLendCount"), "已借图书册数:1");
    EXPECT_EQ(caption("lblRemain"), "2");
    enter("txtBookIDReturn", "B004");
    EXPECT_TRUE(enabled("cmdLendBook"));
}

TEST_F(ReturnFlow, AFailedLookUpEmptiesTheTabButKeepsTheBookNumber)
{
    enter("txtBookIDReturn", "B004");  // no reader typed: nothing at all
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(returnBoxes().join(""), "");
    enter("txtReadIDReturn", "002");
    enter("txtBookIDReturn", "B004");
    ASSERT_TRUE(enabled("cmdReturn"));
    enter("txtBookIDReturn", "B001");  // never lent
    EXPECT_EQ(prompter.lastText(), "没有该书信息!");
    EXPECT_EQ(returnBoxes().join(""), "");
    EXPECT_EQ(text("txtReadIDReturn") + text("txtReaderNameReturn"), "");
    EXPECT_EQ(text("txtBookIDReturn"), "B001");
    EXPECT_FALSE(enabled("cmdReturn"));
    enter("txtReadIDReturn", "999");
    EXPECT_EQ(prompter.lastText(), "没有该读者信息!");
    enter("txtReadIDReturn", "");
    EXPECT_EQ(prompter.lastText(), "请先输入读者编号");
    EXPECT_EQ(scalar("SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL").toInt(), 1);
}

TEST_F(ReturnFlow, ADayCountTooLargeIsReported)
{
    library.exec("UPDATE lentInfo SET 借书日期 = '1900-01-01'");
    enter("txtReadIDReturn", "002");
    enter("txtBookIDReturn", "B004");
    EXPECT_TRUE(prompter.lastText().startsWith("无法计算罚款")) << prompter.lastText().toStdString();
    EXPECT_FALSE(enabled("cmdReturn"));
    EXPECT_EQ(scalar("SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL").toInt(), 1);
}

TEST_F(DeskFlow, LendRenewReturnCycle)
{
    enter("txtReaderID", "001");
    enter("txtBookID", "B003");
    QTest::keyClick(get<QPushButton>("cmdLendBook"), Qt::Key_Return);
    const qint64 loan = scalar("SELECT rowid FROM lentInfo WHERE 书籍编号 = 'B003'").toLongLong();
    ASSERT_NE(loan, 0);

    clock.setToday(QDate(2026, 4, 1));
    showTab(1);
    get<QDateEdit>("dtpLendDateChange")->setDate(QDate(2026, 4, 1));
    enter("txtReaderIDRenew", "001");
    EXPECT_EQ(text("txtBookIDRenew"), "B003");
    press("cmdOK");

    clock.setToday(QDate(2026, 4, 20));  // 19 days after the renewal, 5 overdue
    showTab(2);
    enter("txtReadIDReturn", "001");
    enter("txtBookIDReturn", "B003");
    EXPECT_EQ(QStringList({text("txtLendDateReturn"), text("txtFactDay"), text("txtDayCount"),
                           text("txtFakuan")}),
              QStringList({"2026/4/1", "19", "5", "0.5"}));
    press("cmdReturn");
    EXPECT_EQ(prompter.texts(), QStringList({"借出完毕!", "续借完毕!", "归还完毕!"}));
    EXPECT_EQ(scalar("SELECT 读者编号 || '|' || 借书日期 || '|' || 还书日期 || '|' || 超出天数 || '|' ||"
                     " 罚款金额 FROM lentInfo WHERE rowid = :r", {{"r", loan}})
                  .toString(),
              "001|2026-04-01|2026-04-20|5|0.5");
    EXPECT_EQ(scalar("SELECT 是否借出 FROM bookInfo WHERE 书籍编号 = 'B003'").toInt(), 0);
    showTab(0);
    enter("txtReaderID", "001");
    EXPECT_EQ(caption("lblLendCount"), "已借图书册数:0");
}

}  // namespace
