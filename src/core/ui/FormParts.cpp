#include "core/ui/FormParts.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/logic/AppInfo.h"

namespace FormParts {

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

QDateEdit* datePicker(const char* name, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QStringLiteral("yyyy/M/d"));
    picker->setCalendarPopup(true);
    picker->setMinimumWidth(120);
    picker->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return picker;
}

QTableView* readOnlyGrid(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->setDefaultSectionSize(22);
    view->verticalHeader()->setMinimumWidth(16);
    return view;
}

void fixOuterSize(QWidget* window, int outerWidthTwips, int outerHeightTwips)
{
    window->setFixedSize(AppInfo::pixelsFromTwips(outerWidthTwips - kFrameWidthTwips),
                         AppInfo::pixelsFromTwips(outerHeightTwips - kFrameHeightTwips));
}

}  // namespace FormParts
