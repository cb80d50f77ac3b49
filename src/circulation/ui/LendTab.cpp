#include "circulation/ui/LendTab.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "circulation/logic/BookLookup.h"
#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "circulation/logic/Lending.h"
#include "circulation/logic/ReaderLookup.h"
#include "circulation/ui/BorrowedGrid.h"
#include "circulation/ui/DeskForm.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"

namespace {
const QString kCountCaption = QStringLiteral("已借图书册数:");
}

LendTab::LendTab(Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_borrowed(new BorrowedListModel(this))
{
    setObjectName(QStringLiteral("LendTab"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(buildBookGroup());
    layout->addWidget(buildReaderGroup(), 1);

    connect(txtBookID, &QLineEdit::returnPressed, this, &LendTab::txtBookID_KeyPress);
    connect(txtReaderID, &QLineEdit::returnPressed, this, &LendTab::txtReaderID_KeyPress);
    connect(cmdReaderInfo, &QPushButton::clicked, this, &LendTab::cmdReaderInfo_Click);
    connect(cmdLendBook, &QPushButton::clicked, this, &LendTab::cmdLendBook_Click);

    // The clerk's path first: reader, book, lend; then the rest.
    QWidget* order[] = {txtReaderID, txtBookID,     cmdLendBook,    dtpLendDate,
                        cmdReaderInfo, dtgrdLendBook, txtReaderName, txtBookName,
                        txtBookPrice,  txtBookLeibie, txtBookConcern, txtBookPage};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QGroupBox* LendTab::buildBookGroup()
{
    auto* group = new QGroupBox(QStringLiteral("图书信息"), this);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(4);
    txtBookID = DeskForm::inputBox("txtBookID", group);
    txtBookPrice = DeskForm::displayBox("txtBookPrice", group);
    txtBookName = DeskForm::displayBox("txtBookName", group);
    txtBookLeibie = DeskForm::displayBox("txtBookLeibie", group);
    txtBookConcern = DeskForm::displayBox("txtBookConcern", group);
    txtBookPage = DeskForm::displayBox("txtBookPage", group);
    dtpLendDate = DeskForm::datePicker("dtpLendDate", group);
    cmdLendBook = DeskForm::button(QStringLiteral("借出当前图书"), "cmdLendBook", group);

    DeskForm::addRow(grid, 0, 0, QStringLiteral("书籍编号:"), txtBookID, true);
    DeskForm::addRow(grid, 0, 2, QStringLiteral("书籍价格:"), txtBookPrice);
    DeskForm::addRow(grid, 1, 0, QStringLiteral("书籍名称:"), txtBookName);
    DeskForm::addRow(grid, 1, 2, QStringLiteral("书籍类别:"), txtBookLeibie);
    DeskForm::addRow(grid, 2, 0, QStringLiteral("出版社:"), txtBookConcern);
    DeskForm::addRow(grid, 2, 2, QStringLiteral("书籍页码:"), txtBookPage);
    DeskForm::addRow(grid, 3, 0, QStringLiteral("借出日期:"), dtpLendDate);
    grid->addWidget(cmdLendBook, 3, 3, Qt::AlignRight);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    return group;
}

QGroupBox* LendTab::buildReaderGroup()
{
    auto* group = new QGroupBox(QStringLiteral("读者信息"), this);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(4);
    txtReaderID = DeskForm::inputBox("txtReaderID", group);
    txtReaderName = DeskForm::displayBox("txtReaderName", group);
    cmdReaderInfo = DeskForm::button(QStringLiteral("添加新读者"), "cmdReaderInfo", group);
    dtgrdLendBook = BorrowedGrid::create("dtgrdLendBook", m_borrowed, m_prompter, group);
    lblGrid = DeskForm::caption(QStringLiteral("显示已借图书信息:"), dtgrdLendBook, group);
    lblLendCount = new QLabel(kCountCaption, group);
    lblLendCount->setObjectName(QStringLiteral("lblLendCount"));
    lblRemain = new QLabel(group);
    lblRemain->setObjectName(QStringLiteral("lblRemain"));
    lblRemainCaption = DeskForm::caption(QStringLiteral("还允许借出册数:"), lblRemain, group);
    lblRemainCaption->setObjectName(QStringLiteral("lblRemainCaption"));

    DeskForm::addRow(grid, 0, 0, QStringLiteral("读者编号:"), txtReaderID, true);
    DeskForm::addRow(grid, 0, 2, QStringLiteral("读者姓名:"), txtReaderName);
    grid->addWidget(cmdReaderInfo, 0, 4);
    grid->addWidget(lblGrid, 1, 0, 1, 5);
    grid->addWidget(dtgrdLendBook, 2, 0, 1, 5);
    auto* counts = new QHBoxLayout;
    counts->addWidget(lblLendCount);
    counts->addSpacing(24);
    counts->addWidget(lblRemainCaption);
    counts->addWidget(lblRemain);
    counts->addStretch(1);
    grid->addLayout(counts, 3, 0, 1, 5);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(2, 1);
    return group;
}

void LendTab::InitDataGrid()
{
    const QString reader = txtReaderID->text();
    try {
        m_borrowed->load(reader);
        // The list is read in full: its rows are the count.
        const BorrowedList::Summary summary = BorrowedList::summaryOf(m_borrowed->rowCount());
        lblLendCount->setText(kCountCaption + QString::number(summary.count));
        lblRemain->setText(summary.remaining ? QString::number(*summary.remaining) : QString());
        if (!summary.remaining)
            m_prompter.notice(QStringLiteral("借阅规则中的可借册数无法计算还允许借出册数!"));
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
    }
}

void LendTab::txtBookID_KeyPress()
{
    if (txtReaderID->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请先输入读者编号"));
        return;
    }
    if (txtBookID->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请先输入书籍编号"));
        return;
    }
    try {
        const std::optional<BookOnDesk> book = BookLookup::find(txtBookID->text());
        if (!book) {
            m_prompter.notice(QStringLiteral("没有该书信息!"));
            clearBookBoxes();
            DeskForm::focusBox(txtBookID);
            return;
        }
        showBook(*book);
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
    }
}

void LendTab::showBook(const BookOnDesk& book)
{
    txtBookName->setText(book.title);
    txtBookPrice->setText(book.price);
    txtBookLeibie->setText(book.category);
    txtBookConcern->setText(book.publisher);
    txtBookPage->setText(book.pages);
    if (book.lent) {
        m_prompter.notice(QStringLiteral("该书已经借出,请选择其它图书!"));
        cmdLendBook->setEnabled(false);
        DeskForm::focusBox(txtBookID);
        return;
    }
    cmdLendBook->setEnabled(true);
    cmdLendBook->setFocus(Qt::OtherFocusReason);
}

void LendTab::clearBookBoxes()
{
    DeskForm::clear({txtBookName, txtBookPrice, txtBookLeibie, txtBookConcern, txtBookPage});
}

void LendTab::txtReaderID_KeyPress()
{
    if (txtReaderID->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请先输入读者编号"));
        return;
    }
    try {
        const std::optional<QString> name = ReaderLookup::findName(txtReaderID->text());
        if (!name) {
            m_prompter.notice(QStringLiteral("没有该读者信息!"));
            txtReaderName->clear();
            DeskForm::focusBox(txtReaderID);
            return;
        }
        txtReaderName->setText(*name);
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    InitDataGrid();
    DeskForm::focusBox(txtBookID);
}

void LendTab::cmdReaderInfo_Click()
{
    emit readerWindowRequested();
}

void LendTab::cmdLendBook_Click()
{
    Lending::Outcome outcome;
    try {
        outcome = Lending::lend(txtReaderID->text(), txtBookID->text(), dtpLendDate->date());
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    m_prompter.notice(Lending::message(outcome));
    switch (outcome) {
    case Lending::Outcome::Lent: {
        const QString book = txtBookID->text();
        DeskForm::clear({txtBookID, txtBookName, txtBookPrice, txtBookLeibie, txtBookConcern,
                         txtBookPage});
        InitDataGrid();
        DeskForm::focusBox(txtBookID);
        emit bookLent(txtReaderID->text(), book, dtpLendDate->date());
        break;
    }
    case Lending::Outcome::QuotaReached:
        DeskForm::clear({txtReaderID, txtReaderName, txtBookID, txtBookName, txtBookPrice,
                         txtBookLeibie, txtBookConcern, txtBookPage});
        DeskForm::focusBox(txtReaderID);
        break;
    case Lending::Outcome::NoReaderNumber:
    case Lending::Outcome::UnknownReader:
        DeskForm::focusBox(txtReaderID);
        break;
    default:
        DeskForm::focusBox(txtBookID);
        break;
    }
}
