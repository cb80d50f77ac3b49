#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "ExportFiles.h"
#include "MainWindowTest.h"
#include "Probes.h"
#include "WhenShown.h"
#include "catalogue/ui/FrmSetBook.h"
#include "catalogue/ui/FrmShelfmark.h"
#include "circulation/ui/LendTab.h"
#include "core/logic/Transaction.h"
#include "export/ui/ExportFileDialog.h"
#include "queries/ui/FrmBookQuery.h"
#include "queries/ui/FrmLendQuery.h"
#include "reports/ui/FrmOverdue.h"

namespace {

// A CSV file as Python's reader reads it, each record's cells joined by "|".
QStringList csvLines(const QString& path, const char* encoding = "utf-8-sig")
{
    QStringList lines;
    for (const QStringList& record : ExportFiles::readCsv(path, encoding))
        lines << record.join('|');
    return lines;
}

// Every grid the clerk sees, on a small library: reader 002 holds B004 since
// 1 February (overdue on 20 March), and the six hundred books 0000..0599
// are more than a grid reads at first.
class GridExports : public MainWindowTest {
protected:
    void SetUp() override
    {
        addBasics();
        {
            Transaction many(QStringLiteral("test"));
            for (int i = 0; i < kBooks; ++i)
                library.addBook(QStringLiteral("%1").arg(i, 4, 10, QChar('0')),
                                i == 1 ? QStringLiteral("书名, 带\"引号\"\n与 100%_ 及 𠀀") : QStringLiteral("书%1").arg(i),
                                i % 2 ? "A" : "B", i == 4);
            many.commit();
        }
        library.addLoan("002", "0004", "2026-02-01");
        openMain();
    }

