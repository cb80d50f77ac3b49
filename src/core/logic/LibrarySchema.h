#pragma once

#include <QString>
#include <QStringList>

// Lays out the six tables of the library database and its one row of
// lending rules on the shared connection, in one transaction. Only our
// database tool and the tests call it; the program never creates tables.
namespace LibrarySchema {

// Throws StoreError when the store refuses a statement (for example because
// the tables already exist); nothing is left half made.
void create();

// The same in two steps, for filling a large library quickly: the tables and
// the rules row first, the indexes once the rows are in (building an index
// over rows already there is much faster than keeping it up row by row).
// The search index (bookSearch and its triggers) starts empty: the words of
// books already there are the caller's to write (shelfmark-db writes them in
// one statement).
void createTables();
void createIndexes();

// bookSearch and its triggers alone, empty, for a library made before them.
void createSearchIndex();
// The same in place of any bookSearch and triggers already there (an index
// made by an earlier version, which held no marks or symbols as words).
void remakeSearchIndex();
// The triggers that keep bookSearch, dropped and made again as this version
// writes them (a library made by an earlier version keeps its own until then).
void renewSearchTriggers();
// The statement that makes bookSearch itself, for building its words elsewhere.
QString searchTableStatement();
// The statements that make one of the six tables and then its indexes, for
// building the table elsewhere and moving it in whole.
QStringList tableStatements(const QString& table);

// The tables of our own beyond the six (overdueReminders: one row per
// reminder sent for a loan, by the loan's row key and the day) and the
// indexes of our own (lentInfo_overdue, for the overdue list), in words both
// engines take; running them again changes nothing. A library without them
// works, the overdue list only slower.
QStringList ownTableStatements();
// Indexes on the six tables that later versions added, in words both engines
// take; running them again changes nothing. create() makes them with the rest.
QStringList addedIndexStatements();
// Adds to an existing library what this version needs and it lacks (our stamp,
// our own tables, the added indexes), in one transaction. Throws StoreError.
void upgrade();

// The stamp of a library file of ours, in its header (SQLite's application_id
// and user_version): a file without it is not a library this program made.
// A library on a server keeps the same in its table shelfmark_library.
inline constexpr qint32 kApplicationId = 0x53484c46;  // "SHLF"
inline constexpr int kLayoutVersion = 1;

// The lending rules a new database starts with.
inline constexpr int kDefaultQuota = 2;
inline constexpr double kDefaultFinePerDay = 0.1;

}  // namespace LibrarySchema
