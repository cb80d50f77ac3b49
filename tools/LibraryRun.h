#pragma once

// What shelfmark-db's commands over an existing library share: opening it as
// the program does (a server library when DIR/dat/library.ini names one, or
// --server given), reporting a store failure, and closing it again.
#include <QString>
#include <functional>

class QTextStream;

namespace LibraryRun {

// Opens the library of the program directory DIR as the program does, or the
// server named by libpq's words when given. False, with *error, when it cannot.
bool open(const QString& dir, const QString& serverWords, QString* error);

// Opens the library, runs `work` on it and closes it again: work's exit
// status, or 1 with the message on `err` when the library cannot be opened
// or the store fails.
int run(const QString& dir, const QString& serverWords, QTextStream& err, const std::function<int()>& work);

}  // namespace LibraryRun
