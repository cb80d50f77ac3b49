#include "queries/ui/FrmBookQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "catalogue/logic/Publishers.h"
#include "core/logic/Clock.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "catalogue/logic/Categories.h"
#include "core/ui/PublisherSuggestions.h"
#include "core/ui/FormParts.h"
#include "queries/logic/QueryBuilder.h"

namespace {
const QueryWindow::Design kDesign = {
    "FrmBookQuery", QStringLiteral("书库查询"), QStringLiteral("开始查找"), "booksGrid",
    BookQueryColumns(),
    {{60}, {110, true}, {58}, {100, true}, {62, true}, {58}, {58}, {82}, {58}},
    10815, 7605};
}  // namespace

FrmBookQuery::FrmBookQuery(Prompter& prompter, const Clock& clock, const WindowStyler& styler)
    : QueryWindow(prompter, styler, kDesign), booksGrid(grid()), m_clock(clock)
{
    buildCriteria();
    cmdFind->setDefault(true);
    // However the box is ticked: a click, the space bar, a screen reader's toggle.
    connect(chkRigDate, &QCheckBox::toggled, this, &FrmBookQuery::chkRigDate_Click);
    connect(cmdFind, &QPushButton::clicked, this, &FrmBookQuery::cmdFind_Click);
    connect(cmdClear, &QPushButton::clicked, this, &FrmBookQuery::cmdClear_Click);

    QWidget* order[] = {txtBookID, txtBookName, cboType,  txtBookConcern, chkRigDate, chkMoHu,
                        cmdFind,   cmdClear,    cmdClose, dtpRigDate,     booksGrid};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FrmBookQuery::buildCriteria()
{
    txtBookID = addTextBox("txtBookID", QStringLiteral("书籍编号:"), 0, 0);
    txtBookName = addTextBox("txtBookName", QStringLiteral("书籍名称:"), 0, 2);
    cboType = new QComboBox(criteriaFrame);
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->setEditable(true);
    cboType->setInsertPolicy(QComboBox::NoInsert);  // typed text is a criterion, not a new item
    cboType->installEventFilter(this);
    cboType->lineEdit()->installEventFilter(this);
    addCaptioned(QStringLiteral("书籍类别:"), cboType, 1, 0);
    txtBookConcern = addTextBox("txtBookConcern", QStringLiteral("出版社:"), 1, 2);
    // The known publishers, offered under the box while the clerk types.
    publisherList = new PublisherSuggestions(txtBookConcern, this, 2295, 975, &Publishers::SuggestPublishers);
    publisherList->setObjectName(QStringLiteral("publisherList"));
    chkRigDate = new QCheckBox(QStringLiteral("登记日期:"), criteriaFrame);
    chkRigDate->setObjectName(QStringLiteral("chkRigDate"));
    dtpRigDate = FormParts::datePicker("dtpRigDate", criteriaFrame);
    dtpRigDate->setAccessibleName(QStringLiteral("登记日期"));
    dtpRigDate->setEnabled(false);
    chkMoHu = new QCheckBox(QStringLiteral("执行模糊查询"), criteriaFrame);
    chkMoHu->setObjectName(QStringLiteral("chkMoHu"));
    criteria()->addWidget(chkRigDate, 2, 0);
    criteria()->addWidget(dtpRigDate, 2, 1);
    criteria()->addWidget(chkMoHu, 2, 3);
}

void FrmBookQuery::Form_Load()
{
    dtpRigDate->setDate(m_clock.today());
    applyWindowStyle();
    loadCategories();
}

void FrmBookQuery::loadCategories()
{
    cboType->clear();
    try {
        cboType->addItems(Categories::LoadCategoryItems());
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
    criteria.categoryCode = Categories::CategoryCodeOf(cboType->currentText());
    criteria.publisher = txtBookConcern->text();
    if (chkRigDate->isChecked())
        criteria.registered = dtpRigDate->date();
    search(BuildBookQuery(criteria, chkMoHu->isChecked()));
}

void FrmBookQuery::cmdClear_Click()
{
    txtBookID->clear();
    txtBookName->clear();
    cboType->clearEditText();
    txtBookConcern->clear();
}

bool FrmBookQuery::eventFilter(QObject* watched, QEvent* event)
{
    const bool categoryBox = watched == cboType || watched == cboType->lineEdit();
    if (categoryBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboType->lineEdit()->end(false);  // the completion stands as typed
            cmdFind->click();
            return true;
        }
    }
    return QueryWindow::eventFilter(watched, event);
}

void FrmBookQuery::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        cmdFind->click();
        return;
    }
    QueryWindow::keyPressEvent(event);
}
