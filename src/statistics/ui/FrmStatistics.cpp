#include "statistics/ui/FrmStatistics.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "core/logic/Clock.h"
#include "core/logic/Conversions.h"
#include "core/logic/OffThreadWork.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"
#include "export/ui/GridExport.h"
#include "statistics/logic/StatisticsTableModel.h"
#include "statistics/logic/StatisticsTables.h"
#include "statistics/ui/StatisticsChart.h"

namespace {

// The tables of StatisticsTables::all, by their place there.
enum Table { Months, Titles, Readers, Categories, Departments, Returns, TableCount };
const char* const kGridNames[TableCount] = {"monthsGrid",     "titlesGrid",      "readersGrid",
                                            "categoriesGrid", "departmentsGrid", "returnsGrid"};

// The size of each chart in the saved picture.
const QSize kChartPicture(1200, 640);

QString chooseThroughDialog(QWidget* parent, const QString& suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("保存统计图"), suggested,
                                        QStringLiteral("PNG 图片 (*.png)"));
}

bool printThroughPreview(QWidget* parent, const std::function<void(QPrinter*)>& paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("打印统计图"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paint);
    return preview.exec() == QDialog::Accepted;
}

QString categoryLabel(const YearStatistics::Tally& category)
{
    if (category.key.isEmpty())
        return StatisticsTables::unknownCategory();
    return category.name.isEmpty() ? category.key : category.name;
}

}  // namespace

FrmStatistics::FrmStatistics(Prompter& prompter, const Clock& clock, const WindowStyler& styler, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_clock(clock), m_styler(styler), m_choose(chooseThroughDialog),
      m_print(printThroughPreview)
{
    setObjectName(QStringLiteral("FrmStatistics"));
    setWindowTitle(QStringLiteral("借阅统计"));
    setWindowFlags(Qt::Window);
    buildControls();
    resize(960, 640);
}

void FrmStatistics::buildControls()
{
    spnYear = new QSpinBox(this);
    spnYear->setObjectName(QStringLiteral("spnYear"));
    spnYear->setRange(1900, 9999);
    spnYear->setValue(m_clock.today().year());
    cmdCount = FormParts::button(QStringLiteral("统计"), "cmdCount", this);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    for (const StatisticsTable& table : StatisticsTables::all(YearStatistics{}))
        m_titles << table.title;
    for (int table = 0; table < TableCount; ++table) {
        auto* model = new StatisticsTableModel(this);
        m_tables << model;
        QTableView* grid = FormParts::readOnlyGrid(kGridNames[table], model, this);
        grid->verticalHeader()->hide();
        m_grids << grid;
        grid->setAccessibleName(m_titles[table]);
        GridExport::addShownRows(grid, m_prompter, m_titles[table], &StatisticsTables::kindOf);
    }
    monthsGrid = m_grids[Months];
    titlesGrid = m_grids[Titles];
    readersGrid = m_grids[Readers];
    categoriesGrid = m_grids[Categories];
    departmentsGrid = m_grids[Departments];
    returnsGrid = m_grids[Returns];
    monthChart = new StatisticsChart(QStringLiteral("每月借阅"), "monthChart", this);
    categoryChart = new StatisticsChart(QStringLiteral("按图书类别"), "categoryChart", this);

    tabStats = new QTabWidget(this);
    tabStats->setObjectName(QStringLiteral("tabStats"));
    tabStats->addTab(tablesPage({Months, Returns}, monthChart), QStringLiteral("每月借阅"));
    tabStats->addTab(tablesPage({Titles, Readers}, nullptr), QStringLiteral("图书与读者"));
    tabStats->addTab(tablesPage({Categories, Departments}, categoryChart), QStringLiteral("类别与部门"));

    cmdPrint = FormParts::button(QStringLiteral("打印统计图"), "cmdPrint", this);
    cmdSaveImage = FormParts::button(QStringLiteral("保存统计图"), "cmdSaveImage", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);

    auto* top = new QHBoxLayout;
    top->addWidget(FormParts::caption(QStringLiteral("年份:"), spnYear, this));
    top->addWidget(spnYear);
    top->addWidget(cmdCount);
    top->addSpacing(12);
    top->addWidget(lblSummary, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {cmdPrint, cmdSaveImage, cmdClose})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(top);
    layout->addWidget(tabStats, 1);
    layout->addLayout(buttons);

    connect(cmdCount, &QPushButton::clicked, this, &FrmStatistics::cmdCount_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &FrmStatistics::cmdPrint_Click);
    connect(cmdSaveImage, &QPushButton::clicked, this, &FrmStatistics::cmdSaveImage_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmStatistics::cmdClose_Click);
    spnYear->installEventFilter(this);  // Enter in the year counts it
}

// A tab: the chart, if any, above the tables side by side, each under its
// title as the caption that names it.
QWidget* FrmStatistics::tablesPage(const QList<int>& tables, StatisticsChart* chart)
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    if (chart)
        layout->addWidget(chart, 3);
    auto* row = new QHBoxLayout;
    for (const int table : tables) {
        auto* column = new QVBoxLayout;
        column->addWidget(FormParts::caption(m_titles[table] + QLatin1Char(':'), m_grids[table], page));
        column->addWidget(m_grids[table], 1);
        row->addLayout(column, 1);
    }
    layout->addLayout(row, 2);
    return page;
}

