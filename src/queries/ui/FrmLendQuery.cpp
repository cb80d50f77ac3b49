#include "queries/ui/FrmLendQuery.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/logic/AppInfo.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "look/ui/WindowStyler.h"
#include "queries/logic/QueryBuilder.h"
#include "queries/logic/QueryResultModel.h"
#include "queries/ui/QueryForm.h"
#include "queries/ui/QueryGrid.h"

FrmLendQuery::FrmLendQuery(Prompter& prompter, const WindowStyler& styler, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompter(prompter), m_styler(styler),
      m_results(new QueryResultModel(this))
{
    setObjectName(QStringLiteral("FrmLendQuery"));
    setWindowTitle(QStringLiteral("借阅查询"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->addWidget(buildCriteria(), 1);
    top->addLayout(buildButtons());
    layout->addLayout(top);
    // The query's 超出天数 and 罚款金额 have no column of their own.
    dtgrdLendBook = QueryGrid::create("dtgrdLendBook", m_results,
                                      {{"读者编号", 62}, {"读者姓名", 66}, {"书籍编号", 70}, {"书籍名称", 130},
                                       {"书籍类别", 66}, {"书籍页码", 62}, {"出版社", 110}, {"借书日期", 76},
                                       {"还书日期", 76}},
                                      this);
    SkinLabel5 = QueryForm::caption(QStringLiteral("查询结果如下:"), dtgrdLendBook, this);
    SkinLabel5->setObjectName(QStringLiteral("SkinLabel5"));
    layout->addWidget(SkinLabel5);
    layout->addWidget(dtgrdLendBook, 1);

    connect(cmdFind, &QPushButton::clicked, this, &FrmLendQuery::cmdFind_Click);
    connect(cmdClear, &QPushButton::clicked, this, &FrmLendQuery::cmdClear_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmLendQuery::cmdClose_Click);

    QWidget* order[] = {txtReaderID, txtReaderName, txtBookID, txtBookName,
                        chkMoHu,     cmdFind,       cmdClear,  cmdClose};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    resize(AppInfo::pixelsFromTwips(kWidthTwips), AppInfo::pixelsFromTwips(kHeightTwips));
}

QGroupBox* FrmLendQuery::buildCriteria()
{
    Frame1 = new QGroupBox(QStringLiteral("请选择要查询的项:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(Frame1);
    grid->setContentsMargins(10, 6, 10, 8);
    grid->setHorizontalSpacing(8);
    txtReaderID = QueryForm::textBox("txtReaderID", Frame1);
    txtReaderName = QueryForm::textBox("txtReaderName", Frame1);
    txtBookID = QueryForm::textBox("txtBookID", Frame1);
    txtBookName = QueryForm::textBox("txtBookName", Frame1);
    Frame2 = new QFrame(Frame1);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFrameShape(QFrame::HLine);
    Frame2->setFrameShadow(QFrame::Sunken);
    chkMoHu = new QCheckBox(QStringLiteral("执行模糊查询"), Frame1);
    chkMoHu->setObjectName(QStringLiteral("chkMoHu"));

    QueryForm::addRow(grid, 0, 0, QStringLiteral("读者编号:"), txtReaderID);
    QueryForm::addRow(grid, 0, 2, QStringLiteral("读者姓名:"), txtReaderName);
    QueryForm::addRow(grid, 1, 0, QStringLiteral("书籍编号:"), txtBookID);
    QueryForm::addRow(grid, 1, 2, QStringLiteral("书籍名称:"), txtBookName);
    grid->addWidget(Frame2, 2, 0, 1, 4);
    grid->addWidget(chkMoHu, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return Frame1;
}

QLayout* FrmLendQuery::buildButtons()
{
    cmdFind = QueryForm::button(QStringLiteral("开始查询"), "cmdFind", this);
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

void FrmLendQuery::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
}

void FrmLendQuery::cmdFind_Click()
{
    LendCriteria criteria;
    criteria.bookId = txtBookID->text();
    criteria.bookName = txtBookName->text();
    criteria.readerId = txtReaderID->text();
    criteria.readerName = txtReaderName->text();
    const QueryStatement statement = BuildLendQuery(criteria, chkMoHu->isChecked());
    m_prompter.notice(QStringLiteral("查询结果如下!!"));
    try {
        m_results->run(statement);
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
    }
}

void FrmLendQuery::cmdClear_Click()
{
    txtBookID->clear();
    txtBookName->clear();
    txtReaderID->clear();
    txtReaderName->clear();
}

void FrmLendQuery::cmdClose_Click()
{
    close();
}
