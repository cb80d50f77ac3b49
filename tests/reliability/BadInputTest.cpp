#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "BadInputs.h"
#include "MainWindowTest.h"
#include "OpenWindows.h"
#include "Probes.h"
#include "app/FrmLogon.h"
#include "catalogue/ui/FrmAddnew.h"
#include "catalogue/ui/FrmSetBook.h"
#include "catalogue/ui/FrmShelfmark.h"
#include "catalogue/ui/FrmUpdateBook.h"
#include "core/logic/AccountFile.h"
#include "core/logic/Conversions.h"
#include "core/logic/KeyedResultModel.h"
#include "queries/ui/FrmBookQuery.h"
#include "queries/ui/FrmLendQuery.h"
#include "readers/ui/FrmBasicSet.h"
#include "readers/ui/FrmReader.h"

// Every bad text typed or pasted into every box of every window, then the
// window's button pressed: a refused write names what is wrong and leaves the
// store as it was; an accepted one stores exactly what the box held; a search
// writes nothing and finds what a plain reading of the store finds.
namespace {

// The main window on the small library; each try opens its window afresh.
class BadInputIn : public MainWindowTest {
protected:
    void SetUp() override
    {
        library.addSmallLibrary();
        openMain();
        before = storeDump();
        beforeWithoutIndex = storeDump(false);
    }
    void TearDown() override { closeSecondaryWindows(); }

    QString press(QAbstractButton* button)
    {
        prompter.clear();
        button->click();
        return shown();
    }
    // Takes out what a try wrote; nothing else may have changed (the search
    // index aside, unless asked).
    void undo(const QStringList& statements, bool withSearchIndex = false)
    {
        library.exec("BEGIN");
        for (const QString& statement : statements)
            library.exec(statement);
        library.exec("COMMIT");
        EXPECT_TRUE(storeDump(withSearchIndex) == (withSearchIndex ? before : beforeWithoutIndex));
    }

