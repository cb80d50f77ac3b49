#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "BadInputs.h"
#include "MainWindowTest.h"
#include "Probes.h"
#include "OpenWindows.h"
#include "catalogue/ui/FrmAddnew.h"
#include "catalogue/ui/FrmSetBook.h"
#include "catalogue/ui/FrmShelfmark.h"
#include "catalogue/ui/FrmUpdateBook.h"
#include "core/logic/Conversions.h"

// Every bad text typed into every box of 添加新书, of the edit window and of
// 设置图书类别, then saved: a refused save names what is wrong and leaves
// the store as it was; an accepted one stores exactly what the box held.
// (The book list 书库管理 has no box: its grid cannot be edited.)
namespace {

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

// What a box makes of a text: the category box keeps the item's code, its
// first character; the others keep the text.
QString written(const BookBox& box, const QString& typed)
{
    if (QString(box.addBox) != "cboType")
        return typed;
    return Conversions::leadingCharacters(typed, 1);
}

class BadInputInTheCatalogue : public MainWindowTest {
protected:
    void SetUp() override
    {
        library.addSmallLibrary();
        openMain();
        beforeWithoutIndex = storeDump(false);
    }

    // The windows a try opened are gone before the next.
    static void closeAll()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isWindow() && top->objectName().startsWith("Frm") && top->objectName() != "Frmmain")
                top->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <class W>
    W* open(QAction* item)
    {
        item->trigger();
        return openWindow<W>();
    }
    // Presses the button, returns the boxes shown and closes every window.
    QString press(QPushButton* button)
    {
        prompter.clear();
        button->click();
        const QString shown = prompter.texts().join('\n');
        closeAll();
        return shown;
    }
    // The rows a try wrote are taken out again; nothing else may have changed.
    void undo(const QString& statement = QString())
    {
        library.exec("BEGIN");
        if (!statement.isEmpty())
            library.exec(statement);
        library.exec("DELETE FROM bookInfo WHERE rowid > 2");
        library.exec("DELETE FROM bookType WHERE rowid > 2");
        library.exec("DELETE FROM bookconcernList");
        library.exec("COMMIT");
        EXPECT_TRUE(storeDump(false) == beforeWithoutIndex);
    }
    // The book stored in this row (B001 is row 1, a new book row 3).
    static QStringList book(int row)
    {
        return storeRows(QString("SELECT %1 FROM bookInfo WHERE rowid = %2").arg(kBookColumns).arg(row)).split('|');
    }
    // The known publishers: none, or the one a try added.
    static QString publishers()
    {
        return storeRows("SELECT 出版社 FROM bookconcernList");
    }

    QString beforeWithoutIndex;
};

TEST_F(BadInputInTheCatalogue, NewBookRefusesWithItsMessageOrStoresWhatWasTyped)
{
    // A number in use, in any case of its letters, is refused with the number.
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"a number in use", "B001"} << BadInput{"a number in use, other case", "b001"};
    int tried = 0;
    for (const BookBox& box : kBookBoxes) {
        for (const BadInput& bad : inputs) {
            if (QString(bad.what).startsWith("a number in use") && box.column != 0)
                continue;
            SCOPED_TRACE(std::string(box.addBox) + ", " + bad.what);
            auto* w = open<FrmAddnew>(window.meuAddNewBook);
            QWidget* boxes[] = {w->txtBookID, w->txtBookName, w->cboType, w->txtBookConcern, w->txtWriter,
                                w->txtBookPrice, w->txtPage};
            for (int i = 0; i < 7; ++i)
                enterText(boxes[i], i == 2 ? QString("A-文学") : kNewBook[kBookBoxes[i].column]);
            enterText(w->findChild<QWidget*>(box.addBox), bad.text);
            const QString was = storeDump();
            const QString shown = press(w->cmdSave);
            ++tried;

            QStringList expected = kNewBook;
            expected[box.column] = bad.text.isEmpty() ? QString("不详") : written(box, bad.text);
            if (bad.text.isEmpty() && box.whenEmpty) {
                EXPECT_EQ(shown, box.whenEmpty);
                EXPECT_TRUE(storeDump() == was);
            } else if (QString(bad.what).startsWith("a number in use")) {
                EXPECT_EQ(shown, "编号为" + bad.text + "的书籍已经存在,请换一个书籍编号!");
                EXPECT_TRUE(storeDump() == was);
            } else {
                EXPECT_EQ(shown, "新书添加完毕");
                EXPECT_EQ(book(3), expected);
                EXPECT_EQ(publishers(), expected[3].trimmed());
                undo();
            }
        }
    }
    std::printf("添加新书: %d bad inputs tried in %zu boxes\n", tried, std::size(kBookBoxes));
}

