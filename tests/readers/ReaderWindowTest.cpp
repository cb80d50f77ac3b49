#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "MainWindowTest.h"
#include "OpenWindows.h"
#include "Probes.h"
#include "readers/ui/FrmBasicSet.h"
#include "readers/ui/FrmReader.h"

namespace {

// The reader and rules windows, opened from the main window's menus and its
// desk. Reader 002 holds B004 since 1 March.
class ReaderWindows : public MainWindowTest {
protected:
    void SetUp() override
    {
        library.addSmallLibrary();
        library.exec("UPDATE readerInfo SET 读者性别 = '男' WHERE 读者编号 = '001'");
        openMain();
    }
    void TearDown() override { closeSecondaryWindows(); }

    // The reader window as the menu item (or the desk's button) opens it.
    FrmReader* reader(QAction* item) { return open<FrmReader>(item); }
    FrmReader* readerFromDesk(const QString& deskNumber)
    {
        get<QLineEdit>("txtReaderID")->setText(deskNumber);
        get<QPushButton>("cmdReaderInfo")->click();
        return openWindow<FrmReader>();
    }
    FrmBasicSet* rulesWindow() { return open<FrmBasicSet>(window.mnuSetBasic); }
    QString deskLabel(const char* name) { return get<QLabel>(name)->text(); }

    // The five boxes, joined by "|".
    static QString boxes(const FrmReader* w)
    {
        return textsOf({w->txtReaderNo, w->txtReaderName, w->txtReaderMan, w->txtReaderTel, w->txtReaderAddress});
    }
    static void fill(FrmReader* w, const QStringList& values)
    {
        QLineEdit* boxes[] = {w->txtReaderNo, w->txtReaderName, w->txtReaderMan, w->txtReaderTel,
                              w->txtReaderAddress};
        for (int i = 0; i < 5; ++i) {
            boxes[i]->clear();
            typeText(boxes[i], values.value(i));
        }
    }
    // The captions of the buttons the clerk can see, top to bottom, then "<" and ">".
    static QString visibleButtons(const FrmReader* w)
    {
        QStringList shown;
        for (QPushButton* b : {w->cmdAddReader, w->cmdFindReader, w->cmdUpdateReader, w->cmdDeleteReader, w->cmdClose, w->cmdPrevReader,
                               w->cmdNextReader})
            if (b->isVisible())
                shown << b->text();
        return shown.join(' ');
    }
    static QString readers() { return storeRows("SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo ORDER BY 读者编号"); }
    static QString rules() { return storeRows("SELECT 借出册数, 罚款 FROM basicSet"); }
    // Clicks a button and gives the messages it brought.
    QString press(QPushButton* button)
    {
        prompter.clear();
        button->click();
        return shown();
    }
};

// ---- opening ------------------------------------------------------------------

TEST_F(ReaderWindows, EachPlaceOpensTheWindowWithItsButtons)
{
    const struct { const char* place; int mode; const char* buttons; } places[] = {
        {"读者查询", 0, "查找读者信息 退出 < >"},
        {"读者管理", 2, "添加新读者 查找读者信息 修改读者信息 删除该读者 退出 < >"},
        {"添加新读者", 1, "添加新读者 退出"},
    };
    get<QLineEdit>("txtReaderID")->setText("0156");  // only the desk's own button copies it
    for (const auto& place : places) {
        SCOPED_TRACE(place.place);
        FrmReader* w = place.mode == 0 ? reader(window.meuReaderSort)
                     : place.mode == 2 ? reader(window.meuReaderSet)
                                       : readerFromDesk("0156");
        ASSERT_TRUE(w);
        EXPECT_EQ(visibleButtons(w), place.buttons);
        // Only the desk's opening copies its number, cut to the box's three characters.
        EXPECT_EQ(w->txtReaderNo->text(), place.mode == 1 ? "015" : "");
        closeSecondaryWindows();
    }
    // Enter in the number box looks up even while the find button is hidden.
    FrmReader* w = readerFromDesk("001");
    QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
    EXPECT_EQ(boxes(w), "001|张三|男|0571-8888|办公室");

    // Opened once: another menu item brings it forward in the mode it has.
    EXPECT_EQ(reader(window.meuReaderSet), w);
    EXPECT_EQ(visibleButtons(w), "添加新读者 退出");
    w->cmdClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openWindow<FrmReader>(), nullptr);
    EXPECT_EQ(visibleButtons(reader(window.meuReaderSet)),
              "添加新读者 查找读者信息 修改读者信息 删除该读者 退出 < >");
}

