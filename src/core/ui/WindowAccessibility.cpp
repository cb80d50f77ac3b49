#include "core/ui/WindowAccessibility.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace WindowAccessibility {

namespace {

QAccessibleInterface* plainWindow(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    // Only ordinary windows of our own built directly on QWidget; menus,
    // pop-ups, tips and the toolkit's own classes keep the toolkit's role.
    if (!widget || widget->windowType() != Qt::Window
        || widget->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void install()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(plainWindow);
    installed = true;
}

}  // namespace WindowAccessibility
