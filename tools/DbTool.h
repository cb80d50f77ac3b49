#pragma once

#include <QDate>
#include <QString>

#include "LargeLibrary.h"

// What shelfmark-db does, callable from tests. Each returns an exit code and
// writes what it has to say (in Chinese, for the clerk's administrator) to
// *message.
namespace DbTool {

// Creates DIR/mdb/Shelfmark.mdb with the six tables and the lending rules.
// Refuses when the database already exists.
int create(const QString& programDir, QString* message);
// The same, filled with a believable demo library whose loans are dated
// around `today` (the machine's today without it).
int demo(const QString& programDir, QString* message);
int demo(const QString& programDir, QString* message, const QDate& today);
// The same with a library of the given size (see LargeLibrary); refuses
// sizes it cannot make with exit code 2.
int demo(const QString& programDir, const LargeLibrary::Size& size, QString* message,
         const QDate& today = QDate::currentDate());
// Makes the search index of DIR's library anew from its books (making the
// index first for a library made before it), in one transaction: after a
// VACUUM, which may renumber the books' rows, the index fits them again.
int reindex(const QString& programDir, QString* message);

}  // namespace DbTool
