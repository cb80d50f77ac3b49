#include "circulation/ui/DeskForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace DeskForm {

QLineEdit* inputBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    // The box's own sheet wins over any skin the window wears.
    box->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(%1, %2, %3); }")
                           .arg(kInputRed)
                           .arg(kInputGreen)
                           .arg(kInputBlue));
    return box;
}

QLineEdit* displayBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    return box;
}

QLabel* enterHint(QWidget* parent)
{
    auto* hint = new QLabel(QStringLiteral("<输完按回车>"), parent);
    hint->setTextFormat(Qt::PlainText);  // not a tag
    return hint;
}

void addRow(QGridLayout* grid, int row, int column, const QString& text, QWidget* box,
            bool withHint)
{
    QWidget* parent = grid->parentWidget();
    grid->addWidget(caption(text, box, parent), row, column);
    if (!withHint) {
        grid->addWidget(box, row, column + 1);
        return;
    }
    auto* pair = new QHBoxLayout;
    pair->setContentsMargins(0, 0, 0, 0);
    pair->setSpacing(4);
    pair->addWidget(box, 1);
    pair->addWidget(enterHint(parent));
    grid->addLayout(pair, row, column + 1);
}

void clear(std::initializer_list<QLineEdit*> boxes)
{
    for (QLineEdit* box : boxes)
        box->clear();
}

void focusBox(QLineEdit* box)
{
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

}  // namespace DeskForm
