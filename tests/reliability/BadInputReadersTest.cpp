#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "BadInputs.h"
#include "MainWindowTest.h"
#include "Probes.h"
#include "OpenWindows.h"
#include "core/logic/Conversions.h"
#include "readers/ui/FrmBasicSet.h"
#include "readers/ui/FrmReader.h"

// Every bad text typed into every box of 读者资料管理 (finding, adding,
// changing and deleting, and adding from the desk) and of 基本设置: a refused
// write names what is wrong and leaves the store as it was; an accepted one
// stores what the box holds, cut to the characters the box takes.
namespace {

// The reader boxes in column order, with the most characters each holds (0: no limit).
const struct { const char* name; int limit; } kReaderBoxes[] = {
    {"txtReaderNo", 3}, {"txtReaderName", 8}, {"txtReaderMan", 2}, {"txtReaderTel", 12}, {"txtReaderAddress", 0}};
const QStringList kNewReader = {"009", "王五", "男", "12345", "办公室"};
const QStringList kReader001 = {"001", "张三", "女", "0571-8888", "办公室"};
const char* const kReaderColumns = "读者编号, 读者姓名, 读者性别, 联系电话, 所在部门";

// What a box holds of a text: the leading characters it takes.
QString leading(const QString& text, int limit)
{
    return limit == 0 ? text : Conversions::leadingCharacters(text, limit);
}

class BadInputForReaders : public MainWindowTest {
protected:
    void SetUp() override
    {
        library.addSmallLibrary();
        openMain();
        before = storeDump();
    }
    void TearDown() override { closeAll(); }

    static void closeAll()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (qobject_cast<FrmReader*>(top) || qobject_cast<FrmBasicSet*>(top))
                top->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    FrmReader* readers(QAction* item)
    {
        closeAll();
        item->trigger();
        return openWindow<FrmReader>();
    }
    static QLineEdit* box(FrmReader* w, int column)
    {
        return w->findChild<QLineEdit*>(kReaderBoxes[column].name);
    }
    // Types the values into the boxes (null: leave the box alone).
    static void fill(FrmReader* w, const QStringList& values)
    {
        for (int i = 0; i < values.size(); ++i)
            if (!values[i].isNull())
                enterText(box(w, i), values[i]);
    }
    QString press(QPushButton* button)
    {
        prompter.clear();
        button->click();
        return prompter.texts().join('\n');
    }
    // The reader stored in this row (001 is row 1, a new reader row 3).
    static QStringList reader(int row)
    {
        return storeRows(QString("SELECT %1 FROM readerInfo WHERE rowid = %2").arg(kReaderColumns).arg(row)).split('|');
    }
    void undo()
    {
        library.exec("BEGIN");
        library.exec("DELETE FROM readerInfo WHERE rowid > 2");
        library.exec("UPDATE readerInfo SET 读者姓名 = '张三', 读者性别 = '女', 联系电话 = '0571-8888',"
                     " 所在部门 = '办公室' WHERE 读者编号 = '001'");
        library.exec("COMMIT");
        EXPECT_TRUE(storeDump() == before);
    }

    QString before;
};

TEST_F(BadInputForReaders, AddingFromTheMenuOrTheDeskStoresWhatTheBoxHolds)
{
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"a number in use", "001"};
    int tried = 0;
    for (int column = 0; column < 5; ++column) {
        for (bool fromDesk : {false, true}) {
            if (fromDesk && column != 0)
                continue;
            for (const BadInput& bad : inputs) {
                if (QString(bad.what) == "a number in use" && column != 0)
                    continue;
                SCOPED_TRACE(std::string(kReaderBoxes[column].name) + (fromDesk ? " from the desk, " : ", ")
                             + bad.what);
                FrmReader* w = nullptr;
                QStringList typed = kNewReader;
                typed[column] = bad.text;
                if (fromDesk) {
                    closeAll();
                    // The desk's reader box holds any text; the reader window takes it over.
                    enterText(window.findChild<QLineEdit*>("txtReaderID"), bad.text);
                    window.findChild<QPushButton*>("cmdReaderInfo")->click();
                    w = openWindow<FrmReader>();
                    typed[0] = QString();
                } else {
                    w = readers(window.meuReaderSet);
                }
                ASSERT_TRUE(w);
                fill(w, typed);
                const QString shown = press(w->Command3);
                ++tried;

                QStringList expected = kNewReader;
                expected[column] = leading(bad.text, kReaderBoxes[column].limit);
                EXPECT_EQ(box(w, column)->text(), expected[column]);
                if (column == 0 && (bad.text.isEmpty() || bad.text == "001")) {
                    EXPECT_EQ(shown, bad.text.isEmpty() ? "读者资料添加失败!\n请输入读者编号!"
                                                        : "读者资料添加失败!\n该读者编号已经存在。");
                    EXPECT_TRUE(storeDump() == before);
                    continue;
                }
                EXPECT_EQ(shown, "读者资料添加完毕");
                EXPECT_EQ(reader(3), expected);
                undo();
            }
        }
    }
    std::printf("读者资料管理, adding: %d bad inputs tried in 5 boxes and the desk's reader box\n", tried);
}

