#include "catalogue/ui/BookFieldsFrame.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ui/FormParts.h"

BookFieldsFrame::BookFieldsFrame(const QString& title, const char* priceName, QWidget* parent)
    : QGroupBox(title, parent)
{
    setObjectName(QStringLiteral("bookFrame"));
    txtBookID = FormParts::textBox("txtBookID", this);
    txtBookName = FormParts::textBox("txtBookName", this);
    cboType = new QComboBox(this);
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->setEditable(true);
    cboType->setInsertPolicy(QComboBox::NoInsert);
    txtBookConcern = FormParts::textBox("txtBookConcern", this);
    txtWriter = FormParts::textBox("txtWriter", this);
    dtpRigDate = FormParts::datePicker("dtpRigDate", this);
    dtpRigDate->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    dtpRigDate->setMinimumWidth(0);
    txtPage = FormParts::textBox("txtPage", this);
    price = FormParts::textBox(priceName, this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 10, 8, 10);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(12);
    const struct { const char* caption; QWidget* box; } cells[4][2] = {
        {{"书籍编号:", txtBookID}, {"书籍名称:", txtBookName}},
        {{"书籍类别:", cboType}, {"出版社:", txtBookConcern}},
        {{"作者姓名:", txtWriter}, {"登记日期:", dtpRigDate}},
        {{"书籍页码:", txtPage}, {"书籍价格:", price}},
    };
    for (int row = 0; row < 4; ++row) {
        for (int side = 0; side < 2; ++side) {
            const auto& cell = cells[row][side];
            grid->addWidget(FormParts::caption(QString::fromUtf8(cell.caption), cell.box, this), row, side * 2);
            grid->addWidget(cell.box, row, side * 2 + 1);
        }
    }
    // The right column is the wider one, so that the publisher list, wider
    // than its box, still lies under the box within the window.
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);
}

void BookFieldsFrame::setCategoryItems(const QStringList& items)
{
    cboType->clear();
    cboType->addItems(items);
    cboType->setCurrentIndex(-1);
    cboType->clearEditText();
}

void BookFieldsFrame::placeInWindow(QWidget* window, const QList<QPushButton*>& buttons, bool centred)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(centred ? 24 : 16);
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    if (centred)
        row->addStretch();
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(this, 1);
    layout->addLayout(row);

    QList<QWidget*> order = {txtBookID, txtBookName, cboType, txtBookConcern, txtWriter, dtpRigDate, txtPage, price};
    for (QPushButton* button : buttons)
        order << button;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
