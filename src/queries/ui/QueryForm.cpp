#include "queries/ui/QueryForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace QueryForm {

QLineEdit* textBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(true);
    return button;
}

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(buddy);
    return label;
}

void addRow(QGridLayout* grid, int row, int column, const QString& text, QWidget* box)
{
    grid->addWidget(caption(text, box, grid->parentWidget()), row, column);
    grid->addWidget(box, row, column + 1);
}

}  // namespace QueryForm
