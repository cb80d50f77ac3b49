#pragma once

#include <QPointer>
#include <QWidget>

#include "core/logic/Prompter.h"

// The real Prompter: modal message boxes (OK only, no icon unless asked) and
// the toolkit's input box, over the given parent window.
class MessageBoxPrompter final : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget* parent) { m_parent = parent; }

    void notice(const QString& text, const QString& title, Icon icon) override;
    bool question(const QString& text, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString secret(const QString& prompt, const QString& title) override;

private:
    QWidget* parentWidget() const;

    QPointer<QWidget> m_parent;
};