bool FrmStatistics::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == spnYear && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            spnYear->interpretText();
            cmdCount_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmStatistics::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    cmdCount_Click();
    spnYear->setFocus(Qt::OtherFocusReason);
}

void FrmStatistics::cmdCount_Click()
{
    const int year = spnYear->value();
    YearStatistics stats;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        OffThreadWork work;
        work.run(QStringLiteral("统计借阅"), [&stats, year](const OffThreadWork::Report&) {
            stats = YearStatisticsReader::read(year);
        });
    } catch (const StoreError& error) {
        QApplication::restoreOverrideCursor();
        m_prompter.notice(error.message());
        return;
    }
    QApplication::restoreOverrideCursor();
    showFigures(stats);
}

void FrmStatistics::showFigures(const YearStatistics& stats)
{
    m_shownYear = stats.year;
    const QList<StatisticsTable> tables = StatisticsTables::all(stats);
    for (int table = 0; table < TableCount; ++table) {
        m_tables[table]->setTable(tables[table]);
        m_grids[table]->resizeColumnsToContents();
    }
    QStringList months;
    for (int month = 1; month <= 12; ++month)
        months << QString::number(month);
    monthChart->setBars(QStringLiteral("%1 年每月借阅").arg(stats.year), months,
                        QList<qint64>(stats.months.begin(), stats.months.end()));
    QStringList categories;
    QList<qint64> loans;
    for (const YearStatistics::Tally& category : stats.categories) {
        categories << categoryLabel(category);
        loans << category.loans;
    }
    categoryChart->setBars(QStringLiteral("%1 年按图书类别借阅").arg(stats.year), categories, loans);
    lblSummary->setText(QStringLiteral("%1 年共借阅 %2 次; 当年归还 %3 册, 其中超期 %4 册 (%5), 罚款合计 %6 元")
                            .arg(stats.year)
                            .arg(stats.loans())
                            .arg(stats.returned)
                            .arg(stats.returnedLate)
                            .arg(StatisticsTables::share(stats.returnedLate, stats.returned),
                                 Conversions::numberText(stats.fines)));
}

QImage FrmStatistics::chartsImage() const
{
    QImage image(kChartPicture.width(), kChartPicture.height() * 2, QImage::Format_RGB32);
    image.fill(monthChart->plotColor());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    monthChart->paintInto(painter, QRectF(QPointF(0, 0), kChartPicture));
    categoryChart->paintInto(painter, QRectF(QPointF(0, kChartPicture.height()), kChartPicture));
    return image;
}

void FrmStatistics::paintCharts(QPrinter* printer) const
{
    QPainter painter(printer);
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const QRectF area(0, 0, page.width(), page.height());
    monthChart->paintInto(painter, area);
    printer->newPage();
    categoryChart->paintInto(painter, area);
}

void FrmStatistics::cmdPrint_Click()
{
    m_print(this, [this](QPrinter* printer) { paintCharts(printer); });
}

void FrmStatistics::cmdSaveImage_Click()
{
    const QString suggested = QDir::home().filePath(QStringLiteral("借阅统计%1.png").arg(m_shownYear));
    const QString file = m_choose(this, suggested);
    if (file.isEmpty())
        return;
    if (!chartsImage().save(file, "PNG"))
        m_prompter.notice(QStringLiteral("统计图没能保存到 %1, 请换一个位置再试。").arg(QDir::toNativeSeparators(file)));
}

void FrmStatistics::cmdClose_Click()
{
    close();
}