    QString before, beforeWithoutIndex;
};

// ---- 添加新书, the edit window, 设置图书类别 ---------------------------------
// (The book list 书库管理 has no box: its grid cannot be edited.)

const char* const kBookColumns = "书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格, 书籍页码, 登记日期, 是否借出";

// A box of the two book windows and the bookInfo column it writes.
struct BookBox {
    const char* addBox;   // in 添加新书
    const char* editBox;  // in the edit window (null: the number cannot be typed there)
    int column;           // in kBookColumns
    const char* whenEmpty;  // what 添加新书 says of an empty box, or null when it writes "不详"
};

const BookBox kBookBoxes[] = {
    {"txtBookID", nullptr, 0, "请输入书籍编号!"},
    {"txtBookName", "txtBookName", 1, "请输入书籍名称!"},
    {"cboType", "cboType", 2, "请选择书籍类别!"},
    {"txtBookConcern", "txtBookConcern", 3, nullptr},
    {"txtWriter", "txtWriter", 4, nullptr},
    {"txtBookPrice", "txtPrice", 5, "请输入书籍价格!"},
    {"txtPage", "txtPage", 6, nullptr},
};

// The new book every try starts from, in column order; the edited book as stored.
const QStringList kNewBook = {"N1", "新书", "A", "三联书店", "鲁迅", "25", "200", "2026-03-20", "0"};
const QStringList kB001 = {"B001", "红楼梦", "A", "人民文学出版社", "不详", "25.00", "320", "2026-01-05", "0"};
const QString kRestoreB001 = "UPDATE bookInfo SET 书籍名称 = '红楼梦', 类别代码 = 'A', 出版社 = '人民文学出版社',"
                             " 作者姓名 = '不详', 书籍价格 = '25.00', 书籍页码 = '320', 登记日期 = '2026-01-05'"
                             " WHERE 书籍编号 = 'B001'";

// What a box makes of a text: the category box keeps the item's code, its
// first character; the others keep the text.
QString written(const BookBox& box, const QString& typed)
{
    return QString(box.addBox) == "cboType" ? Conversions::leadingCharacters(typed, 1) : typed;
}
// The query of the book in this row (B001 is row 1, a new book row 3).
QString bookAt(int row)
{
    return QString("SELECT %1 FROM bookInfo WHERE rowid = %2").arg(kBookColumns).arg(row);
}
// The known publishers: none, or the one a try added.
QString publishers()
{
    return storeRows("SELECT 出版社 FROM bookconcernList");
}

class BadInputInTheCatalogue : public BadInputIn {
protected:
    void undoBook(const QString& statement = QString())
    {
        undo({statement.isEmpty() ? "SELECT 1" : statement, "DELETE FROM bookInfo WHERE rowid > 2",
              "DELETE FROM bookType WHERE rowid > 2", "DELETE FROM bookconcernList"});
    }
    FrmUpdateBook* editB001()
    {
        auto* list = open<FrmShelfmark>(window.mnuShelfmark, true);
        list->DataGrid1->setCurrentIndex(list->DataGrid1->model()->index(0, 0));
        list->cmdModify->click();
        return openWindow<FrmUpdateBook>();
    }
    FrmAddnew* newBook(int boxes = 7)
    {
        auto* w = open<FrmAddnew>(window.meuAddNewBook, true);
        for (int i = 0; i < boxes; ++i)
            enterText(w->findChild<QWidget*>(kBookBoxes[i].addBox), i == 2 ? QString("A-文学") : kNewBook[i]);
        return w;
    }
};

TEST_F(BadInputInTheCatalogue, NewBookRefusesWithItsMessageOrStoresWhatWasTyped)
{
    // A number in use, in any case of its letters, is refused with the number.
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"a number in use", "B001"} << BadInput{"a number in use, other case", "b001"};
    for (const BookBox& box : kBookBoxes) {
        for (const BadInput& bad : inputs) {
            const bool inUse = QString(bad.what).startsWith("a number in use");
            if (inUse && box.column != 0)
                continue;
            SCOPED_TRACE(std::string(box.addBox) + ", " + bad.what);
            auto* w = newBook();
            const BadInputTry tried = tryText(prompter, w->findChild<QWidget*>(box.addBox), bad.text, w->cmdSave);
            QStringList expected = kNewBook;
            expected[box.column] = bad.text.isEmpty() ? QString("不详") : written(box, bad.text);
            const QString refusal = bad.text.isEmpty() && box.whenEmpty ? QString(box.whenEmpty)
                                    : inUse ? "编号为" + bad.text + "的书籍已经存在,请换一个书籍编号!"
                                            : QString();
            expectRefusedOrStored(tried, refusal, "新书添加完毕", bookAt(3), expected);
            if (refusal.isEmpty()) {
                EXPECT_EQ(publishers(), expected[3].trimmed());
                undoBook();
            }
        }
    }
}

TEST_F(BadInputInTheCatalogue, BookEditStoresWhatWasTypedAndNothingElse)
{
    for (const BookBox& box : kBookBoxes) {
        for (const BadInput& bad : badInputs()) {
            if (!box.editBox)
                break;
            SCOPED_TRACE(std::string(box.editBox) + ", " + bad.what);
            auto* w = editB001();
            ASSERT_TRUE(w);
            // No "不详" here: an empty box writes the empty text.
            QStringList expected = kB001;
            expected[box.column] = written(box, bad.text);
            expectRefusedOrStored(tryText(prompter, w->findChild<QWidget*>(box.editBox), bad.text, w->cmdSave), {},
                                  "保存修改完毕!", bookAt(1), expected);
            EXPECT_EQ(publishers(), expected[3].trimmed());
            undoBook(kRestoreB001);
        }
    }
    // A book holding the text in every column it shows comes back the same
    // when it is opened for editing and saved untouched.
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(std::string("untouched, ") + bad.what);
        library.exec("UPDATE bookInfo SET 书籍名称 = :t, 出版社 = :t, 作者姓名 = :t, 书籍价格 = :t, 书籍页码 = :t"
                     " WHERE 书籍编号 = 'B001'", {{"t", bad.text}});
        const QString stored = storeRows(bookAt(1));
        auto* w = editB001();
        ASSERT_TRUE(w);
        EXPECT_EQ(press(w->cmdSave), "保存修改完毕!");
        EXPECT_EQ(storeRows(bookAt(1)), stored);
        undoBook(kRestoreB001);
    }
}

