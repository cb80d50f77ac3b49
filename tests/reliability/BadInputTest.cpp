#include <QPushButton>

#include "BadInputs.h"
#include "MainWindowTest.h"
#include "catalogue/ui/FrmAddnew.h"
#include "catalogue/ui/FrmShelfmark.h"
#include "catalogue/ui/FrmUpdateBook.h"
#include "readers/ui/FrmReader.h"

// One bad text of each kind typed or pasted into every box of the book and
// reader windows, then the window's button pressed: a refused write names
// what is wrong and leaves the store as it was; an accepted one stores exactly
// what the box held, and nothing else changes. (The searches are tried with
// the same kinds of text in QueryScanTest; the desk, sign-in and rules boxes
// in their own suites.)
namespace {

// A text, and what a box that holds at most 1, 2, 3, 8 or 12 characters
// keeps of it: never half a character, never the half of a line break.
struct BadText { const char* what; QString text, first, two, three, eight, twelve; };

const QString kBooks = QString(10000, QChar(0x4E66));

const BadText kBadTexts[] = {
    {"empty", "", "", "", "", "", ""},
    {"blanks only", "   ", " ", "  ", "   ", "   ", "   "},
    {"a quoted statement", "1' OR '1'='1", "1", "1'", "1' ", "1' OR '1", "1' OR '1'='1"},
    {"wildcards", "%_", "%", "%_", "%_", "%_", "%_"},
    {"10,000 characters", kBooks, kBooks.left(1), kBooks.left(2), kBooks.left(3), kBooks.left(8), kBooks.left(12)},
    {"control characters and line breaks", "a\tb\x01\x1b上\r\n下\x7f", "a", "a\t", "a\tb", "a\tb\x01\x1b上\r\n",
     "a\tb\x01\x1b上\r\n下\x7f"},
    {"outside the basic plane", "\U00020000\U0001F600\U00020001", "\U00020000", "\U00020000\U0001F600",
     "\U00020000\U0001F600\U00020001", "\U00020000\U0001F600\U00020001", "\U00020000\U0001F600\U00020001"},
    {"a number out of 16 bits", "32768", "3", "32", "327", "32768", "32768"},
    {"no such day", "2026/2/30", "2", "20", "202", "2026/2/3", "2026/2/30"},
    {"a number with letters", "12abc", "1", "12", "12a", "12abc", "12abc"},
};

// The main window on the small library; each try opens its window afresh.
struct BadInput : MainWindowTest {
    void SetUp() override
    {
        library.addSmallLibrary();
        openMain();
        before = storeDump(false);
    }
    void TearDown() override { closeSecondaryWindows(); }

    // Takes out what a try wrote; nothing else may have changed (the search
    // index aside: a book once saved leaves its words there by design).
    void undo(const QStringList& statements)
    {
        library.exec("BEGIN");
        for (const QString& statement : statements)
            library.exec(statement);
        library.exec("COMMIT");
        EXPECT_TRUE(storeDump(false) == before);
    }