    // Chooses "导出…" on the grid, answers the save dialog with the file and
    // type, and waits until the export has ended.
    void exportGrid(QTableView* grid, const QString& path, const QString& filter = ExportFileDialog::csvUtf8Filter())
    {
        whenShown<QFileDialog>([path, filter](QFileDialog* dialog) {
            dialog->selectNameFilter(filter);
            emit dialog->filterSelected(filter);
            typeFileName(dialog, path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        exportItem(grid)->trigger();
    }
    static QAction* exportItem(QTableView* grid) { return grid->findChild<QAction*>("exportAction"); }
    static constexpr int kBooks = 600;
    QTemporaryDir files;
};

// Each grid offers 导出… and writes what it shows: the visible headings and
// every row, cells as shown, titles with separators, quotes, line breaks,
// LIKE's marks and a character outside the basic plane intact.
TEST_F(GridExports, EveryGridWritesItsHeadingsAndRowsAsShown)
{
    struct Grid {
        const char* what;
        std::function<QTableView*()> show;  // opens the window and fills the grid
    };
    const QList<Grid> grids = {
        {"书库管理", [&] { return open<FrmShelfmark>(window.mnuShelfmark, true)->booksGrid; }},
        {"设置图书类别", [&] { return open<FrmSetBook>(window.mnuSetBook, true)->categoriesGrid; }},
        {"超期催还", [&] { return open<FrmOverdue>(window.mnuOverdue, true)->overdueGrid; }},
        {"借书",
         [&] {
             closeSecondaryWindows();
             auto* tab = window.findChild<LendTab*>();
             window.SSTab1->setCurrentIndex(0);
             window.activateWindow();
             tab->txtReaderID->setFocus();
             enterText(tab->txtReaderID, "002");
             QTest::keyClick(tab->txtReaderID, Qt::Key_Return);
             return tab->dtgrdLendBook;
         }},
        {"借阅查询",
         [&] {
             auto* w = open<FrmLendQuery>(window.mnuLendQuery, true);
             w->cmdFind->click();
             return w->dtgrdLendBook;
         }},
    };
    for (const Grid& g : grids) {
        SCOPED_TRACE(g.what);
        QTableView* grid = g.show();
        ASSERT_TRUE(grid);
        ASSERT_GT(grid->model()->rowCount(), 0);
        while (grid->model()->canFetchMore({}))  // the grid scrolled to its end
            grid->model()->fetchMore({});
        const QString path = files.filePath(QString::fromUtf8(g.what) + ".csv");
        prompter.clear();
        exportGrid(grid, path);
        EXPECT_EQ(shown(), QStringLiteral("已导出 %1 行到 %2。").arg(grid->model()->rowCount()).arg(path));
        EXPECT_EQ(csvLines(path), visibleRows(grid));
    }
}

// The query windows and the book list hold only the rows scrolled to; the
// export has every row the search found, in the grid's order, as shown.
TEST_F(GridExports, AQueryWritesEveryRowItFoundNotOnlyThoseRead)
{
    FrmBookQuery* w = open<FrmBookQuery>(window.mnuBookQuery);
    EXPECT_FALSE(exportItem(w->booksGrid)->isEnabled());  // nothing found yet
    w->cmdFind->click();
    ASSERT_LT(w->booksGrid->model()->rowCount(), kBooks);
    EXPECT_TRUE(exportItem(w->booksGrid)->isEnabled());
    exportGrid(w->booksGrid, files.filePath("全部.csv"));
    // Every book as the grid shows it, from a plain reading of the store.
    const QStringList expected = QStringList{visibleRows(w->booksGrid).first()}
                                 + storeRows("SELECT 书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格, 书籍页码,"
                                             " '2026/1/5', CASE 是否借出 WHEN 1 THEN '是' ELSE '否' END"
                                             " FROM bookInfo ORDER BY rowid", "\x1e").split('\x1e');
    EXPECT_EQ(csvLines(files.filePath("全部.csv")), expected);
    EXPECT_EQ(expected.mid(0, 20), visibleRows(w->booksGrid).mid(0, 20));

    // The same in GB18030, the type chosen in the dialog giving the name its suffix.
    exportGrid(w->booksGrid, files.filePath("全部"), ExportFileDialog::csvGb18030Filter());
    EXPECT_EQ(csvLines(files.filePath("全部.csv"), "gb18030"), expected);
}

// The right-click menu shows the item; a file that exists is replaced only
// when the clerk agrees; a file that cannot be written is told in Chinese
// and nothing is left.
TEST_F(GridExports, TheMenuShowsTheItemAndAFailureIsTold)
{
    FrmShelfmark* shelf = open<FrmShelfmark>(window.mnuShelfmark);
    QTableView* grid = shelf->booksGrid;
    QStringList items;
    whenShown<QMenu>([&](QMenu* menu) {
        for (QAction* action : menu->actions())
            items << action->text() + (action->isEnabled() ? "" : "(greyed)");
        menu->close();
    });
    const QPoint at = grid->visualRect(grid->model()->index(2, 1)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &click);
    EXPECT_EQ(items, QStringList{"导出…"});

    const QString existing = files.filePath("书库.csv");
    putBytes(existing, "old");
    answer({false});
    prompter.clear();
    exportGrid(grid, existing);
    EXPECT_EQ(shown(), QStringLiteral("文件 %1 已经存在，要用导出的内容替换它吗？").arg(existing));
    EXPECT_EQ(bytesOf(existing), "old");

    // The folder goes away while the dialog is open.
    const QString gone = files.filePath("gone");
    QDir().mkdir(gone);
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        typeFileName(dialog, gone + "/书库.xlsx");
        QDir(gone).removeRecursively();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    prompter.clear();
    exportItem(grid)->trigger();
    ASSERT_EQ(prompter.boxes().size(), 1);
    EXPECT_TRUE(prompter.boxes().join('\n').startsWith("导出失败，没有写出文件。\n无法写入文件 " + gone + "/书库.xlsx"));
    EXPECT_TRUE(prompter.boxes().join('\n').endsWith("|导出|with an icon")) << prompter.boxes().join('\n').toStdString();
    EXPECT_FALSE(QDir(gone).exists());
}

// A long export shows its progress with a cancel button; cancelled, it
// leaves no file and says nothing more.
TEST_F(GridExports, ACancelledExportLeavesNoFile)
{
    {
        Transaction many(QStringLiteral("test"));
        library.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60000)"
                     " INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 是否借出)"
                     " SELECT 'X' || i, '多' || i, 'A', 0 FROM n");
        many.commit();
    }
    FrmShelfmark* shelf = open<FrmShelfmark>(window.mnuShelfmark);
    QString label;
    whenShown<QProgressDialog>([&](QProgressDialog* progress) {
        label = progress->windowModality() == Qt::ApplicationModal ? "modal " : "";
        auto* timer = new QTimer(progress);
        QObject::connect(timer, &QTimer::timeout, progress, [&, progress, timer] {
            if (!progress->labelText().startsWith("已写出"))
                return;
            timer->stop();
            label += progress->labelText();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        timer->start(1);
    });
    prompter.clear();
    const QString path = files.filePath("长.xlsx");
    exportGrid(shelf->booksGrid, path, ExportFileDialog::xlsxFilter());
    EXPECT_TRUE(label.startsWith("modal 已写出 ")) << label.toStdString();
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

}  // namespace