// A date typed into either window's date picker: whatever is typed, the
// picker holds a real day and that day is stored.
TEST_F(BadInputInTheCatalogue, ADatePickerStoresOnlyARealDay)
{
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(bad.what);
        auto* add = newBook(3);
        enterText(add->txtBookPrice, "25");
        enterText(add->dtpRigDate, bad.text);
        const QDate picked = add->dtpRigDate->date();
        EXPECT_EQ(press(add->cmdSave), "新书添加完毕");
        ASSERT_TRUE(picked.isValid());
        EXPECT_EQ(storeRows(bookAt(3)).section('|', 7, 7), picked.toString(Qt::ISODate));

        auto* edit = editB001();
        enterText(edit->dtpRigDate, bad.text);
        const QDate changed = edit->dtpRigDate->date();
        EXPECT_EQ(press(edit->cmdSave), "保存修改完毕!");
        ASSERT_TRUE(changed.isValid());
        EXPECT_EQ(storeRows(bookAt(1)).section('|', 7, 7), changed.toString(Qt::ISODate));
        undoBook(kRestoreB001);
    }
}

// 设置图书类别, adding and changing: the code must be new and not empty, the
// loan days a whole number of 16 bits; the name may be anything.
TEST_F(BadInputInTheCatalogue, CategoryRefusesWithItsMessageOrStoresWhatWasTyped)
{
    // Loan days that are numbers, with what is stored; every bad input is refused.
    const QMap<QString, QString> kGoodDays = {
        {"7.5", "8"}, {"6.5", "6"}, {" 15 ", "15"}, {"-32768", "-32768"}, {"32767", "32767"}};
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"a code in use", "A"} << BadInput{"a code in use, other case", "a"};
    for (const QString& good : kGoodDays.keys())
        inputs << BadInput{"loan days", good};

    for (bool adding : {true, false}) {
        for (int box = adding ? 0 : 1; box < 3; ++box) {
            for (const BadInput& bad : inputs) {
                const bool inUse = QString(bad.what).startsWith("a code in use");
                if (inUse && box != 0)
                    continue;
                SCOPED_TRACE(std::string(adding ? "adding, box " : "changing, box ") + char('0' + box) + ", "
                             + bad.what + " " + bad.text.left(20).toStdString());
                auto* w = open<FrmSetBook>(window.mnuSetBook, true);
                QLineEdit* boxes[] = {w->txtTypeID, w->txtTypeName, w->txtDay};
                QStringList row = adding ? QStringList{"C", "哲学", "21"} : QStringList{"A", "文学", "14"};
                (adding ? w->cmdAdd : w->cmdModify)->click();
                for (int i = adding ? 0 : 1; i < 3; ++i)
                    enterText(boxes[i], row[i]);
                const BadInputTry tried = tryText(prompter, boxes[box], bad.text, w->cmdSave);

                row[box] = box == 2 ? kGoodDays.value(bad.text) : bad.text;
                const QString refusal = box == 0 && bad.text.isEmpty() ? "请输入类别代码!"
                                        : inUse ? "类别代码为" + bad.text + "的类别已经存在,请换一个类别代码!"
                                        : box == 2 && !kGoodDays.contains(bad.text)
                                            ? "借出天数必须是 -32768 到 32767 之间的数字!"
                                            : QString();
                expectRefusedOrStored(tried, refusal, "保存完毕!",
                                      QString("SELECT 类别代码, 书籍类别, 借出天数 FROM bookType WHERE rowid = %1")
                                          .arg(adding ? 3 : 1),
                                      row);
                if (refusal.isEmpty())
                    undoBook("UPDATE bookType SET 书籍类别 = '文学', 借出天数 = 14 WHERE 类别代码 = 'A'");
            }
        }
    }
}

// ---- 读者资料管理 (finding, adding, changing, deleting, adding from the
// desk) and 基本设置: an accepted write stores what the box holds, cut to
// the characters the box takes ------------------------------------------------

// The reader boxes in column order, with the most characters each holds (0: no limit).
const struct { const char* name; int limit; } kReaderBoxes[] = {
    {"txtReaderNo", 3}, {"txtReaderName", 8}, {"txtReaderMan", 2}, {"txtReaderTel", 12}, {"txtReaderAddress", 0}};
