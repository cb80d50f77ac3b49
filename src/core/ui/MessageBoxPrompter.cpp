#include "core/ui/MessageBoxPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

QWidget* MessageBoxPrompter::parentWidget() const
{
    if (m_parent && m_parent->isVisible())
        return m_parent;
    return QApplication::activeWindow();
}

void MessageBoxPrompter::notice(const QString& text, const QString& title, Icon icon)
{
    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                    title.isEmpty() ? AppInfo::kAppTitle : title, text, QMessageBox::Ok,
                    parentWidget());
    box.exec();
}

bool MessageBoxPrompter::question(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? AppInfo::kAppTitle : title, text,
                    QMessageBox::Ok | QMessageBox::Cancel, parentWidget());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

QString MessageBoxPrompter::input(const QString& prompt, const QString& title,
                                  const QString& defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parentWidget(), title, prompt, QLineEdit::Normal,
                                                 defaultText, &ok);
    return ok ? answer : QString();
}

QString MessageBoxPrompter::secret(const QString& prompt, const QString& title)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parentWidget(), title, prompt, QLineEdit::Password, QString(), &ok);
    return ok ? answer : QString();
}
