#pragma once

#include <QString>

// Finding a text anywhere in a book's number, title or publisher without
// reading every book. The library keeps a full-text index beside bookInfo,
// bookSearch (made by LibrarySchema, kept up by triggers on every insert and
// change), which holds each of the three texts twice:
//
// - number, title, publisher: a blank between any two characters, so every
//   character is a word of its own: one character is found as one word;
// - numberPairs, titlePairs, publisherPairs: every two neighbouring
//   characters as one word: a longer text is found as a phrase of its pairs,
//   reading only the books that hold its rarest pair (two common characters
//   seldom side by side would otherwise mean reading most of the books).
//
// The index only narrows the rows down: every search still applies its own
// condition (column LIKE the text) to the rows the index offers, so it gives
// exactly the rows reading every book would give. The index offers every
// such row: a text within a column is a run of words (or pairs) within the
// column's. It may offer more (rows since deleted or changed leave their old
// words behind; the index is never asked to forget), which the search's own
// condition then drops.
namespace SearchText {

// The text with a blank between any two characters (by code point), as the
// index keeps it. The triggers do the same in SQL.
QString spaced(const QString& text);
// Every two neighbouring characters, pairs separated by a blank (a text of
// one or two characters stays as it is). The triggers do the same in SQL.
QString pairs(const QString& text);

// The condition that finds `text` in the column ("number", "title" or
// "publisher") of bookSearch, or empty when the text has no character that
// is surely a word there (letters, digits, Chinese characters, and with
// `marksIndexed` the common punctuation marks and symbols): such a text is
// searched without the index.
QString match(const QString& column, const QString& text, bool marksIndexed);

// Whether the open library has the index (a library made before it has
// not, and is searched by reading every book).
bool indexed();
// Whether its index holds punctuation marks and symbols as words (an index
// made by an earlier version holds letters and digits only).
bool marksIndexed();

}  // namespace SearchText