const QStringList kNewReader = {"009", "王五", "男", "12345", "办公室"};
const QStringList kReader001 = {"001", "张三", "女", "0571-8888", "办公室"};
const QString kReaderAt = "SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo WHERE rowid = %1";

// What a box holds of a text: the leading characters it takes.
QString leading(const QString& text, int limit)
{
    return limit == 0 ? text : Conversions::leadingCharacters(text, limit);
}

class BadInputForReaders : public BadInputIn {
protected:
    static QLineEdit* box(FrmReader* w, int column) { return w->findChild<QLineEdit*>(kReaderBoxes[column].name); }
    // Types the values into the boxes (null: leave the box alone).
    static void fill(FrmReader* w, const QStringList& values)
    {
        for (int i = 0; i < values.size(); ++i)
            if (!values[i].isNull())
                enterText(box(w, i), values[i]);
    }
    void undoReader()
    {
        undo({"DELETE FROM readerInfo WHERE rowid > 2",
              "UPDATE readerInfo SET 读者姓名 = '张三', 读者性别 = '女', 联系电话 = '0571-8888',"
              " 所在部门 = '办公室' WHERE 读者编号 = '001'"},
             true);
    }
};

TEST_F(BadInputForReaders, AddingFromTheMenuOrTheDeskStoresWhatTheBoxHolds)
{
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"a number in use", "001"};
    for (int column = 0; column < 5; ++column) {
        for (bool fromDesk : {false, true}) {
            for (const BadInput& bad : inputs) {
                if ((fromDesk || QString(bad.what) == "a number in use") && column != 0)
                    continue;
                SCOPED_TRACE(std::string(kReaderBoxes[column].name) + (fromDesk ? " from the desk, " : ", ")
                             + bad.what);
                FrmReader* w = nullptr;
                QStringList typed = kNewReader;
                if (fromDesk) {
                    closeSecondaryWindows();
                    // The desk's reader box holds any text; the reader window takes it over.
                    enterText(get("txtReaderID"), bad.text);
                    get<QPushButton>("cmdReaderInfo")->click();
                    w = openWindow<FrmReader>();
                    typed[0] = QString();
                } else {
                    w = open<FrmReader>(window.meuReaderSet, true);
                }
                ASSERT_TRUE(w);
                if (!fromDesk)
                    typed[column] = bad.text;
                fill(w, typed);
                const BadInputTry tried = pressWatching(prompter, w->Command3);

                QStringList expected = kNewReader;
                expected[column] = leading(bad.text, kReaderBoxes[column].limit);
                EXPECT_EQ(box(w, column)->text(), expected[column]);
                const bool refused = column == 0 && (bad.text.isEmpty() || bad.text == "001");
                expectRefusedOrStored(tried,
                                      !refused             ? QString()
                                      : bad.text.isEmpty() ? "读者资料添加失败!\n请输入读者编号!"
                                                           : "读者资料添加失败!\n该读者编号已经存在。",
                                      "读者资料添加完毕", kReaderAt.arg(3), expected);
                if (!refused)
                    undoReader();
            }
        }
    }
}

TEST_F(BadInputForReaders, ChangingStoresWhatTheBoxHoldsAndFindingOrDeletingNoneWritesNothing)
{
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(bad.what);
        // Change each box of reader 001 in turn.
        for (int column = 1; column < 5; ++column) {
            FrmReader* w = open<FrmReader>(window.meuReaderSet, true);
            fill(w, {"001"});
            QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
            QStringList expected = kReader001;
            expected[column] = leading(bad.text, kReaderBoxes[column].limit);
            expectRefusedOrStored(tryText(prompter, box(w, column), bad.text, w->Command5), {}, "读者资料修改完毕!",
                                  kReaderAt.arg(1), expected);
            undoReader();
        }
        // A number nobody has: change and delete refuse, find finds nobody
        // and empties the boxes, in every mode; the steps find or say so.
        const QString number = leading(bad.text, 3);
        FrmReader* w = open<FrmReader>(window.meuReaderSet, true);
        fill(w, kNewReader);
        enterText(w->txtReaderNo, bad.text);
        EXPECT_EQ(press(w->Command5), "读者资料修改失败!\n没有该读者信息!");
        EXPECT_EQ(press(w->Command6), "读者资料删除失败!\n没有该读者信息!");
        for (QAction* mode : {window.meuReaderSort, window.meuReaderSet}) {
            w = open<FrmReader>(mode, true);
            fill(w, kNewReader);
            enterText(w->txtReaderNo, bad.text);
            prompter.clear();
            QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
            EXPECT_EQ(shown(), number.isEmpty() ? "请输入读者编号!" : "没有该读者信息!");
            EXPECT_EQ(w->txtReaderName->text(), number.isEmpty() ? kNewReader[1] : QString());
            for (QPushButton* step : {w->Command2, w->Command7}) {
                const BadInputTry tried = tryText(prompter, w->txtReaderNo, bad.text, step);
                EXPECT_TRUE(tried.shown.isEmpty() || tried.shown == "没有该读者信息!") << tried.shown.toStdString();
            }
        }
        EXPECT_TRUE(storeDump() == before);
    }
}