TEST_F(BadInputForReaders, ChangingStoresWhatTheBoxHoldsAndFindingOrDeletingNoneWritesNothing)
{
    int tried = 0;
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(bad.what);
        // Change each box of reader 001 in turn.
        for (int column = 1; column < 5; ++column) {
            FrmReader* w = readers(window.meuReaderSet);
            fill(w, {"001"});
            QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
            enterText(box(w, column), bad.text);
            EXPECT_EQ(press(w->Command5), "读者资料修改完毕!") << kReaderBoxes[column].name;
            QStringList expected = kReader001;
            expected[column] = leading(bad.text, kReaderBoxes[column].limit);
            EXPECT_EQ(reader(1), expected) << kReaderBoxes[column].name;
            undo();
            ++tried;
        }
        // A number nobody has: change and delete refuse, find finds nobody
        // and empties the boxes, in every mode; the steps find or say so.
        const QString number = leading(bad.text, 3);
        FrmReader* w = readers(window.meuReaderSet);
        fill(w, kNewReader);
        enterText(w->txtReaderNo, bad.text);
        EXPECT_EQ(press(w->Command5), "读者资料修改失败!\n没有该读者信息!");
        EXPECT_EQ(press(w->Command6), "读者资料删除失败!\n没有该读者信息!");
        for (QAction* mode : {window.meuReaderSort, window.meuReaderSet}) {
            w = readers(mode);
            fill(w, kNewReader);
            enterText(w->txtReaderNo, bad.text);
            prompter.clear();
            QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
            EXPECT_EQ(prompter.texts().join('\n'), number.isEmpty() ? "请输入读者编号!" : "没有该读者信息!");
            EXPECT_EQ(w->txtReaderName->text(), number.isEmpty() ? kNewReader[1] : QString());
            for (QPushButton* step : {w->Command2, w->Command7}) {
                enterText(w->txtReaderNo, bad.text);
                const QString shown = press(step);
                EXPECT_TRUE(shown.isEmpty() || shown == "没有该读者信息!") << shown.toStdString();
            }
        }
        EXPECT_TRUE(storeDump() == before);
        tried += 1 + 2 + 2 * 3;
    }
    std::printf("读者资料管理, finding, changing, deleting: %d bad inputs tried in 5 boxes\n", tried);
}

// 基本设置: the quota must be a whole number of 16 bits and not below 0, the
// fine a number not below 0. A refused box is shown; a saved number comes
// back the same when the window opens again.
TEST_F(BadInputForReaders, RulesRefuseWhatIsNoRuleAndKeepEveryNumberTheyTake)
{
    const QString kBadQuota = "每人最多允许借出的册数须是 0 到 32767 之间的整数!";
    const QString kBadFine = "超出一天的罚款须是不小于 0 的数!";
    // What each box takes, and what is stored; every other bad input is refused.
    const struct { int tab; const char* typed; double stored; } kTaken[] = {
        {0, "7.5", 8}, {0, " 5 ", 5}, {0, "0", 0}, {0, "32767", 32767},
        {1, "32768", 32768}, {1, "99999999999999999999999", 1e23}, {1, "0.15", 0.15}, {1, "0", 0}};
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"below 0", "-1"};
    for (const auto& taken : kTaken)
        if (std::none_of(inputs.begin(), inputs.end(), [&](const BadInput& b) { return b.text == taken.typed; }))
            inputs << BadInput{taken.typed, taken.typed};

    int tried = 0;
    for (int tab : {0, 1}) {
        for (const BadInput& bad : inputs) {
            SCOPED_TRACE(std::to_string(tab) + ", " + bad.what);
            const auto* taken = std::find_if(std::begin(kTaken), std::end(kTaken), [&](const auto& t) {
                return t.tab == tab && bad.text == t.typed;
            });
            if (taken == std::end(kTaken) && bad.text == bad.what)
                continue;  // a number the other box takes
            closeAll();
            window.mnuSetBasic->trigger();
            auto* w = openWindow<FrmBasicSet>();
            ASSERT_TRUE(w);
            QLineEdit* box = tab == 0 ? w->txtBook : w->txtFakuan;
            w->SSTab1->setCurrentIndex(tab);
            enterText(box, bad.text);
            w->SSTab1->setCurrentIndex(1 - tab);
            const QString shown = press(w->cmdSave);
            ++tried;

            if (taken == std::end(kTaken)) {
                EXPECT_EQ(shown, tab == 0 ? kBadQuota : kBadFine);
                EXPECT_TRUE(box->isVisible());  // its tab is brought forward
                EXPECT_TRUE(storeDump() == before);
                continue;
            }
            EXPECT_EQ(shown, "设置完毕!");
            EXPECT_EQ(storeRows("SELECT 借出册数, 罚款 FROM basicSet").split('|').value(tab).toDouble(), taken->stored);
            closeAll();
            window.mnuSetBasic->trigger();
            w = openWindow<FrmBasicSet>();
            EXPECT_EQ(QLocale::c().toDouble((tab == 0 ? w->txtBook : w->txtFakuan)->text()), taken->stored);
            library.setRules(3, 0.1);
            EXPECT_TRUE(storeDump() == before);
        }
    }
    std::printf("基本设置: %d bad inputs tried in 2 boxes\n", tried);
}

}  // namespace
