#include "core/ui/FormParts.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

#include "core/logic/AppInfo.h"

namespace FormParts {

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

void fixOuterSize(QWidget* window, int outerWidthTwips, int outerHeightTwips)
{
    window->setFixedSize(AppInfo::pixelsFromTwips(outerWidthTwips - kFrameWidthTwips),
                         AppInfo::pixelsFromTwips(outerHeightTwips - kFrameHeightTwips));
}

}  // namespace FormParts
