#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QSettings>

#include "MainWindowTest.h"
#include "Probes.h"
#include "reports/ui/FrmPrintSettings.h"

namespace {

// The desk lends 红楼梦 (14 days) to 张三 on 20 March 2026, quota 3.
class LoanSlips : public MainWindowTest {
protected:
    void SetUp() override
    {
        addBasics();
        library.addBook("B001", "红楼梦", "A");
        openMain();
    }
    void lend()
    {
        for (const auto& [box, text] : {std::pair{"txtReaderID", "001"}, std::pair{"txtBookID", "B001"}}) {
            get<QLineEdit>(box)->setText(text);
            QTest::keyClick(get<QLineEdit>(box), Qt::Key_Return);
        }
        prompter.clear();
        get<QPushButton>("cmdLendBook")->click();
    }
    QStringList slips() const { return QDir(library.path("slips")).entryList({"*.pdf"}); }
};

TEST_F(LoanSlips, OffByDefaultThenPrintedAfterEachLoanAsSet)
{
    lend();
    EXPECT_EQ(shown(), "借出完毕!");
    EXPECT_TRUE(slips().isEmpty());
    library.exec("UPDATE lentInfo SET 还书日期 = '2026-03-20'");
    library.exec("UPDATE bookInfo SET 是否借出 = 0");

    auto* settings = open<FrmPrintSettings>(window.findChild<QAction*>("mnuPrintSettings"));
    ASSERT_TRUE(settings);
    settings->chkSlipOnLend->setChecked(true);
    settings->cboPrinter->setCurrentIndex(settings->cboPrinter->count() - 1);  // PDF files
    prompter.clear();
    settings->cmdSave->click();
    EXPECT_EQ(shown(), "设置完毕!");
    lend();
    EXPECT_EQ(shown(), "借出完毕!");
    ASSERT_EQ(slips().size(), 1);
    const QString text = pdfText(library.path("slips/" + slips().first()));
    for (const char* line : {"借书凭条", "读者: 张三 (001)", "书籍编号: B001", "书籍名称: 红楼梦", "借书日期: 2026/3/20",
                             "应还日期: 2026/4/3", "还可借阅: 2 册"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
}

// A slip that cannot be printed is told; the loan stands.
TEST_F(LoanSlips, AFailedSlipLeavesTheLoan)
{
    QSettings file(library.path("print.ini"), QSettings::IniFormat);
    file.setValue("slip/onLend", true);
    file.setValue("slip/printer", "没有这台打印机");
    file.sync();
    lend();
    EXPECT_EQ(shown(), "借出完毕!\n借书凭条没有打印出来: 打印机 没有这台打印机 无法使用\n这次借书已经完成。");
    EXPECT_EQ(storeRows("SELECT 读者编号, 书籍编号, 借书日期 FROM lentInfo"), "001|B001|2026-03-20");
    EXPECT_EQ(storeRows("SELECT 是否借出 FROM bookInfo"), "1");
}

}  // namespace
