#pragma once

#include <QSqlDatabase>
#include <QString>

// The one shared connection to the library database. The program never
// creates the file: opening a missing or unreadable file fails with a text
// that names the file and carries the engine's error.
namespace Database {

// Opens the shared connection on an existing database file (read-write,
// WAL journal, synchronous=FULL). On failure returns false, fills *error and
// leaves no connection open.
bool open(const QString& filePath, QString* error);
// Opens a connection that may create the file; only our database tool uses it.
bool create(const QString& filePath, QString* error);
// Closes and removes the shared connection (safe when none is open).
void close();
bool isOpen();
// The shared connection (invalid when none is open).
QSqlDatabase connection();

}  // namespace Database
