#pragma once

#include <QString>

// Finding a text anywhere in a book's number, title or publisher without
// reading every book. The library keeps two full-text indexes beside
// bookInfo (made by LibrarySchema, kept up by triggers on every insert and
// change):
//
// - bookSearch (title, publisher): each text with a blank between any two
//   characters, so that every character is a word of its own and a text of
//   any length, one Chinese character or many, is found as a phrase;
// - bookNumberSearch (number): the numbers in overlapping groups of three
//   characters, for number texts of three characters or more.
//
// An index only narrows the rows down: every search still applies its own
// condition (column LIKE the text) to the rows the index offers, so it gives
// exactly the rows reading every book would give. The index must offer every
// such row, and it does: a text within a column is a run of words within
// the column's words. It may offer more (rows since deleted or changed
// leave their old words behind; the index is never asked to forget), which
// the search's own condition then drops.
namespace SearchText {

// The text with a blank between any two characters (by code point), as the
// index keeps titles and publishers. The triggers do the same in SQL.
QString spaced(const QString& text);

// The phrase that finds `text` in bookSearch, or empty when the text has no
// character that is surely a word there (letters, digits, Chinese
// characters): such a text is searched without the index.
QString wordsPhrase(const QString& text);

// The phrase that finds `text` in bookNumberSearch, or empty when the text is
// shorter than three characters (groups of three cannot find it).
QString numberPhrase(const QString& text);

// Whether the open library has both indexes (a library made before them
// has not, and is searched by reading every book).
bool indexed();

}  // namespace SearchText
