#pragma once

#include <QList>
#include <QWidget>
#include <functional>

#include "reports/logic/OverdueList.h"
#include "reports/ui/ReminderLetters.h"

class Clock;
class OverdueModel;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class WindowStyler;

// 超期催还: every outstanding loan kept beyond its category's loan days, by
// reader, with its due date, days over, fine and reminders so far; filtered
// by department and days over, with the totals of what is left; reminder
// letters printed for those rows, and the reminders recorded afterwards.
class FrmOverdue : public QWidget {
    Q_OBJECT
public:
    // Prints the letters (through the print preview by default); true when
    // they were printed, false when the print failed or was cancelled.
    using PrintLetters = std::function<bool(QWidget* parent, const QList<ReminderLetters::Letter>& letters,
                                            const ReminderLetters::Options& options)>;

    FrmOverdue(Prompter& prompter, const Clock& clock, const WindowStyler& styler, QWidget* parent = nullptr);

    // The window style, then the list read from the store.
    void Form_Load();
    // Tests print to a file instead of the print preview.
    void setPrintLetters(PrintLetters print) { m_print = std::move(print); }

    QComboBox* cboDepartment = nullptr;
    QSpinBox* spnMinDays = nullptr;
    QLabel* lblTotals = nullptr;
    QTableView* overdueGrid = nullptr;
    QCheckBox* chkNoTitles = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdRecord = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void cmdPrint_Click();
    void cmdRecord_Click();
    void cmdClose_Click();

private:
    void buildControls();
    void reload();
    void showFiltered();
    OverdueList::Filter filter() const;
    void fitColumns();

    Prompter& m_prompter;
    const Clock& m_clock;
    const WindowStyler& m_styler;
    OverdueModel* m_rows = nullptr;
    QList<OverdueLoan> m_all;
    PrintLetters m_print;
    QList<qint64> m_printed;  // the loans of the letters last printed, until recorded
};