// ---- looking up and stepping --------------------------------------------------

// A reader found is shown cut to the boxes' lengths, as typing is cut.
TEST_F(ReaderWindows, FindAndStepThroughNumbers)
{
    library.exec("INSERT INTO readerInfo VALUES ('100', '欧阳司马诸葛慕容端木', '男性别', '0571-88880000-1',"
                 " '图书馆古籍特藏与数字化部')");
    FrmReader* w = reader(window.meuReaderSort);
    ASSERT_TRUE(w);
    // number typed|button|the five boxes after|messages, each "text|title"
    // (the first box has no title of its own)
    const struct { const char* typed; QPushButton* FrmReader::*button; const char* after; const char* messages; }
    steps[] = {
        {"", &FrmReader::cmdFindReader, "||||", "请输入读者编号!|澄岳图书管理系统"},
        {"001", &FrmReader::cmdPrevReader, "001||||", ""},  // nothing before the first
        {"", &FrmReader::cmdNextReader, "001|张三|男|0571-8888|办公室", ""},
        {"002", &FrmReader::cmdPrevReader, "001|张三|男|0571-8888|办公室", ""},
        {"1", &FrmReader::cmdNextReader, "002|李四|女|0571-8888|办公室", ""},
        {"7", &FrmReader::cmdNextReader, "||||", "没有该读者信息!|提示"},  // 008: all five emptied
        {"999", &FrmReader::cmdNextReader, "100|欧阳司马诸葛慕容|男性|0571-8888000|图书馆古籍特藏与数字化部", ""},  // 1000 cut to 100
        {"12a", &FrmReader::cmdPrevReader, "||||", "没有该读者信息!|提示"},  // 011
        {"008", &FrmReader::cmdFindReader, "||||", "没有该读者信息!|提示"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.typed) + " " + (w->*step.button)->text().toStdString());
        fill(w, {step.typed});
        prompter.clear();
        QTest::mouseClick(w->*step.button, Qt::LeftButton);
        EXPECT_EQ(boxes(w), step.after);
        EXPECT_EQ(prompter.boxes().join('\n'), step.messages);
    }
}

// A reader added from the desk's 添加新读者 is the desk's reader at once: the
// lend tab's list and its two counts are loaded for the number in its box;
// a refused add loads nothing. A reader found reloads the list for the desk's
// own box too; a reader not found leaves it.
TEST_F(ReaderWindows, AReaderAddedFromTheDeskLoadsTheDesksList)
{
    library.addLoan("015", "B001", "2026-03-02");  // a loan kept from before the reader was registered
    FrmReader* w = readerFromDesk("015");
    fill(w, {"015", "王五"});
    w->cmdAddReader->click();
    EXPECT_EQ(shown(), "读者资料添加完毕");
    EXPECT_EQ(deskLabel("lblLendCount") + " " + deskLabel("lblRemain"), "已借图书册数:1 2");
    EXPECT_EQ(gridRows(get<QTableView>("dtgrdLendBook"), 3), "015|王五|B001");

    get<QLineEdit>("txtReaderID")->setText("001");  // typed at the desk, never confirmed
    w->cmdAddReader->click();  // 015 again: refused, the desk stays as it was
    EXPECT_EQ(deskLabel("lblLendCount"), "已借图书册数:1");
    fill(w, {"009"});
    QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
    EXPECT_EQ(deskLabel("lblLendCount"), "已借图书册数:1");
    fill(w, {"002"});
    QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
    EXPECT_EQ(deskLabel("lblLendCount") + " " + deskLabel("lblRemain"), "已借图书册数:0 3");
    EXPECT_EQ(shown(), "读者资料添加完毕\n读者资料添加失败!\n该读者编号已经存在!\n没有该读者信息!");
}

