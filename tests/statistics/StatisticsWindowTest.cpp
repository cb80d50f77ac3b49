#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include "AccessibleTable.h"
#include "MainWindowTest.h"
#include "Probes.h"
#include "WhenShown.h"
#include "export/ui/ExportFileDialog.h"
#include "core/logic/AppInfo.h"
#include "statistics/ui/FrmStatistics.h"
#include "statistics/ui/StatisticsChart.h"

namespace {

// Today is 20 March 2026. 2026: three loans in January (one renewed there
// from December), one in March, one returned late; 2025: one loan.
class StatisticsWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        addBasics();
        library.exec("UPDATE readerInfo SET 所在部门 = '文学院' WHERE 读者编号 = '002'");
        library.addBook("B001", "红楼梦", "A");
        library.addBook("B002", "红楼梦", "A");
        library.addBook("B003", "史记", "B");
        library.addLoan("001", "B001", "2026-01-05");
        library.addLoan("002", "B002", "2026-01-31");
        library.addLoan("002", "B003", "2026-01-20");  // renewed from 2025-12-30
        library.addLoan("002", "B001", "2026-03-01", "2026-03-19");
        library.exec("UPDATE lentInfo SET 超出天数 = 4, 罚款金额 = 0.4 WHERE 还书日期 IS NOT NULL");
        library.addLoan("001", "B003", "2025-06-30", "2025-07-02");
        QDir(library.dir()).mkpath("style");
        for (const QString& skin : {AppInfo::kTypeStyleFile, AppInfo::kLightStyleFile})
            QFile::copy(QDir(SHELFMARK_DATA_DIR).filePath(skin), library.path(skin));
        openMain();
    }
    FrmStatistics* openStatistics() { return open<FrmStatistics>(window.mnuStatistics, true); }
    // Pixels of the colour in a picture.
    static int pixelsOf(const QImage& image, const QColor& colour)
    {
        int found = 0;
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y)
            for (int x = 0; x < rgb.width(); ++x)
                found += QColor(rgb.pixel(x, y)) == colour;
        return found;
    }
    QTemporaryDir scratch;
};

// 数据与报表 holds the reports, the imports, the backup and the print
// settings, in this order, between separators (|).
TEST_F(StatisticsWindow, TheReportsMenuHoldsItsItemsInOrder)
{
    QStringList items;
    for (QAction* item : window.mnuReports->actions())
        items << (item->isSeparator() ? "|" : item->text());
    EXPECT_EQ(items.join(' '), "超期催还 借阅统计 | 导入图书… 导入读者… | 数据备份与恢复 | 打印设置");
}

TEST_F(StatisticsWindow, ShowsThisYearsFiguresAndAnotherYearsOnRequest)
{
    FrmStatistics* w = openStatistics();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->spnYear->text(), "2026");
    EXPECT_EQ(w->lblSummary->text(), "2026 年共借阅 4 次; 当年归还 1 册, 其中超期 1 册 (100.0%), 罚款合计 0.4 元");
    EXPECT_EQ(accessibleRows(w->monthsGrid).mid(0, 4), QStringList({"月份|借阅次数", "1月|3", "2月|0", "3月|1"}));
    EXPECT_EQ(accessibleRows(w->titlesGrid), QStringList({"名次|书籍名称|借阅次数", "1|红楼梦|3", "2|史记|1"}));
    EXPECT_EQ(accessibleRows(w->readersGrid),
              QStringList({"名次|读者编号|读者姓名|借阅次数", "1|002|李四|3", "2|001|张三|1"}));
    EXPECT_EQ(accessibleRows(w->categoriesGrid),
              QStringList({"书籍类别|借阅次数|占比", "A-文学|3|75.0%", "B-历史|1|25.0%"}));
    EXPECT_EQ(accessibleRows(w->departmentsGrid),
              QStringList({"所在部门|借阅次数|占比", "文学院|3|75.0%", "办公室|1|25.0%"}));
    EXPECT_EQ(accessibleRows(w->returnsGrid).last(), "罚款合计(元)|0.4");
    EXPECT_EQ(w->monthChart->title(), "2026 年每月借阅");
    EXPECT_EQ(w->categoryChart->title(), "2026 年按图书类别借阅");

    // Another year typed and Enter pressed counts it.
    w->activateWindow();
    w->spnYear->setFocus();
    w->spnYear->selectAll();
    QTest::keyClicks(w->spnYear, "2025");
    QTest::keyClick(w->spnYear, Qt::Key_Return);
    EXPECT_EQ(w->lblSummary->text(), "2025 年共借阅 1 次; 当年归还 1 册, 其中超期 0 册 (0.0%), 罚款合计 0 元");
    EXPECT_EQ(visibleRows(w->monthsGrid).at(6), "6月|1");
    EXPECT_EQ(w->monthChart->title(), "2025 年每月借阅");
}

