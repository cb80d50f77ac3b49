#pragma once

#include <QString>
#include <optional>

#include "core/logic/ServerSettings.h"

class Prompter;

// Where the program's library lives: the file mdb/Shelfmark.mdb in the data
// folder, or, when dat/library.ini there says engine=postgresql, a database on
// a PostgreSQL server. Without that file nothing changes.
namespace LibraryLocation {

// The ini file that puts the library on a server, relative to the data folder.
inline const QString kServerFile = QStringLiteral("dat/library.ini");

// The server dat/library.ini names, or nullopt for a file library. *error is
// set (and nullopt returned) when the file is there but cannot be used.
std::optional<ServerSettings> server(const QString& dataDir, QString* error);

// At start, before the clerk signs in: for a library on a server, makes sure
// the server can be reached and holds the library. When the server wants a
// password that libpq's own password file (~/.pgpass, PGPASSFILE) does not
// give, asks for it once through `prompter`, masked, and keeps it in memory
// for the connections the program opens later. False and *error, naming the
// server, when it cannot be reached; a file library needs nothing here.
bool prepare(const QString& dataDir, Prompter& prompter, QString* error);

// Opens the shared connection on the library: the file, or the server with
// the password given at start. False and *error when it cannot.
bool open(const QString& dataDir, QString* error);

// Forgets the password given at start.
void forget();

}  // namespace LibraryLocation