// The options write the sex box only; nothing is saved until 修改读者信息.
TEST_F(ReaderWindows, SexOptionsWriteTheBoxOnly)
{
    FrmReader* w = reader(window.meuReaderSet);
    EXPECT_TRUE(w->optMale->isChecked());
    EXPECT_EQ(w->txtReaderMan->text(), "");
    fill(w, {"001"});
    w->cmdFindReader->click();
    QTest::mouseClick(w->optFemale, Qt::LeftButton);
    EXPECT_EQ(boxes(w), "001|张三|女|0571-8888|办公室");
    EXPECT_TRUE(readers().startsWith("001|张三|男|"));
    QTest::mouseClick(w->optMale, Qt::LeftButton);
    EXPECT_EQ(w->txtReaderMan->text(), "男");
    w->optFemale->toggle();  // as a screen reader chooses
    EXPECT_EQ(w->txtReaderMan->text(), "女");
    w->cmdUpdateReader->click();
    EXPECT_TRUE(readers().startsWith("001|张三|女|"));
}

// ---- add, change, delete -------------------------------------------------------

TEST_F(ReaderWindows, AddChangeAndDeleteSayWhatHappened)
{
    FrmReader* w = reader(window.meuReaderSet);
    // the five boxes|button|message|boxes after (empty: as typed)
    const struct { QStringList typed; QPushButton* FrmReader::*button; const char* message; const char* after; }
    steps[] = {
        {{"003", "王五", "男", "139", "财务科"}, &FrmReader::cmdAddReader, "读者资料添加完毕", nullptr},
        {{"001", "赵六", "男", "1", "x"}, &FrmReader::cmdAddReader, "读者资料添加失败!\n该读者编号已经存在!", nullptr},
        {{"003", "王五", "男", "136", "馆办"}, &FrmReader::cmdUpdateReader, "读者资料修改完毕!", nullptr},
        {{"009", "赵六", "男", "1", "x"}, &FrmReader::cmdUpdateReader, "读者资料修改失败!\n没有该读者信息!", nullptr},
        {{"009", "赵六", "男", "1", "x"}, &FrmReader::cmdDeleteReader, "读者资料删除失败!\n没有该读者信息!", nullptr},
        {{"001", "", "", "", ""}, &FrmReader::cmdDeleteReader, "编号001读者已删除!", "||||"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE((w->*step.button)->text().toStdString() + " " + step.typed.join('|').toStdString());
        fill(w, step.typed);
        EXPECT_EQ(press(w->*step.button), step.message);
        EXPECT_EQ(boxes(w), step.after ? QString(step.after) : step.typed.join('|'));
    }
    EXPECT_EQ(readers(), "002|李四|女|0571-8888|办公室,003|王五|男|136|馆办");

    // A refusal of the store is told with its words; the table and the boxes
    // stay, and the window goes on working.
    library.exec("CREATE TRIGGER refuse BEFORE UPDATE ON readerInfo BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    fill(w, {"003", "王五五", "男", "136", "馆办"});
    const QString told = press(w->cmdUpdateReader);
    EXPECT_TRUE(told.startsWith("读者资料修改失败!\n数据库报告: disk says no")) << told.toStdString();
    EXPECT_EQ(boxes(w), "003|王五五|男|136|馆办");
    EXPECT_EQ(readers(), "002|李四|女|0571-8888|办公室,003|王五|男|136|馆办");
    w->cmdFindReader->click();
    EXPECT_EQ(boxes(w), "003|王五|男|136|馆办");
}

// A reader who still has books out goes only when the clerk, told how many,
// agrees; the loans stay either way.
TEST_F(ReaderWindows, DeletingAReaderWithBooksOutAsksFirst)
{
    library.addLoan("002", "B001", "2026-03-02");
    library.addLoan("002", "B009", "2026-01-02", "2026-01-09");  // brought back
    library.addLoan("002", "B404", "2026-03-03");                // its book is gone: still out
    FrmReader* w = reader(window.meuReaderSet);
    fill(w, {"002"});
    prompter.questionAnswers << false << true;
    w->cmdDeleteReader->click();
    EXPECT_EQ(shown(), "编号002的读者还有3本书未归还,删除读者后这些借阅记录仍然保留。\n确定要删除该读者吗?");
    EXPECT_EQ(boxes(w), "002||||");
    EXPECT_TRUE(readers().startsWith("001|张三|男|0571-8888|办公室,002|"));
    EXPECT_EQ(press(w->cmdDeleteReader).section('\n', -1), "编号002读者已删除!");
    EXPECT_EQ(readers(), "001|张三|男|0571-8888|办公室");
    EXPECT_EQ(library.scalar("SELECT count(*) FROM lentInfo WHERE 读者编号 = '002'").toInt(), 4);
    EXPECT_EQ(storeRows("SELECT 是否借出 FROM bookInfo ORDER BY 书籍编号"), "0,1");  // B004 still lent
    // Without books out no question is asked.
    fill(w, {"001"});
    EXPECT_EQ(press(w->cmdDeleteReader), "编号001读者已删除!");
}

// ---- lending rules ---------------------------------------------------------------

TEST_F(ReaderWindows, RulesWindowShowsSavesAndRefusesWhatTheRulesCannotTake)
{
    library.setRules(3, 0.25);
    FrmBasicSet* w = rulesWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->SSTab1->tabText(0) + "|" + w->SSTab1->tabText(1), "最大借出册数设置|罚款条件设置");
    EXPECT_EQ(textsOf({w->txtBook, w->txtFakuan}), "3|0.25");  // the stored rules

    // quota|fine|message|tab shown after
    const struct { const char *quota, *fine, *message; int tab; } saves[] = {
        {"三", "0.2", "每人最多允许借出的册数须是 0 到 32767 之间的整数!", 0},
        {"4", "一毛", "超出一天的罚款须是不小于 0 的数!", 1},
    };
    for (const auto& save : saves) {
        SCOPED_TRACE(std::string(save.quota) + "/" + save.fine);
        w->SSTab1->setCurrentIndex(1 - save.tab);
        w->txtBook->setText(save.quota);
        w->txtFakuan->setText(save.fine);
        EXPECT_EQ(press(w->cmdSave), save.message);
        EXPECT_EQ(w->SSTab1->currentIndex(), save.tab);
        EXPECT_EQ(rules(), "3|0.25");
    }
    w->txtBook->setText("1");
    w->txtFakuan->setText("0.2");
    EXPECT_EQ(press(w->cmdSave), "设置完毕!");
    EXPECT_EQ(rules(), "1|0.2");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(press(w->cmdSave), "设置完毕!");  // nothing changed: the same values again

    // Closed after an edit without saving: the row keeps its values.
    w->txtBook->setText("9");
    w->cmdClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(rules(), "1|0.2");
    w = rulesWindow();
    EXPECT_EQ(textsOf({w->txtBook, w->txtFakuan}), "1|0.2");

    // The desk's next look-up counts with the new quota.
    get<QLineEdit>("txtReaderID")->setText("002");
    QTest::keyClick(get<QLineEdit>("txtReaderID"), Qt::Key_Return);
    EXPECT_EQ(deskLabel("lblRemain"), "0");
}

}  // namespace
