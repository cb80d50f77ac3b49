#include "ScriptedPrompter.h"

void ScriptedPrompter::notice(const QString& text, const QString& title, Icon icon)
{
    shown.append({Shown::Kind::Notice, text, title, icon});
}

bool ScriptedPrompter::question(const QString& text, const QString& title)
{
    shown.append({Shown::Kind::Question, text, title, Icon::None});
    return questionAnswers.isEmpty() ? true : questionAnswers.dequeue();
}

QString ScriptedPrompter::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    shown.append({Shown::Kind::Input, prompt, title, Icon::None, defaultText});
    if (inputAnswers.isEmpty())
        return QString();
    const QString answer = inputAnswers.dequeue();
    return answer.isNull() ? QString() : answer;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const Shown& box : shown)
        result.append(box.text);
    return result;
}

QStringList ScriptedPrompter::boxes() const
{
    QStringList result;
    for (const Shown& box : shown)
        result.append(box.text + '|' + box.title
                      + (box.kind == Shown::Kind::Input ? '|' + box.defaultText
                         : box.icon == Icon::None       ? QString()
                                                        : QStringLiteral("|with an icon")));
    return result;
}

QString ScriptedPrompter::lastText() const
{
    return shown.isEmpty() ? QString() : shown.last().text;
}
