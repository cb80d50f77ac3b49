#include "queries/ui/FrmBookQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/logic/AppInfo.h"
#include "core/logic/Clock.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "look/ui/WindowStyler.h"
#include "queries/logic/CategoryItems.h"
#include "queries/logic/QueryBuilder.h"
#include "queries/logic/QueryResultModel.h"
#include "queries/ui/QueryForm.h"
#include "queries/ui/QueryGrid.h"

FrmBookQuery::FrmBookQuery(Prompter& prompter, const Clock& clock, const WindowStyler& styler,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompter(prompter), m_clock(clock), m_styler(styler),
      m_results(new QueryResultModel(this))
{
    setObjectName(QStringLiteral("FrmBookQuery"));
    setWindowTitle(QStringLiteral("书库查询"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->addWidget(buildCriteria(), 1);
    top->addLayout(buildButtons());
    layout->addLayout(top);
    DataGrid1 = QueryGrid::create("DataGrid1", m_results,
                                  {{"书籍编号", 70}, {"书籍名称", 130}, {"类别代码", 62}, {"出版社", 120},
                                   {"作者姓名", 70}, {"书籍价格", 62}, {"书籍页码", 62}, {"登记日期", 76},
                                   {"是否借出", 62}},
                                  this);
    SkinLabel5 = QueryForm::caption(QStringLiteral("查询结果如下:"), DataGrid1, this);
    SkinLabel5->setObjectName(QStringLiteral("SkinLabel5"));
    layout->addWidget(SkinLabel5);
    layout->addWidget(DataGrid1, 1);

    connect(chkRigDate, &QCheckBox::clicked, this, &FrmBookQuery::chkRigDate_Click);
    connect(cmdFind, &QPushButton::clicked, this, &FrmBookQuery::cmdFind_Click);
    connect(cmdClear, &QPushButton::clicked, this, &FrmBookQuery::cmdClear_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmBookQuery::cmdClose_Click);

    QWidget* order[] = {txtBookID, txtBookName, cboType,  txtBookConcern, chkRigDate, chkMoHu,
                        cmdFind,   cmdClear,    cmdClose, dtpRigDate,     DataGrid1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    resize(AppInfo::pixelsFromTwips(kWidthTwips), AppInfo::pixelsFromTwips(kHeightTwips));
}

QGroupBox* FrmBookQuery::buildCriteria()
{
    Frame1 = new QGroupBox(QStringLiteral("请选择要查询的项:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(Frame1);
    grid->setContentsMargins(10, 6, 10, 8);
    grid->setHorizontalSpacing(8);
    txtBookID = QueryForm::textBox("txtBookID", Frame1);
    txtBookName = QueryForm::textBox("txtBookName", Frame1);
    cboType = new QComboBox(Frame1);
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->setEditable(true);
    cboType->setInsertPolicy(QComboBox::NoInsert);  // typed text is a criterion, not a new item
    txtBookConcern = QueryForm::textBox("txtBookConcern", Frame1);
    chkRigDate = new QCheckBox(QStringLiteral("登记日期:"), Frame1);
    chkRigDate->setObjectName(QStringLiteral("chkRigDate"));
    dtpRigDate = new QDateEdit(Frame1);
    dtpRigDate->setObjectName(QStringLiteral("dtpRigDate"));
    dtpRigDate->setDisplayFormat(QStringLiteral("yyyy/M/d"));
    dtpRigDate->setCalendarPopup(true);
    dtpRigDate->setAccessibleName(QStringLiteral("登记日期"));
    dtpRigDate->setEnabled(false);
    chkMoHu = new QCheckBox(QStringLiteral("执行模糊查询"), Frame1);
    chkMoHu->setObjectName(QStringLiteral("chkMoHu"));

    QueryForm::addRow(grid, 0, 0, QStringLiteral("书籍编号:"), txtBookID);
    QueryForm::addRow(grid, 0, 2, QStringLiteral("书籍名称:"), txtBookName);
    QueryForm::addRow(grid, 1, 0, QStringLiteral("书籍类别:"), cboType);
    QueryForm::addRow(grid, 1, 2, QStringLiteral("出版社:"), txtBookConcern);
    grid->addWidget(chkRigDate, 2, 0);
    grid->addWidget(dtpRigDate, 2, 1);
    grid->addWidget(chkMoHu, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return Frame1;
}

QLayout* FrmBookQuery::buildButtons()
{
    cmdFind = QueryForm::button(QStringLiteral("开始查找"), "cmdFind", this);
    cmdFind->setDefault(true);
    cmdClear = QueryForm::button(QStringLiteral("清空"), "cmdClear", this);
    cmdClose = QueryForm::button(QStringLiteral("关闭"), "cmdClose", this);
    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(6, 8, 0, 0);
    buttons->addWidget(cmdFind);
    buttons->addStretch(1);
    buttons->addWidget(cmdClear);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    return buttons;
}

void FrmBookQuery::Form_Load()
{
    dtpRigDate->setDate(m_clock.today());
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    loadCategories();
}

void FrmBookQuery::loadCategories()
{
    cboType->clear();
    try {
        cboType->addItems(CategoryItems::read());
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
    }
    cboType->setCurrentIndex(-1);  // the box starts empty
    cboType->clearEditText();
}

void FrmBookQuery::chkRigDate_Click()
{
    dtpRigDate->setEnabled(chkRigDate->isChecked());
}

void FrmBookQuery::cmdFind_Click()
{
    BookCriteria criteria;
    criteria.bookId = txtBookID->text();
    criteria.bookName = txtBookName->text();
    criteria.categoryCode = CategoryItems::codeOf(cboType->currentText());
    criteria.publisher = txtBookConcern->text();
    if (chkRigDate->isChecked())
        criteria.registered = dtpRigDate->date();
    const QueryStatement statement = BuildBookQuery(criteria, chkMoHu->isChecked());
    m_prompter.notice(QStringLiteral("查询结果如下!!"));
    try {
        m_results->run(statement);
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
    }
}

void FrmBookQuery::cmdClear_Click()
{
    txtBookID->clear();
    txtBookName->clear();
    cboType->clearEditText();
    txtBookConcern->clear();
}

void FrmBookQuery::cmdClose_Click()
{
    close();
}

void FrmBookQuery::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        cmdFind->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