    QString before;
};

// ---- 添加新书 and the edit window ---------------------------------------------

const char* const kBookColumns = "书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格, 书籍页码, 登记日期, 是否借出";
// A box of the two book windows, in the order of kBookColumns; the edit
// window has no number box. What 添加新书 says of an empty box (none: it
// writes "不详").
const struct { const char* name; const char* whenEmpty; } kBookBoxes[] = {
    {"txtBookID", "请输入书籍编号!"}, {"txtBookName", "请输入书籍名称!"}, {"cboType", "请选择书籍类别!"},
    {"txtBookConcern", nullptr},      {"txtWriter", nullptr},             {"txtBookPrice", "请输入书籍价格!"},
    {"txtPage", nullptr},
};
const QStringList kNewBook = {"N1", "新书", "A", "三联书店", "鲁迅", "25", "200", "2026-03-20", "0"};
const QStringList kB001 = {"B001", "红楼梦", "A", "人民文学出版社", "不详", "25.00", "320", "2026-01-05", "0"};
const QString kRestoreB001 = "UPDATE bookInfo SET 书籍名称 = '红楼梦', 类别代码 = 'A', 出版社 = '人民文学出版社',"
                             " 作者姓名 = '不详', 书籍价格 = '25.00', 书籍页码 = '320', 登记日期 = '2026-01-05'"
                             " WHERE 书籍编号 = 'B001'";

// The book in this row (B001 is row 1, a new book row 3).
QString bookAt(int row) { return QString("SELECT %1 FROM bookInfo WHERE rowid = %2").arg(kBookColumns).arg(row); }
// What a box stores of a text: the category box keeps the item's code, its
// first character; the others keep the text.
QString stored(int column, const BadText& bad) { return column == 2 ? bad.first : bad.text; }

struct BadInputInBooks : BadInput {
    void undoBook(const QString& statement = "SELECT 1")
    {
        undo({statement, "DELETE FROM bookInfo WHERE rowid > 2", "DELETE FROM bookconcernList"});
    }
    // The publisher list after a save: the stored publisher, blanks aside.
    static void expectPublisherListed(const QString& publisher)
    {
        EXPECT_EQ(storeRows("SELECT 出版社 FROM bookconcernList"), publisher == "   " ? "" : publisher);
    }
    FrmUpdateBook* editB001()
    {
        auto* list = open<FrmShelfmark>(window.mnuShelfmark, true);
        auto* grid = list->findChild<QTableView*>();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        list->cmdModify->click();
        return openWindow<FrmUpdateBook>();
    }
};

TEST_F(BadInputInBooks, NewBookRefusesWithItsMessageOrStoresWhatWasTyped)
{
    for (int column = 0; column < 7; ++column) {
        for (const BadText& bad : kBadTexts) {
            SCOPED_TRACE(std::string(kBookBoxes[column].name) + ", " + bad.what);
            auto* w = open<FrmAddnew>(window.meuAddNewBook, true);
            for (int i = 0; i < 7; ++i)
                enterText(w->findChild<QWidget*>(kBookBoxes[i].name), i == 2 ? QString("A-文学") : kNewBook[i]);
            const BadInputTry tried = tryText(prompter, w->findChild<QWidget*>(kBookBoxes[column].name), bad.text,
                                              w->cmdSave);
            QStringList expected = kNewBook;
            expected[column] = bad.text.isEmpty() ? QString("不详") : stored(column, bad);
            const QString refusal = bad.text.isEmpty() ? QString(kBookBoxes[column].whenEmpty) : QString();
            expectRefusedOrStored(tried, refusal, "新书添加完毕", bookAt(3), expected);
            if (refusal.isEmpty()) {
                expectPublisherListed(expected[3]);
                undoBook();
            }
        }
    }
}

TEST_F(BadInputInBooks, BookEditStoresWhatWasTypedAndAnUntouchedBookComesBackTheSame)
{
    for (int column = 1; column < 7; ++column) {
        const char* name = column == 5 ? "txtPrice" : kBookBoxes[column].name;
        for (const BadText& bad : kBadTexts) {
            SCOPED_TRACE(std::string(name) + ", " + bad.what);
            auto* w = editB001();
            ASSERT_TRUE(w);
            // No "不详" here: an empty box writes the empty text.
            QStringList expected = kB001;
            expected[column] = stored(column, bad);
            expectRefusedOrStored(tryText(prompter, w->findChild<QWidget*>(name), bad.text, w->cmdSave), {},
                                  "保存修改完毕!", bookAt(1), expected);
            expectPublisherListed(expected[3]);
            undoBook(kRestoreB001);
        }
    }
    // A book holding the text in every column it shows comes back the same
    // when it is opened for editing and saved untouched.
    for (const BadText& bad : kBadTexts) {
        SCOPED_TRACE(std::string("untouched, ") + bad.what);
        library.exec("UPDATE bookInfo SET 书籍名称 = :t, 出版社 = :t, 作者姓名 = :t, 书籍价格 = :t, 书籍页码 = :t"
                     " WHERE 书籍编号 = 'B001'", {{"t", bad.text}});
        auto* w = editB001();
        ASSERT_TRUE(w);
        prompter.clear();
        w->cmdSave->click();
        EXPECT_EQ(shown(), "保存修改完毕!");
        EXPECT_EQ(storeRows(bookAt(1)).split('|'),
                  (QStringList{"B001", bad.text, "A", bad.text, bad.text, bad.text, bad.text, "2026-01-05", "0"}));
        undoBook(kRestoreB001);
    }
}

// ---- 读者资料管理: an accepted write stores what the box holds, cut to the
// characters the box takes (number 3, name 8, sex 2, telephone 12) ---------------

const char* const kReaderBoxes[] = {"txtReaderNo", "txtReaderName", "txtReaderMan", "txtReaderTel", "txtReaderAddress"};
const QString kReaderAt = "SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo WHERE rowid = %1";

// What the five boxes keep of the text.
QStringList kept(const BadText& bad) { return {bad.three, bad.eight, bad.two, bad.twelve, bad.text}; }

struct BadInputInReaders : BadInput {
    FrmReader* readerWindow(const QStringList& typed)
    {
        auto* w = open<FrmReader>(window.meuReaderSet, true);
        for (int i = 0; w && i < typed.size(); ++i)
            enterText(w->findChild<QLineEdit*>(kReaderBoxes[i]), typed[i]);
        return w;
    }
    void undoReader()
    {
        undo({"DELETE FROM readerInfo WHERE rowid > 2", "UPDATE readerInfo SET 读者姓名 = '张三', 读者性别 = '女',"
              " 联系电话 = '0571-8888', 所在部门 = '办公室' WHERE 读者编号 = '001'"});
    }
};

TEST_F(BadInputInReaders, AddingAndChangingStoreWhatTheBoxHolds)
{
    const QStringList kNewReader = {"009", "王五", "男", "12345", "办公室"};
    for (const BadText& bad : kBadTexts) {
        for (int column = 0; column < 5; ++column) {
            SCOPED_TRACE(std::string(kReaderBoxes[column]) + ", " + bad.what);
            QStringList typed = kNewReader;
            typed[column] = bad.text;
            FrmReader* w = readerWindow(typed);
            ASSERT_TRUE(w);
            QStringList expected = kNewReader;
            expected[column] = kept(bad)[column];
            EXPECT_EQ(w->findChild<QLineEdit*>(kReaderBoxes[column])->text(), expected[column]);
            const bool refused = column == 0 && bad.text.isEmpty();
            expectRefusedOrStored(pressWatching(prompter, w->cmdAddReader), refused ? "读者资料添加失败!\n请输入读者编号!" : "",
                                  "读者资料添加完毕", kReaderAt.arg(3), expected);
            if (!refused)
                undoReader();
        }
        // Reader 001 found, then every box but the number changed to the text.
        SCOPED_TRACE(std::string("changing 001, ") + bad.what);
        FrmReader* w = readerWindow({"001"});
        QTest::keyClick(w->txtReaderNo, Qt::Key_Return);
        for (int column = 1; column < 5; ++column)
            enterText(w->findChild<QLineEdit*>(kReaderBoxes[column]), bad.text);
        QStringList expected = kept(bad);
        expected[0] = "001";
        expectRefusedOrStored(pressWatching(prompter, w->cmdUpdateReader), {}, "读者资料修改完毕!", kReaderAt.arg(1), expected);
        undoReader();
    }
}

}  // namespace