// 基本设置: the quota must be a whole number of 16 bits and not below 0, the
// fine a number not below 0. A refused box is shown; a saved number comes
// back the same when the window opens again.
TEST_F(BadInputForReaders, RulesRefuseWhatIsNoRuleAndKeepEveryNumberTheyTake)
{
    // What each box takes, and what is stored; every other bad input is refused.
    const struct { int tab; const char* typed; double stored; } kTaken[] = {
        {0, "7.5", 8}, {0, " 5 ", 5}, {0, "0", 0}, {0, "32767", 32767},
        {1, "32768", 32768}, {1, "99999999999999999999999", 1e23}, {1, "0.15", 0.15}, {1, "0", 0}};
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"below 0", "-1"};
    for (const auto& taken : kTaken)
        if (std::none_of(inputs.begin(), inputs.end(), [&](const BadInput& b) { return b.text == taken.typed; }))
            inputs << BadInput{taken.typed, taken.typed};

    for (int tab : {0, 1}) {
        for (const BadInput& bad : inputs) {
            SCOPED_TRACE(std::to_string(tab) + ", " + bad.what);
            const auto* taken = std::find_if(std::begin(kTaken), std::end(kTaken), [&](const auto& t) {
                return t.tab == tab && bad.text == t.typed;
            });
            if (taken == std::end(kTaken) && bad.text == bad.what)
                continue;  // a number the other box takes
            auto* w = open<FrmBasicSet>(window.mnuSetBasic, true);
            QLineEdit* box = tab == 0 ? w->txtBook : w->txtFakuan;
            w->SSTab1->setCurrentIndex(tab);
            enterText(box, bad.text);
            w->SSTab1->setCurrentIndex(1 - tab);
            const BadInputTry tried = pressWatching(prompter, w->cmdSave);
            if (taken == std::end(kTaken)) {
                expectRefusedOrStored(tried, tab == 0 ? "每人最多允许借出的册数须是 0 到 32767 之间的整数!"
                                                      : "超出一天的罚款须是不小于 0 的数!", {}, {}, {});
                EXPECT_TRUE(box->isVisible());  // its tab is brought forward
                continue;
            }
            EXPECT_EQ(tried.shown, "设置完毕!");
            EXPECT_EQ(storeRows("SELECT 借出册数, 罚款 FROM basicSet").split('|').value(tab).toDouble(), taken->stored);
            w = open<FrmBasicSet>(window.mnuSetBasic, true);
            EXPECT_EQ(QLocale::c().toDouble((tab == 0 ? w->txtBook : w->txtFakuan)->text()), taken->stored);
            library.setRules(3, 0.1);
            EXPECT_TRUE(storeDump() == before);
        }
    }
}

// ---- 书库查询 and 借阅查询, exact and fuzzy: the search shows only
// "查询结果如下!!", writes nothing, and finds exactly the rows a plain reading
// of the store finds: a quote, "%" and "_" match only themselves --------------

