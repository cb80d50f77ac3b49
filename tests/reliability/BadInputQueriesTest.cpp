#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "BadInputs.h"
#include "MainWindowTest.h"
#include "OpenWindows.h"
#include "Probes.h"
#include "core/logic/Conversions.h"
#include "core/logic/KeyedResultModel.h"
#include "queries/ui/FrmBookQuery.h"
#include "queries/ui/FrmLendQuery.h"

// Every bad text typed into every criterion of 书库查询 and 借阅查询, exact
// and fuzzy: the search shows only "查询结果如下!!", writes nothing, and finds
// exactly the rows a plain reading of the store finds: a quote, "%" and "_"
// match only themselves.
namespace {

class BadInputInTheQueries : public MainWindowTest {
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
        before = storeDump();
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
    QString search(QPushButton* find)
    {
        prompter.clear();
        find->click();
        return shown();
    }

    QString before;
};

TEST_F(BadInputInTheQueries, BookQueryFindsWhatAPlainReadingFinds)
{
    window.mnuBookQuery->trigger();
    auto* w = openWindow<FrmBookQuery>();
    ASSERT_TRUE(w);
    QWidget* boxes[] = {w->txtBookID, w->txtBookName, w->cboType, w->txtBookConcern};
    int tried = 0, nonEmpty = 0;
    for (bool fuzzy : {false, true}) {
        w->chkMoHu->setChecked(fuzzy);
        for (int box = 0; box < 5; ++box) {
            for (const BadInput& bad : badInputs()) {
                SCOPED_TRACE(std::to_string(box) + (fuzzy ? " fuzzy, " : ", ") + bad.what);
                QStringList criteria(4);
                QStringList expected;
                if (box < 4) {
                    enterText(boxes[box], bad.text);
                    // The category box gives its first character, the category's code.
                    criteria[box] = box == 2 ? Conversions::leadingCharacters(bad.text, 1) : bad.text;
                    expected = scanned("SELECT 书籍编号, 书籍编号, 书籍名称, 类别代码, 出版社 FROM bookInfo", 1,
                                       criteria, fuzzy);
                } else {
                    if (!w->chkRigDate->isChecked())
                        w->chkRigDate->click();
                    enterText(w->dtpRigDate, bad.text);
                    ASSERT_TRUE(w->dtpRigDate->date().isValid());
                    expected = scanned("SELECT 书籍编号, 登记日期 FROM bookInfo", 1,
                                       {w->dtpRigDate->date().toString(Qt::ISODate)}, false);
                }
                EXPECT_EQ(search(w->cmdFind), "查询结果如下!!");
                EXPECT_EQ(found(w->DataGrid1, {"书籍编号"}), expected);
                nonEmpty += !expected.isEmpty();
                EXPECT_TRUE(storeDump() == before);
                if (box < 4)
                    enterText(boxes[box], QString());
                else
                    w->chkRigDate->click();
                ++tried;
            }
        }
    }
    EXPECT_GT(nonEmpty, 50);  // the library holds what many of them look for
    std::printf("书库查询: %d bad inputs tried in 5 criteria, exact and fuzzy\n", tried);
}

TEST_F(BadInputInTheQueries, LendQueryFindsWhatAPlainReadingFinds)
{
    window.mnuLendQuery->trigger();
    auto* w = openWindow<FrmLendQuery>();
    ASSERT_TRUE(w);
    // In the order of the columns the scan reads them.
    QLineEdit* boxes[] = {w->txtBookID, w->txtBookName, w->txtReaderID, w->txtReaderName};
    const QString loans = "SELECT l.读者编号, l.书籍编号, l.书籍编号, b.书籍名称, l.读者编号, r.读者姓名"
                          " FROM lentInfo l JOIN readerInfo r ON r.读者编号 = l.读者编号"
                          " JOIN bookInfo b ON b.书籍编号 = l.书籍编号 JOIN bookType t ON t.类别代码 = b.类别代码";
    int tried = 0, nonEmpty = 0;
    for (bool fuzzy : {false, true}) {
        w->chkMoHu->setChecked(fuzzy);
        for (int box = 0; box < 4; ++box) {
            for (const BadInput& bad : badInputs()) {
                SCOPED_TRACE(std::to_string(box) + (fuzzy ? " fuzzy, " : ", ") + bad.what);
                enterText(boxes[box], bad.text);
                QStringList criteria(4);
                criteria[box] = bad.text;
                EXPECT_EQ(search(w->cmdFind), "查询结果如下!!");
                const QStringList expected = scanned(loans, 2, criteria, fuzzy);
                EXPECT_EQ(found(w->dtgrdLendBook, {"读者编号", "书籍编号"}), expected);
                nonEmpty += !expected.isEmpty();
                EXPECT_TRUE(storeDump() == before);
                enterText(boxes[box], QString());
                ++tried;
            }
        }
    }
    EXPECT_GT(nonEmpty, 20);
    std::printf("借阅查询: %d bad inputs tried in 4 criteria, exact and fuzzy\n", tried);
}

}  // namespace