TEST_F(BadInputInTheCatalogue, BookEditStoresWhatWasTypedAndNothingElse)
{
    int tried = 0;
    for (const BookBox& box : kBookBoxes) {
        if (!box.editBox)
            continue;
        for (const BadInput& bad : badInputs()) {
            SCOPED_TRACE(std::string(box.editBox) + ", " + bad.what);
            auto* list = open<FrmShelfmark>(window.mnuShelfmark);
            list->DataGrid1->setCurrentIndex(list->DataGrid1->model()->index(0, 0));
            list->cmdModify->click();
            auto* w = openWindow<FrmUpdateBook>();
            ASSERT_TRUE(w);
            enterText(w->findChild<QWidget*>(box.editBox), bad.text);
            EXPECT_EQ(press(w->cmdSave), "保存修改完毕!");
            ++tried;

            // No "不详" here: an empty box writes the empty text.
            QStringList expected = kB001;
            expected[box.column] = written(box, bad.text);
            EXPECT_EQ(book(1), expected);
            EXPECT_EQ(publishers(), expected[3].trimmed());
            undo("UPDATE bookInfo SET 书籍名称 = '红楼梦', 类别代码 = 'A', 出版社 = '人民文学出版社',"
                 " 作者姓名 = '不详', 书籍价格 = '25.00', 书籍页码 = '320' WHERE 书籍编号 = 'B001'");
        }
    }
    // A book holding the text in every column it shows comes back the same
    // when it is opened for editing and saved untouched.
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(std::string("untouched, ") + bad.what);
        library.exec("UPDATE bookInfo SET 书籍名称 = :t, 出版社 = :t, 作者姓名 = :t, 书籍价格 = :t, 书籍页码 = :t"
                     " WHERE 书籍编号 = 'B001'", {{"t", bad.text}});
        const QStringList stored = book(1);
        auto* list = open<FrmShelfmark>(window.mnuShelfmark);
        list->DataGrid1->setCurrentIndex(list->DataGrid1->model()->index(0, 0));
        list->cmdModify->click();
        auto* w = openWindow<FrmUpdateBook>();
        ASSERT_TRUE(w);
        EXPECT_EQ(press(w->cmdSave), "保存修改完毕!");
        EXPECT_EQ(book(1), stored);
        undo("UPDATE bookInfo SET 书籍名称 = '红楼梦', 类别代码 = 'A', 出版社 = '人民文学出版社',"
             " 作者姓名 = '不详', 书籍价格 = '25.00', 书籍页码 = '320' WHERE 书籍编号 = 'B001'");
        ++tried;
    }
    std::printf("正在修改图书: %d bad inputs tried in 6 boxes, and saved untouched\n", tried);
}

// A date typed into either window's date picker: whatever is typed, the
// picker holds a real day and that day is stored.
TEST_F(BadInputInTheCatalogue, ADatePickerStoresOnlyARealDay)
{
    int tried = 0;
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(bad.what);
        auto* add = open<FrmAddnew>(window.meuAddNewBook);
        QWidget* boxes[] = {add->txtBookID, add->txtBookName, add->cboType, add->txtBookPrice};
        const QString texts[] = {"N1", "新书", "A-文学", "25"};
        for (int i = 0; i < 4; ++i)
            enterText(boxes[i], texts[i]);
        enterText(add->dtpRigDate, bad.text);
        const QDate picked = add->dtpRigDate->date();
        EXPECT_EQ(press(add->cmdSave), "新书添加完毕");
        ASSERT_TRUE(picked.isValid());
        EXPECT_EQ(book(3).value(7), picked.toString(Qt::ISODate));

        auto* list = open<FrmShelfmark>(window.mnuShelfmark);
        list->DataGrid1->setCurrentIndex(list->DataGrid1->model()->index(0, 0));
        list->cmdModify->click();
        auto* edit = openWindow<FrmUpdateBook>();
        enterText(edit->dtpRigDate, bad.text);
        const QDate changed = edit->dtpRigDate->date();
        EXPECT_EQ(press(edit->cmdSave), "保存修改完毕!");
        ASSERT_TRUE(changed.isValid());
        EXPECT_EQ(book(1).value(7), changed.toString(Qt::ISODate));
        undo("UPDATE bookInfo SET 登记日期 = '2026-01-05' WHERE 书籍编号 = 'B001'");
        tried += 2;
    }
    std::printf("date pickers: %d bad inputs tried in 2 boxes\n", tried);
}

