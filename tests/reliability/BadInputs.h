#pragma once

#include <QList>
#include <QString>

// The texts a clerk (or a cat on the keyboard, or a paste from elsewhere)
// may put into any box: each window's boxes are tried with all of them.
struct BadInput {
    const char* what;
    QString text;
};

const QList<BadInput>& badInputs();

// Every row of every table of the shared connection's library, in a fixed
// order, with nulls told apart from empty texts: equal dumps mean an
// untouched store. Without the search index, whose words a book once saved
// leaves behind by design, when a test has taken a written row out again.
QString storeDump(bool withSearchIndex = true);