class BadInputInTheQueries : public BadInputIn {
protected:
    void SetUp() override
    {
        library.addSmallLibrary();
        // Texts holding, or being, what the bad inputs hold, and look-alikes
        // that a wildcard would find.
        const char* books[][4] = {{"%", "100%纯", "%", "a_b"},        {"_", "a_b", "_", "100%纯"},
                                  {"O'Brien", "'", "'", "O'Reilly"},   {"aXb", "100X纯", "A", "aXb"},
                                  {"12abc", "abc", "B", "   "},         {"32768", "NaN", "A", "%"}};
        for (const auto& b : books)
            library.exec("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 出版社, 登记日期)"
                         " VALUES (:n, :t, :c, :p, '2026-03-20')",
                         {{"n", b[0]}, {"t", b[1]}, {"c", b[2]}, {"p", b[3]}});
        const char* readers[][2] = {{"%", "a_b"}, {"_", "%"}, {"'", "O'Brien"}, {"abc", "aXb"}};
        for (const auto& r : readers)
            library.addReader(r[0], r[1]);
        const char* loans[][2] = {{"%", "_"}, {"_", "%"}, {"'", "O'Brien"}, {"abc", "aXb"}, {"001", "12abc"},
                                  {"_", "32768"}};
        for (const auto& l : loans)
            library.addLoan(l[0], l[1], "2026-03-02");
        openMain();
    }

    // The grid's rows after a search, these columns of each joined by "|", sorted.
    static QStringList found(QTableView* grid, const QStringList& columns)
    {
        auto* model = qobject_cast<KeyedResultModel*>(grid->model());
        while (model->canFetchMore())
            model->fetchMore();
        QStringList rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (const QString& column : columns)
                cells << model->index(row, model->columnOf(column)).data().toString();
            rows << cells.join('|');
        }
        rows.sort();
        return rows;
    }
    // The store's rows, these columns first and then the ones the criteria
    // read, kept where every criterion matches; the first `key` columns of
    // each joined by "|", sorted.
    static QStringList scanned(const QString& select, int key, const QStringList& criteria, bool fuzzy)
    {
        QStringList rows;
        for (const QString& line : storeRows(select, "\n").split('\n', Qt::SkipEmptyParts)) {
            const QStringList cells = line.split('|');
            bool all = true;
            for (int i = 0; i < criteria.size(); ++i)
                all = all && matchesCriterion(cells.value(key + i), criteria[i], fuzzy);
            if (all)
                rows << cells.mid(0, key).join('|');
        }
        rows.sort();
        return rows;
    }
    // Searches with the text in one criterion box and checks the rows found.
    void expectFound(QWidget* box, const BadInput& bad, QPushButton* find, QTableView* grid,
                     const QStringList& key, const std::function<QStringList()>& expected, int& nonEmpty)
    {
        const BadInputTry tried = tryText(prompter, box, bad.text, find);
        EXPECT_EQ(tried.shown, "查询结果如下!!");
        EXPECT_TRUE(tried.unchanged());
        const QStringList rows = expected();
        EXPECT_EQ(found(grid, key), rows);
        nonEmpty += !rows.isEmpty();
    }
};

TEST_F(BadInputInTheQueries, BookQueryFindsWhatAPlainReadingFinds)
{
    auto* w = open<FrmBookQuery>(window.mnuBookQuery, true);
    QWidget* boxes[] = {w->txtBookID, w->txtBookName, w->cboType, w->txtBookConcern, w->dtpRigDate};
    int nonEmpty = 0;
    for (bool fuzzy : {false, true}) {
        w->chkMoHu->setChecked(fuzzy);
        for (int box = 0; box < 5; ++box) {
            for (const BadInput& bad : badInputs()) {
                SCOPED_TRACE(std::to_string(box) + (fuzzy ? " fuzzy, " : ", ") + bad.what);
                if (box == 4 && !w->chkRigDate->isChecked())
                    w->chkRigDate->click();
                expectFound(boxes[box], bad, w->cmdFind, w->DataGrid1, {"书籍编号"}, [&] {
                    if (box == 4) {
                        EXPECT_TRUE(w->dtpRigDate->date().isValid());
                        return scanned("SELECT 书籍编号, 登记日期 FROM bookInfo", 1,
                                       {w->dtpRigDate->date().toString(Qt::ISODate)}, false);
                    }
                    // The category box gives its first character, the category's code.
                    QStringList criteria(4);
                    criteria[box] = box == 2 ? Conversions::leadingCharacters(bad.text, 1) : bad.text;
                    return scanned("SELECT 书籍编号, 书籍编号, 书籍名称, 类别代码, 出版社 FROM bookInfo", 1,
                                   criteria, fuzzy);
                }, nonEmpty);
                if (box < 4)
                    enterText(boxes[box], QString());
                else
                    w->chkRigDate->click();
            }
        }
    }
    EXPECT_GT(nonEmpty, 50);  // the library holds what many of them look for
}