// 设置图书类别, adding and changing: the code must be new and not empty, the
// loan days a whole number of 16 bits; the name may be anything.
TEST_F(BadInputInTheCatalogue, CategoryRefusesWithItsMessageOrStoresWhatWasTyped)
{
    const QString kBadDays = "借出天数必须是 -32768 到 32767 之间的数字!";
    // Loan days that are numbers, with what is stored; every bad input is refused.
    const struct { const char* typed; const char* stored; } kGoodDays[] = {
        {"7.5", "8"}, {"6.5", "6"}, {" 15 ", "15"}, {"-32768", "-32768"}, {"32767", "32767"}};
    QList<BadInput> inputs = badInputs();
    inputs << BadInput{"a code in use", "A"} << BadInput{"a code in use, other case", "a"};
    for (const auto& good : kGoodDays)
        inputs << BadInput{good.typed, good.typed};
    auto storedDays = [&](const QString& typed) -> const char* {
        for (const auto& good : kGoodDays)
            if (typed == good.typed)
                return good.stored;
        return nullptr;
    };

    int tried = 0;
    for (bool adding : {true, false}) {
        for (int box = adding ? 0 : 1; box < 3; ++box) {
            for (const BadInput& bad : inputs) {
                const bool inUse = QString(bad.what).startsWith("a code in use");
                if (inUse && box != 0)
                    continue;
                SCOPED_TRACE(std::string(adding ? "adding, box " : "changing, box ") + char('0' + box) + ", "
                             + bad.what);
                auto* w = open<FrmSetBook>(window.mnuSetBook);
                QLineEdit* boxes[] = {w->txtTypeID, w->txtTypeName, w->txtDay};
                QStringList row = adding ? QStringList{"C", "哲学", "21"} : QStringList{"A", "文学", "14"};
                (adding ? w->cmdAdd : w->cmdModify)->click();
                for (int i = adding ? 0 : 1; i < 3; ++i)
                    enterText(boxes[i], row[i]);
                enterText(boxes[box], bad.text);
                const QString was = storeDump();
                const QString shown = press(w->cmdSave);
                ++tried;

                row[box] = bad.text;
                QString refusal;
                if (box == 0 && bad.text.isEmpty())
                    refusal = "请输入类别代码!";
                else if (inUse)
                    refusal = "类别代码为" + bad.text + "的类别已经存在,请换一个类别代码!";
                else if (box == 2 && !storedDays(bad.text))
                    refusal = kBadDays;
                else if (box == 2)
                    row[2] = storedDays(bad.text);
                if (!refusal.isEmpty()) {
                    EXPECT_EQ(shown, refusal);
                    EXPECT_TRUE(storeDump() == was);
                    continue;
                }
                EXPECT_EQ(shown, "保存完毕!");
                EXPECT_EQ(storeRows(QString("SELECT 类别代码, 书籍类别, 借出天数 FROM bookType WHERE rowid = %1")
                                        .arg(adding ? 3 : 1)),
                          row.join('|'));
                undo("UPDATE bookType SET 书籍类别 = '文学', 借出天数 = 14 WHERE 类别代码 = 'A'");
            }
        }
    }
    std::printf("设置图书类别: %d bad inputs tried in 3 boxes, adding and changing\n", tried);
}

}  // namespace
