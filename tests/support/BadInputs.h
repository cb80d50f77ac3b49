#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QString>

#include "Probes.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"

// Every row of every table of the shared connection's library, in a fixed
// order, with nulls told apart from empty texts: equal dumps mean an
// untouched store. Without the search index, whose words a book once saved
// leaves behind by design, when a test has taken a written row out again.
QString storeDump(bool withSearchIndex = true);

// One text tried in one box: the messages the button brought, one a line,
// and the store just before and after the press.
struct BadInputTry {
    QString shown, before, after;
    bool unchanged() const { return before == after; }
};

// Presses the button (a disabled one ignores it, as it would the mouse) and
// reads what followed.
inline BadInputTry pressWatching(ScriptedPrompter& prompter, QAbstractButton* button)
{
    BadInputTry tried{{}, storeDump(), {}};
    prompter.clear();
    button->click();
    tried.shown = prompter.texts().join('\n');
    tried.after = storeDump();
    return tried;
}

// Enters the text into the box through the real widget (typed, or pasted
// when no keyboard types it), then presses the button.
inline BadInputTry tryText(ScriptedPrompter& prompter, QWidget* box, const QString& text, QAbstractButton* button)
{
    enterText(box, text);
    return pressWatching(prompter, button);
}

// A refusal (non-empty) is the only message and leaves the store as it was;
// otherwise `done` is shown and the row `select` reads is `stored`.
inline void expectRefusedOrStored(const BadInputTry& tried, const QString& refusal, const QString& done,
                                  const QString& select, const QStringList& stored)
{
    EXPECT_EQ(tried.shown, refusal.isEmpty() ? done : refusal);
    if (!refusal.isEmpty())
        EXPECT_TRUE(tried.unchanged());
    else
        EXPECT_EQ(storeRows(select).split('|'), stored);
}
