#include "core/ui/HelpViewer.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

HelpViewer::HelpViewer(const QString& text) : QDialog(nullptr)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("使用帮助 - readme.txt"));
    setModal(false);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtHelp"));
    m_text->setReadOnly(true);
    m_text->setPlainText(text);
    m_text->setAccessibleName(QStringLiteral("使用帮助"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(640, 520);
}
