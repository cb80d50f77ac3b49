#include "circulation/ui/ReturnTab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "circulation/logic/LoanClosing.h"
#include "circulation/logic/LoanLookup.h"
#include "circulation/logic/ReaderLookup.h"
#include "circulation/ui/DeskForm.h"
#include "core/logic/Clock.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"

ReturnTab::ReturnTab(Prompter& prompter, const Clock& clock, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_clock(clock)
{
    setObjectName(QStringLiteral("ReturnTab"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(buildReaderRow());
    layout->addWidget(buildLoanGroup(), 1);

    connect(txtReadIDReturn, &QLineEdit::returnPressed, this, &ReturnTab::txtReadIDReturn_KeyPress);
    connect(txtBookIDReturn, &QLineEdit::returnPressed, this, &ReturnTab::txtBookIDReturn_KeyPress);
    connect(cmdReturn, &QPushButton::clicked, this, &ReturnTab::cmdReturn_Click);
    cmdReturn->setEnabled(false);

    QWidget* order[] = {txtReadIDReturn,    txtBookIDReturn,   cmdReturn,
                        txtReaderNameReturn, txtBookPriceReturn, txtBookNameReturn,
                        txtBookLeibieReturn, txtBookPageReturn, txtLendDateReturn,
                        txtDay,              txtReturnDate,     txtFactDay,
                        txtDayCount,         txtFakuan};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QWidget* ReturnTab::buildReaderRow()
{
    auto* group = new QGroupBox(this);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(4);
    txtReadIDReturn = DeskForm::inputBox("txtReadIDReturn", group);
    txtReaderNameReturn = DeskForm::displayBox("txtReaderNameReturn", group);
    DeskForm::addRow(grid, 0, 0, QStringLiteral("读者编号:"), txtReadIDReturn, true);
    DeskForm::addRow(grid, 0, 2, QStringLiteral("读者姓名:"), txtReaderNameReturn);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    return group;
}

QWidget* ReturnTab::buildLoanGroup()
{
    auto* group = new QGroupBox(this);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(14);
    txtBookIDReturn = DeskForm::inputBox("txtBookIDReturn", group);
    txtBookPriceReturn = DeskForm::displayBox("txtBookPriceReturn", group);
    txtBookNameReturn = DeskForm::displayBox("txtBookNameReturn", group);
    txtBookLeibieReturn = DeskForm::displayBox("txtBookLeibieReturn", group);
    txtBookPageReturn = DeskForm::displayBox("txtBookPageReturn", group);
    txtLendDateReturn = DeskForm::displayBox("txtLendDateReturn", group);
    txtDay = DeskForm::displayBox("txtDay", group);
    txtReturnDate = DeskForm::displayBox("txtReturnDate", group);
    txtFactDay = DeskForm::displayBox("txtFactDay", group);
    txtDayCount = DeskForm::displayBox("txtDayCount", group);
    txtFakuan = DeskForm::displayBox("txtFakuan", group);
    cmdReturn = DeskForm::button(QStringLiteral("归还图书"), "cmdReturn", group);

    DeskForm::addRow(grid, 0, 0, QStringLiteral("书籍编号:"), txtBookIDReturn, true);
    DeskForm::addRow(grid, 0, 2, QStringLiteral("书籍价格:"), txtBookPriceReturn);
    DeskForm::addRow(grid, 1, 0, QStringLiteral("书籍名称:"), txtBookNameReturn);
    DeskForm::addRow(grid, 1, 2, QStringLiteral("书籍类别:"), txtBookLeibieReturn);
    DeskForm::addRow(grid, 2, 0, QStringLiteral("书籍页码:"), txtBookPageReturn);
    DeskForm::addRow(grid, 2, 2, QStringLiteral("借出日期:"), txtLendDateReturn);
    DeskForm::addRow(grid, 3, 0, QStringLiteral("规定天数:"), txtDay);
    DeskForm::addRow(grid, 3, 2, QStringLiteral("还书日期:"), txtReturnDate);
    DeskForm::addRow(grid, 4, 0, QStringLiteral("实际天数:"), txtFactDay);
    DeskForm::addRow(grid, 4, 2, QStringLiteral("超出天数:"), txtDayCount);
    DeskForm::addRow(grid, 5, 0, QStringLiteral("罚款金额:"), txtFakuan);
    grid->addWidget(cmdReturn, 5, 3, Qt::AlignRight);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(6, 1);
    return group;
}

void ReturnTab::txtReadIDReturn_KeyPress()
{
    if (txtReadIDReturn->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请先输入读者编号"));
        return;
    }
    try {
        const std::optional<QString> name = ReaderLookup::findName(txtReadIDReturn->text());
        if (!name) {
            m_prompter.notice(QStringLiteral("没有该读者信息!"));
            txtReaderNameReturn->clear();
            DeskForm::focusBox(txtReadIDReturn);
            return;
        }
        txtReaderNameReturn->setText(*name);
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    emit readerFound();
    DeskForm::focusBox(txtBookIDReturn);
}

void ReturnTab::txtBookIDReturn_KeyPress()
{
    if (txtBookIDReturn->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请先输入书籍编号"));
        return;
    }
    if (txtReadIDReturn->text().isEmpty())
        return;
    LoanOnDesk loan;
    try {
        loan = LoanLookup::find(txtBookIDReturn->text(), m_clock.today());
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    if (loan.status != LoanOnDesk::Status::Found) {
        m_prompter.notice(loan.status == LoanOnDesk::Status::NotFound
                              ? QStringLiteral("没有该书信息!")
                              : QStringLiteral("无法计算罚款: %1!").arg(loan.problem));
        clearAfterFailedLookup();
        return;
    }
    emit loanFound();
    showLoan(loan);
}

void ReturnTab::showLoan(const LoanOnDesk& loan)
{
    txtBookNameReturn->setText(loan.title);
    txtBookPriceReturn->setText(loan.price);
    txtBookLeibieReturn->setText(loan.category);
    txtBookPageReturn->setText(loan.pages);
    txtLendDateReturn->setText(loan.lendDate);
    txtDay->setText(loan.loanDays);
    txtReturnDate->setText(loan.returnDate);
    txtFactDay->setText(loan.daysOut);
    txtDayCount->setText(loan.overdueDays);
    txtFakuan->setText(loan.fine);
    m_loanId = loan.loanId;
    cmdReturn->setEnabled(true);
    cmdReturn->setFocus(Qt::OtherFocusReason);
}

void ReturnTab::clearAfterFailedLookup()
{
    DeskForm::clear({txtBookNameReturn, txtBookPriceReturn, txtBookLeibieReturn, txtBookPageReturn,
                     txtReadIDReturn, txtReaderNameReturn, txtLendDateReturn, txtDay, txtFakuan,
                     txtReturnDate, txtFactDay, txtDayCount});
    m_loanId = 0;
    cmdReturn->setEnabled(false);
    DeskForm::focusBox(txtReadIDReturn);
}

void ReturnTab::cmdReturn_Click()
{
    LoanClosing::Outcome outcome;
    try {
        outcome = LoanClosing::close(m_loanId, txtReturnDate->text(), txtDayCount->text(),
                                     txtFakuan->text());
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    if (outcome != LoanClosing::Outcome::Closed) {
        m_prompter.notice(outcome == LoanClosing::Outcome::NotOutstanding
                              ? QStringLiteral("该书已经归还或借阅记录已不存在,请重新查找!")
                              : QStringLiteral("还书日期、超出天数或罚款金额无效,未能归还!"));
        cmdReturn->setEnabled(false);
        return;
    }
    DeskForm::clear({txtBookIDReturn, txtBookNameReturn, txtBookPriceReturn, txtBookLeibieReturn,
                     txtBookPageReturn, txtReadIDReturn, txtReaderNameReturn, txtLendDateReturn,
                     txtDay, txtReturnDate, txtFakuan, txtFactDay, txtDayCount});
    m_loanId = 0;
    cmdReturn->setEnabled(false);
    m_prompter.notice(QStringLiteral("归还完毕!"));
    DeskForm::focusBox(txtReadIDReturn);
}