// In each style the bars are drawn in the style's colour, on screen, in the
// saved picture and nowhere in a year without loans.
TEST_F(StatisticsWindow, TheChartsTakeTheStylesColoursOnScreenAndInThePicture)
{
    struct Style {
        QAction* item;
        QColor bars;  // what the skin names; the system look's highlight without one
    };
    const Style styles[] = {{window.meuWinStyle, QApplication::palette().color(QPalette::Highlight)},
                            {window.meuTypeStyle, QColor("#7a1f2b")},
                            {window.meuLight, QColor("#5b9bd5")}};
    for (const Style& style : styles) {
        SCOPED_TRACE(style.item->text().toStdString());
        style.item->trigger();
        FrmStatistics* w = openStatistics();
        ASSERT_TRUE(w);
        EXPECT_GT(pixelsOf(w->monthChart->grab().toImage(), style.bars), 500);
        const QString file = scratch.filePath(style.item->objectName() + ".png");
        w->setChooseFile([&file](QWidget*, const QString& suggested) {
            EXPECT_TRUE(suggested.endsWith("借阅统计2026.png")) << suggested.toStdString();
            return file;
        });
        w->cmdSaveImage->click();
        const QImage saved(file);
        EXPECT_EQ(saved.size(), QSize(1200, 1280));
        EXPECT_GT(pixelsOf(saved.copy(0, 0, 1200, 640), style.bars), 5000);  // the months
        EXPECT_GT(pixelsOf(saved.copy(0, 640, 1200, 640), style.bars), 5000);  // the categories
        w->spnYear->setValue(2024);
        w->cmdCount->click();
        EXPECT_EQ(pixelsOf(w->monthChart->grab().toImage(), style.bars), 0);
    }
    EXPECT_TRUE(shown().isEmpty()) << shown().toStdString();
}

// The print holds both charts, one a page; a picture that cannot be written is told.
TEST_F(StatisticsWindow, PrintsBothChartsAndTellsAPictureItCannotSave)
{
    FrmStatistics* w = openStatistics();
    ASSERT_TRUE(w);
    const QString pdf = scratch.filePath("charts.pdf");
    w->setPrint([&pdf](QWidget*, const std::function<void(QPrinter*)>& paint) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        paint(&printer);
        return true;
    });
    w->cmdPrint->click();
    const QStringList pages = pdfText(pdf).split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("2026 年每月借阅")) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains("2026 年按图书类别借阅") && pages[1].contains("文学")) << pages[1].toStdString();

    const QString nowhere = scratch.filePath("no-such-folder/charts.png");
    w->setChooseFile([&nowhere](QWidget*, const QString&) { return nowhere; });
    w->cmdSaveImage->click();
    EXPECT_EQ(shown(), "统计图没能保存到 " + nowhere + ", 请换一个位置再试。");
    EXPECT_FALSE(QFile::exists(nowhere));
}

// Each table exports from its grid's right-click item, as shown.
TEST_F(StatisticsWindow, EachTableExportsWhatItShows)
{
    FrmStatistics* w = openStatistics();
    ASSERT_TRUE(w);
    const QString file = scratch.filePath("titles.csv");
    for (QTableView* grid : {w->monthsGrid, w->titlesGrid, w->readersGrid, w->categoriesGrid, w->departmentsGrid,
                             w->returnsGrid}) {
        QStringList items;
        for (QAction* action : grid->actions())
            items << action->text();
        ASSERT_TRUE(items.contains("导出…")) << grid->objectName().toStdString();
        if (grid != w->titlesGrid)
            continue;
        whenShown<QFileDialog>([&file](QFileDialog* dialog) {
            EXPECT_EQ(dialog->selectedFiles().value(0).section('/', -1), "借阅最多的图书.xlsx");
            dialog->selectNameFilter(ExportFileDialog::csvUtf8Filter());
            emit dialog->filterSelected(ExportFileDialog::csvUtf8Filter());
            typeFileName(dialog, file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        grid->actions().at(items.indexOf("导出…"))->trigger();
    }
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << shown().toStdString();
    EXPECT_EQ(written.readAll(), QByteArray("\xEF\xBB\xBF名次,书籍名称,借阅次数\r\n1,红楼梦,3\r\n2,史记,1\r\n"));
}

}  // namespace
