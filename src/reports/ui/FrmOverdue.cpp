#include "reports/ui/FrmOverdue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
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
#include "reports/logic/OverdueCsv.h"
#include "reports/logic/OverdueModel.h"
#include "reports/logic/ReminderLog.h"

namespace {

const QString kAllDepartments = QStringLiteral("全部");
// Rows shown before the whole list is read: more than a window holds.
constexpr int kFirstRows = 100;
constexpr int kTitleColumn = 5;  // 书籍名称
constexpr int kTitleWidth = 160;

// The print preview: its print button prints, closing it cancels.
bool printThroughPreview(QWidget* parent, const QList<ReminderLetters::Letter>& letters,
                         const ReminderLetters::Options& options)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A5));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("打印催还单"));
    bool painted = true;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) { painted = ReminderLetters::paint(target, letters, options) && painted; });
    return preview.exec() == QDialog::Accepted && painted;
}

}  // namespace

FrmOverdue::FrmOverdue(Prompter& prompter, const Clock& clock, const WindowStyler& styler, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_clock(clock), m_styler(styler), m_rows(new OverdueModel(this)),
      m_print(printThroughPreview)
{
    setObjectName(QStringLiteral("FrmOverdue"));
    setWindowTitle(QStringLiteral("超期催还"));
    setWindowFlags(Qt::Window);
    buildControls();
    resize(940, 520);
}

void FrmOverdue::buildControls()
{
    cboDepartment = new QComboBox(this);
    cboDepartment->setObjectName(QStringLiteral("cboDepartment"));
    spnMinDays = new QSpinBox(this);
    spnMinDays->setObjectName(QStringLiteral("spnMinDays"));
    spnMinDays->setRange(1, 99999);
    lblTotals = new QLabel(this);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));
    chkNoTitles = new QCheckBox(QStringLiteral("不列书名"), this);
    chkNoTitles->setObjectName(QStringLiteral("chkNoTitles"));
    cmdPrint = FormParts::button(QStringLiteral("打印催还单"), "cmdPrint", this);
    cmdRecord = FormParts::button(QStringLiteral("记录本次催还"), "cmdRecord", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);
    cmdRecord->setEnabled(false);
    overdueGrid = FormParts::readOnlyGrid("overdueGrid", m_rows, this);
    overdueGrid->setAccessibleName(QStringLiteral("超期借阅"));
    GridExport::addShownRows(overdueGrid, m_prompter, windowTitle(), &OverdueCsv::kindOf);
    overdueGrid->horizontalHeader()->setStretchLastSection(false);
    // Widths from the first rows, not from every one of thousands.
    overdueGrid->horizontalHeader()->setResizeContentsPrecision(200);

    auto* filters = new QHBoxLayout;
    filters->addWidget(FormParts::caption(QStringLiteral("所在部门:"), cboDepartment, this));
    filters->addWidget(cboDepartment);
    filters->addSpacing(12);
    filters->addWidget(FormParts::caption(QStringLiteral("超出天数至少:"), spnMinDays, this));
    filters->addWidget(spnMinDays);
    filters->addSpacing(12);
    filters->addWidget(lblTotals, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkNoTitles);
    buttons->addStretch(1);
    for (QPushButton* button : {cmdPrint, cmdRecord, cmdClose}) {
        // The default style's narrowest button cuts a six-character caption.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 24);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(filters);
    layout->addWidget(overdueGrid, 1);
    layout->addLayout(buttons);

    connect(cboDepartment, &QComboBox::currentIndexChanged, this, &FrmOverdue::showFiltered);
    connect(spnMinDays, &QSpinBox::valueChanged, this, &FrmOverdue::showFiltered);
    connect(cmdPrint, &QPushButton::clicked, this, &FrmOverdue::cmdPrint_Click);
    connect(cmdRecord, &QPushButton::clicked, this, &FrmOverdue::cmdRecord_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmOverdue::cmdClose_Click);
}

void FrmOverdue::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    // Shown at once, empty; the rows come as they are read.
    show();
    QCoreApplication::processEvents();
    reload();
    cboDepartment->setFocus(Qt::OtherFocusReason);
}

// Read on a thread of its own while this window goes on painting: first the
// loans of the first readers, shown at once, then the whole list.
void FrmOverdue::reload()
{
    const QDate today = m_clock.today();
    QList<OverdueLoan> first;
    QList<OverdueLoan> all;
    QStringList departments;
    lblTotals->setText(QStringLiteral("正在读取超期借阅…"));
    OffThreadWork work;
    // The first rows are complete when they are reported and not touched again.
    connect(&work, &OffThreadWork::progressed, this, [&] {
        m_rows->setLoans(OverdueList::filtered(first, filter()));
        fitColumns();
    });
    try {
        work.run(QStringLiteral("读取超期借阅"), [&](const OffThreadWork::Report& report) {
            first = OverdueList::readFirst(today, kFirstRows);
            report(1);
            all = OverdueList::read(today);
            departments = OverdueList::departments();
        });
    } catch (const StoreError& error) {
        all.clear();
        m_prompter.notice(error.message());
    }
    m_all = all;
    const QString chosen = cboDepartment->currentText();
    const QSignalBlocker quiet(cboDepartment);
    cboDepartment->clear();
    cboDepartment->addItem(kAllDepartments);
    cboDepartment->addItems(departments);
    cboDepartment->setCurrentIndex(std::max(0, cboDepartment->findText(chosen)));
    showFiltered();
}

// Each column as wide as its texts, but a long title shortened ("…") so that
// the columns after it stay in sight.
void FrmOverdue::fitColumns()
{
    overdueGrid->resizeColumnsToContents();
    QHeaderView* header = overdueGrid->horizontalHeader();
    header->resizeSection(kTitleColumn, std::min(header->sectionSize(kTitleColumn), kTitleWidth));
}

OverdueList::Filter FrmOverdue::filter() const
{
    OverdueList::Filter chosen;
    chosen.department = cboDepartment->currentIndex() > 0 ? cboDepartment->currentText() : QString();
    chosen.minDaysOver = spnMinDays->value();
    return chosen;
}

void FrmOverdue::showFiltered()
{
    m_rows->setLoans(OverdueList::filtered(m_all, filter()));
    fitColumns();
    const OverdueList::Totals totals = OverdueList::totals(m_rows->loans());
    lblTotals->setText(QStringLiteral("读者 %1 人, 图书 %2 册, 罚款合计 %3 元")
                           .arg(totals.readers)
                           .arg(totals.books)
                           .arg(Conversions::numberText(totals.fines)));
}

void FrmOverdue::cmdPrint_Click()
{
    const QList<ReminderLetters::Letter> letters = ReminderLetters::letters(m_rows->loans());
    if (letters.isEmpty()) {
        m_prompter.notice(QStringLiteral("没有需要催还的读者!"));
        return;
    }
    m_printed.clear();
    cmdRecord->setEnabled(false);
    if (!m_print(this, letters, {chkNoTitles->isChecked(), m_clock.today()}))
        return;  // failed or cancelled: nothing to record
    for (const ReminderLetters::Letter& letter : letters)
        for (const OverdueLoan& loan : letter.loans)
            m_printed << loan.loanId;
    cmdRecord->setEnabled(true);
}

void FrmOverdue::cmdRecord_Click()
{
    try {
        ReminderLog::record(m_printed, m_clock.today());
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return;
    }
    m_prompter.notice(QStringLiteral("本次催还已记录!"));
    m_printed.clear();
    cmdRecord->setEnabled(false);
    reload();
}

void FrmOverdue::cmdClose_Click()
{
    close();
}
