#include "circulation/ui/RenewTab.h"

#include <QDataWidgetMapper>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "circulation/logic/ReaderLookup.h"
#include "circulation/logic/Renewal.h"
#include "circulation/ui/BorrowedGrid.h"
#include "circulation/ui/DeskForm.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"

RenewTab::RenewTab(Prompter& prompter, QWidget* parent)
    : QWidget(parent),
      m_prompter(prompter),
      m_borrowed(new BorrowedListModel(this)),
      m_mapper(new QDataWidgetMapper(this))
{
    setObjectName(QStringLiteral("RenewTab"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(buildReaderRow());
    layout->addWidget(buildLoanGroup(), 1);
    layout->addWidget(buildRenewRow());

    m_mapper->setModel(m_borrowed);
    m_mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    m_mapper->addMapping(txtBookIDRenew, BorrowedList::BookNumber);
    m_mapper->addMapping(txtBookNameRenew, BorrowedList::Title);
    m_mapper->addMapping(txtLendDate, BorrowedList::LendDate);
    connect(dtgrdLendBookRenew->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { followGridRow(current.row()); });

    connect(txtReaderIDRenew, &QLineEdit::returnPressed, this, &RenewTab::txtReaderIDRenew_KeyPress);
    connect(cmdOK, &QPushButton::clicked, this, &RenewTab::cmdOK_Click);
    cmdOK->setEnabled(false);

    QWidget* order[] = {txtReaderIDRenew, dtgrdLendBookRenew, dtpLendDateChange, cmdOK,
                        txtReaderNameRenew, txtBookIDRenew, txtBookNameRenew, txtLendDate};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QWidget* RenewTab::buildReaderRow()
{
    auto* row = new QWidget(this);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(2, 2, 2, 2);
    txtReaderIDRenew = DeskForm::inputBox("txtReaderIDRenew", row);
    txtReaderNameRenew = DeskForm::displayBox("txtReaderNameRenew", row);
    DeskForm::addRow(grid, 0, 0, QStringLiteral("读者编号:"), txtReaderIDRenew, true);
    DeskForm::addRow(grid, 0, 2, QStringLiteral("读者姓名:"), txtReaderNameRenew);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    return row;
}

QWidget* RenewTab::buildLoanGroup()
{
    auto* group = new QGroupBox(QStringLiteral("所借图书"), this);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(8, 4, 8, 6);
    dtgrdLendBookRenew = BorrowedGrid::create("dtgrdLendBookRenew", m_borrowed, m_prompter, group);
    dtgrdLendBookRenew->setAccessibleName(group->title());
    layout->addWidget(dtgrdLendBookRenew);
    return group;
}

QWidget* RenewTab::buildRenewRow()
{
    auto* row = new QWidget(this);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setVerticalSpacing(4);
    // Bound to the chosen loan; the renewal goes by that loan, not by typing.
    txtBookIDRenew = DeskForm::displayBox("txtBookIDRenew", row);
    txtBookNameRenew = DeskForm::displayBox("txtBookNameRenew", row);
    txtLendDate = DeskForm::displayBox("txtLendDate", row);
    dtpLendDateChange = DeskForm::datePicker("dtpLendDateChange", row);
    cmdOK = DeskForm::button(QStringLiteral("确  定"), "cmdOK", row);
    DeskForm::addRow(grid, 0, 0, QStringLiteral("书籍编号:"), txtBookIDRenew);
    DeskForm::addRow(grid, 0, 2, QStringLiteral("书籍名称:"), txtBookNameRenew);
    DeskForm::addRow(grid, 1, 0, QStringLiteral("借书日期:"), txtLendDate);
    DeskForm::addRow(grid, 1, 2, QStringLiteral("借书日期改为:"), dtpLendDateChange);
    grid->addWidget(cmdOK, 1, 4);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);
    return row;
}

void RenewTab::followGridRow(int row)
{
    if (row < 0 || row >= m_borrowed->rowCount()) {
        m_loanRow = -1;
        DeskForm::clear({txtBookIDRenew, txtBookNameRenew, txtLendDate});
        return;
    }
    m_loanRow = row;
    m_mapper->setCurrentIndex(row);
}

void RenewTab::InitDataGrid()
{
    try {
        m_borrowed->load(txtReaderIDRenew->text());
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
    }
    // The first loan is the current one, as after every reload.
    if (m_borrowed->rowCount() > 0)
        dtgrdLendBookRenew->setCurrentIndex(m_borrowed->index(0, BorrowedList::ReaderNumber));
    followGridRow(dtgrdLendBookRenew->currentIndex().row());
}

void RenewTab::txtReaderIDRenew_KeyPress()
{
    if (txtReaderIDRenew->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请先输入读者编号"));
        cmdOK->setEnabled(false);
        return;
    }
    try {
        const std::optional<QString> name = ReaderLookup::findName(txtReaderIDRenew->text());
        if (!name) {
            m_prompter.notice(QStringLiteral("没有该读者信息!"));
            txtReaderNameRenew->clear();
            cmdOK->setEnabled(false);
            DeskForm::focusBox(txtReaderIDRenew);
            return;
        }
        txtReaderNameRenew->setText(*name);
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    InitDataGrid();
    cmdOK->setEnabled(true);
    dtgrdLendBookRenew->setFocus(Qt::OtherFocusReason);
}

void RenewTab::cmdOK_Click()
{
    const qint64 loan = m_borrowed->loanIdAt(m_loanRow);
    if (loan == 0) {
        m_prompter.notice(QStringLiteral("请先在所借图书中选择要续借的图书!"));
        return;
    }
    try {
        if (Renewal::renew(loan, dtpLendDateChange->date()) != Renewal::Outcome::Renewed) {
            m_prompter.notice(QStringLiteral("该书已不在借出中,不能续借!"));
            return;
        }
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    m_prompter.notice(QStringLiteral("续借完毕!"));
}
