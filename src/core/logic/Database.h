#pragma once

#include <QSqlDatabase>
#include <QString>

#include "core/logic/ServerSettings.h"

class Dialect;

// The one shared connection to the library database. The program never
// creates the file: opening a missing or unreadable file fails with a text
// that names the file and carries the engine's error.
//
// Work too long for the windows' thread (deleting a million books) runs on a
// thread of its own over a connection of that thread's own, to the same file
// with the same settings; on that thread, connection() is that connection.
namespace Database {

// Opens the shared connection on an existing database file (read-write,
// WAL journal, synchronous=FULL). On failure returns false, fills *error and
// leaves no connection open.
bool open(const QString& filePath, QString* error);
// Opens a connection that may create the file; only our database tool uses it.
bool create(const QString& filePath, QString* error);
// Opens the shared connection on a library on a PostgreSQL server: the
// database must be in UTF-8 and hold the library's tables and our stamp. On
// failure returns false, fills *error with a text naming the server and
// leaves no connection open.
bool openServer(const ServerSettings& server, QString* error);
// Connects to a server database that need not hold a library yet; only our
// database tool uses it, to make one.
bool connectServer(const ServerSettings& server, QString* error);
// The server the shared connection is open on (nullopt for a file).
std::optional<ServerSettings> server();
// A statement found the server gone (it restarted, the network broke): the
// shared connection is opened again before the next statement, so that the
// program works on once the server is back, without starting again.
void markServerLost();
// Opens the shared connection again when the server was lost; throws
// StoreError naming `action` while the server cannot be reached. Nothing to
// do on a file, or on a connection that was not lost.
void reconnectIfLost(const QString& action);
// The words of the engine the shared connection is open on (SQLite's while
// none is).
const Dialect& dialect();
// Closes and removes the shared connection (safe when none is open).
void close();
bool isOpen();
// The calling thread's connection: its own while it has one, else the
// shared connection (invalid when none is open).
QSqlDatabase connection();

// Opens the calling thread's own connection to the file the shared connection
// is open on. Until closeOnThisThread(), every statement the thread runs
// (Sql, Transaction) goes through it. On failure returns false and fills
// *error. The thread closes it before it ends.
bool openOnThisThread(QString* error);
void closeOnThisThread();

}  // namespace Database
