#include "queries/ui/FrmLendQuery.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "queries/logic/QueryBuilder.h"

namespace {
const QueryWindow::Design kDesign = {
    "FrmLendQuery", QStringLiteral("借阅查询"), QStringLiteral("开始查询"), "dtgrdLendBook",
    LendQueryColumns(),
    {{58}, {58, true}, {60}, {108, true}, {60}, {58}, {96, true}, {82}, {82}},
    10935, 6135};
}  // namespace

FrmLendQuery::FrmLendQuery(Prompter& prompter, const WindowStyler& styler)
    : QueryWindow(prompter, styler, kDesign), dtgrdLendBook(grid())
{
    buildCriteria();
    connect(cmdFind, &QPushButton::clicked, this, &FrmLendQuery::cmdFind_Click);
    connect(cmdClear, &QPushButton::clicked, this, &FrmLendQuery::cmdClear_Click);

    // The results grid last, after the criteria and the buttons.
    QWidget* order[] = {txtReaderID, txtReaderName, txtBookID, txtBookName,
                        chkMoHu,     cmdFind,       cmdClear,  cmdClose, dtgrdLendBook};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FrmLendQuery::buildCriteria()
{
    txtReaderID = addTextBox("txtReaderID", QStringLiteral("读者编号:"), 0, 0);
    txtReaderName = addTextBox("txtReaderName", QStringLiteral("读者姓名:"), 0, 2);
    txtBookID = addTextBox("txtBookID", QStringLiteral("书籍编号:"), 1, 0);
    txtBookName = addTextBox("txtBookName", QStringLiteral("书籍名称:"), 1, 2);
    separatorLine = new QFrame(criteriaFrame);
    separatorLine->setObjectName(QStringLiteral("separatorLine"));
    separatorLine->setFrameShape(QFrame::HLine);
    separatorLine->setFrameShadow(QFrame::Sunken);
    chkMoHu = new QCheckBox(QStringLiteral("执行模糊查询"), criteriaFrame);
    chkMoHu->setObjectName(QStringLiteral("chkMoHu"));
    criteria()->addWidget(separatorLine, 2, 0, 1, 4);
    criteria()->addWidget(chkMoHu, 3, 0, 1, 2);
}

void FrmLendQuery::Form_Load()
{
    applyWindowStyle();
    txtReaderID->setFocus(Qt::OtherFocusReason);  // ready for a reader number
}

void FrmLendQuery::cmdFind_Click()
{
    LendCriteria criteria;
    criteria.bookId = txtBookID->text();
    criteria.bookName = txtBookName->text();
    criteria.readerId = txtReaderID->text();
    criteria.readerName = txtReaderName->text();
    search(BuildLendQuery(criteria, chkMoHu->isChecked()));
}

void FrmLendQuery::cmdClear_Click()
{
    txtBookID->clear();
    txtBookName->clear();
    txtReaderID->clear();
    txtReaderName->clear();
}