TEST_F(BadInputInTheQueries, LendQueryFindsWhatAPlainReadingFinds)
{
    auto* w = open<FrmLendQuery>(window.mnuLendQuery, true);
    // In the order of the columns the scan reads them.
    QLineEdit* boxes[] = {w->txtBookID, w->txtBookName, w->txtReaderID, w->txtReaderName};
    const QString loans = "SELECT l.读者编号, l.书籍编号, l.书籍编号, b.书籍名称, l.读者编号, r.读者姓名"
                          " FROM lentInfo l JOIN readerInfo r ON r.读者编号 = l.读者编号"
                          " JOIN bookInfo b ON b.书籍编号 = l.书籍编号 JOIN bookType t ON t.类别代码 = b.类别代码";
    int nonEmpty = 0;
    for (bool fuzzy : {false, true}) {
        w->chkMoHu->setChecked(fuzzy);
        for (int box = 0; box < 4; ++box) {
            for (const BadInput& bad : badInputs()) {
                SCOPED_TRACE(std::to_string(box) + (fuzzy ? " fuzzy, " : ", ") + bad.what);
                QStringList criteria(4);
                criteria[box] = bad.text;
                expectFound(boxes[box], bad, w->cmdFind, w->dtgrdLendBook, {"读者编号", "书籍编号"},
                            [&] { return scanned(loans, 2, criteria, fuzzy); }, nonEmpty);
                enterText(boxes[box], QString());
            }
        }
    }
    EXPECT_GT(nonEmpty, 20);
}

// ---- the desk: nothing typed into a desk box finds a reader, a book or a
// loan it should not, and nothing typed there writes a thing ------------------

// One input box of the desk: the tab it is on, what must be in place first,
// the message Enter gives for an empty box and for a number nobody has, and
// the button that would write.
const struct DeskBox {
    int tab;
    const char* box;
    const char* setUpBox;  // a box given a good number (and Enter) first, or null
    const char* setUpValue;
    const char* whenEmpty;
    const char* whenUnknown;
    const char* button;
} kDeskBoxes[] = {
    {0, "txtReaderID", nullptr, nullptr, "请先输入读者编号", "没有该读者信息!", "cmdLendBook"},
    {0, "txtBookID", "txtReaderID", "001", "请先输入书籍编号", "没有该书信息!", "cmdLendBook"},
    {1, "txtReaderIDRenew", nullptr, nullptr, "请先输入读者编号", "没有该读者信息!", "cmdOK"},
    {2, "txtReadIDReturn", nullptr, nullptr, "请先输入读者编号", "没有该读者信息!", "cmdReturn"},
    {2, "txtBookIDReturn", "txtReadIDReturn", "002", "请先输入书籍编号", "没有该书信息!", "cmdReturn"},
};

class BadInputAtTheDesk : public ::testing::Test {
protected:
    void SetUp() override { library.addSmallLibrary(); }

    // Enter in a box of the desk: the messages it brought.
    QString enter(Frmmain& desk, const char* name, const QString& text)
    {
        auto* box = desk.findChild<QLineEdit*>(name);
        box->setText(text);
        prompter.clear();
        QTest::keyClick(box, Qt::Key_Return);
        return prompter.texts().join('\n');
    }

    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 3, 20)};
};

