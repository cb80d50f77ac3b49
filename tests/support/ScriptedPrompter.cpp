#include "ScriptedPrompter.h"

#include <QtGlobal>

namespace {
// A window that asks again whatever it is answered would fill the memory:
// so many boxes in one test end it instead.
constexpr qsizetype kMostBoxes = 10000;
}  // namespace

void ScriptedPrompter::record(const Shown& box)
{
    if (shown.size() >= kMostBoxes)
        qFatal("%lld boxes shown, the last \"%s\": the window asks again and again", static_cast<long long>(shown.size()),
               qPrintable(box.text));
    shown.append(box);
}

void ScriptedPrompter::notice(const QString& text, const QString& title, Icon icon)
{
    record({Shown::Kind::Notice, text, title, icon});
}

bool ScriptedPrompter::question(const QString& text, const QString& title)
{
    record({Shown::Kind::Question, text, title, Icon::None});
    return questionAnswers.isEmpty() ? true : questionAnswers.dequeue();
}

QString ScriptedPrompter::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    record({Shown::Kind::Input, prompt, title, Icon::None, defaultText});
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
