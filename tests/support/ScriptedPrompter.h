#pragma once

#include <QList>
#include <QQueue>
#include <QString>

#include "core/logic/Prompter.h"

// A Prompter for tests: records every box it was asked to show and answers
// questions and input boxes from queues (OK and "" when a queue is empty).
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        enum class Kind { Notice, Question, Input } kind;
        QString text;
        QString title;
        Icon icon = Icon::None;
        QString defaultText;  // of an input box
    };

    void notice(const QString& text, const QString& title, Icon icon) override;
    bool question(const QString& text, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;

    QQueue<bool> questionAnswers;
    QQueue<QString> inputAnswers;  // a null QString stands for Cancel
    QList<Shown> shown;

    // The texts of all boxes shown so far, in order.
    QStringList texts() const;
    // Every box so far as "text|title", "|with an icon" added when it had
    // one, and an input box as "prompt|title|default text".
    QStringList boxes() const;
    // The text of the last box, or "" when none was shown.
    QString lastText() const;
    void clear() { shown.clear(); }

private:
    void record(const Shown& box);
};