TEST_F(BadInputAtTheDesk, EveryBoxSaysWhatIsMissingAndWritesNothing)
{
    const QString before = storeDump();
    for (const DeskBox& row : kDeskBoxes) {
        for (const BadInput& bad : badInputs()) {
            SCOPED_TRACE(std::string(row.box) + ", " + bad.what);
            // A fresh desk for each try: the text typed into the box, Enter, then the button.
            Frmmain desk{prompter, clock, library.dir()};
            ASSERT_TRUE(desk.Form_Load());
            desk.show();
            desk.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(row.tab);
            if (row.setUpBox)
                enter(desk, row.setUpBox, row.setUpValue);
            const bool readerBox = QString(row.box) == "txtReaderID";
            if (readerBox)
                desk.findChild<QLineEdit*>("txtBookID")->setText("B001");
            EXPECT_EQ(enter(desk, row.box, bad.text), bad.text.isEmpty() ? row.whenEmpty : row.whenUnknown);
            const BadInputTry tried = pressWatching(prompter, desk.findChild<QPushButton*>(row.button));
            // Only the lend button stays pressable after a failed look-up; it
            // refuses with the lending rule's own words.
            const QString lendRefusal = bad.text.isEmpty() ? (readerBox ? "请先输入读者编号!" : "请先输入书籍编号")
                                        : readerBox        ? "没有该读者信息!"
                                                           : "没有该书信息!";
            EXPECT_EQ(tried.shown, row.tab == 0 ? lendRefusal : QString());
            EXPECT_TRUE(tried.after == before);
            desk.close();
        }
    }
}

// ---- the sign-in window: whatever is typed, it signs in only with the
// account, and an account changed to any text comes back from the file
// exactly ---------------------------------------------------------------------

class BadInputAtSignIn : public ::testing::Test {
protected:
    BadInputAtSignIn() { QDir(library.dir()).mkpath("dat"); }

    std::unique_ptr<FrmLogon> load()
    {
        prompter.clear();
        auto window = std::make_unique<FrmLogon>(prompter, library.dir());
        window->Form_Load();
        return window;
    }
    QString accountFile() const { return library.path("dat/userdata.dat"); }
    QString signIn(const QString& name, const QString& password)
    {
        auto window = load();
        window->txtUserName->setText(name);
        window->txtPassword->setText(password);
        QTest::mouseClick(window->cmdOK, Qt::LeftButton);
        return prompter.texts().join('\n');
    }
    // Runs the change-account flow with these answers; the boxes it showed.
    QString change(const QStringList& answers)
    {
        auto window = load();
        prompter.inputAnswers.clear();
        prompter.inputAnswers.append(answers);
        window->meuAddUser->trigger();
        return prompter.texts().join('\n');
    }

    TempLibrary library;
    ScriptedPrompter prompter;
};

TEST_F(BadInputAtSignIn, OnlyTheAccountSignsInAndAnyNewAccountComesBack)
{
    const QString kAsk = "请输入旧的帐号密码:\n请输入您要更改的用户名:\n请输入您的密码:\n";
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(bad.what);
        QFile::remove(accountFile());
        const bool empty = bad.text.isEmpty();
        EXPECT_EQ(signIn(bad.text, "739"), empty ? "" : "帐号不存在!");
        EXPECT_EQ(signIn("desk", bad.text), empty ? "" : "密码无效!请重新输入");
        EXPECT_EQ(change({bad.text}), "请输入旧的帐号密码:\n旧的密码确认错误,您不能更改帐号!");
        EXPECT_FALSE(QFile::exists(accountFile()));

        // As the new name: empty changes nothing, anything else is the account
        // (up to a line break: the input box holds one line).
        const QString name = empty ? "desk" : bad.text.section(QRegularExpression("[\r\n]"), 0, 0);
        EXPECT_EQ(change({"739", bad.text, "pw"}), empty ? "请输入旧的帐号密码:\n请输入您要更改的用户名:"
                                                         : kAsk + "帐号更改成功!\n你的用户名是:" + name
                                                               + "\n你的密码是:pw");
        EXPECT_EQ(AccountFile::read(accountFile()).name, name);
        EXPECT_EQ(signIn(name, "pw"), empty ? "密码无效!请重新输入" : "");
        // As the new password: empty is asked again, anything else is the password.
        const QString again = empty ? "密码不可以为空,请再输入!\n请输入您的密码:\n" : "";
        const QString password = empty ? "pw2" : bad.text.section(QRegularExpression("[\r\n]"), 0, 0);
        EXPECT_EQ(change({empty ? "739" : "pw", "clerk", bad.text, "pw2"}).section('\n', 3),
                  again + "帐号更改成功!\n你的用户名是:clerk\n你的密码是:" + password);
        EXPECT_EQ(AccountFile::read(accountFile()).password, password);
        EXPECT_EQ(signIn("clerk", password), "");
    }
}

}  // namespace
