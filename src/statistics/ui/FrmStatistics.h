#pragma once

#include <QImage>
#include <QList>
#include <QWidget>
#include <functional>

#include "statistics/logic/YearStatistics.h"

class Clock;
class Prompter;
class QLabel;
class QPrinter;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class StatisticsChart;
class StatisticsTableModel;
class WindowStyler;

// 借阅统计: a year's loans by month as a bar chart, the most-lent titles and
// the most active readers, loans by category (also as a chart) and by
// department, and the year's returns with the share returned late and the
// fines charged. The figures are read off the windows' thread. Each table
// is exported from its right-click item 导出…; the charts print (through the
// print preview) or are saved as one PNG picture.
class FrmStatistics : public QWidget {
    Q_OBJECT
public:
    // Asks where to save the picture ("" when cancelled); a save dialog by default.
    using ChooseFile = std::function<QString(QWidget* parent, const QString& suggested)>;
    // Prints what `paint` draws on the printer; true when printed. The print preview by default.
    using Print = std::function<bool(QWidget* parent, const std::function<void(QPrinter*)>& paint)>;

    FrmStatistics(Prompter& prompter, const Clock& clock, const WindowStyler& styler, QWidget* parent = nullptr);

    // The window style, then this year's figures.
    void Form_Load();
    void setChooseFile(ChooseFile choose) { m_choose = std::move(choose); }
    void setPrint(Print print) { m_print = std::move(print); }

    // The two charts one above the other, as saved.
    QImage chartsImage() const;
    // The two charts on two pages of the printer, under the year's heading.
    void paintCharts(QPrinter* printer) const;

    QSpinBox* spnYear = nullptr;
    QPushButton* cmdCount = nullptr;
    QLabel* lblSummary = nullptr;
    QTabWidget* tabStats = nullptr;
    StatisticsChart* monthChart = nullptr;
    StatisticsChart* categoryChart = nullptr;
    QTableView* monthsGrid = nullptr;
    QTableView* titlesGrid = nullptr;
    QTableView* readersGrid = nullptr;
    QTableView* categoriesGrid = nullptr;
    QTableView* departmentsGrid = nullptr;
    QTableView* returnsGrid = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSaveImage = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void cmdCount_Click();
    void cmdPrint_Click();
    void cmdSaveImage_Click();
    void cmdClose_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* tablesPage(const QList<int>& tables, StatisticsChart* chart);
    void showFigures(const YearStatistics& stats);

    Prompter& m_prompter;
    const Clock& m_clock;
    const WindowStyler& m_styler;
    QList<StatisticsTableModel*> m_tables;  // in the order of StatisticsTables::all
    QList<QTableView*> m_grids;
    QStringList m_titles;  // each table's caption
    int m_shownYear = 0;
    ChooseFile m_choose;
    Print m_print;
};
