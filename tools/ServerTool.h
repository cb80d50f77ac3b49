#pragma once

#include <QString>

#include "LargeLibrary.h"
#include "core/logic/ServerSettings.h"

// What shelfmark-db does for a library on a PostgreSQL server. Each returns an
// exit code and writes what it has to say to *message, naming the server. The
// password comes from libpq's own sources (~/.pgpass, PGPASSFILE, PGPASSWORD).
namespace ServerTool {

// Writes the tables, indexes, rules row and stamp into the server's database
// and DIR/dat/library.ini, which puts DIR's program on that library. Refuses a
// database that already holds tables; a failure leaves none of ours behind.
int create(const QString& programDir, const ServerSettings& server, QString* message);
// The same, filled with the demo library.
int demo(const QString& programDir, const ServerSettings& server, QString* message);
// The same with a library of the given size: made as a file first (as
// `demo DIR --books …` makes it), then copied onto the server.
int demo(const QString& programDir, const ServerSettings& server, const LargeLibrary::Size& size,
         QString* message);
// Moves DIR's file library onto the server (the rows in their order, each
// table's count checked after) and writes DIR/dat/library.ini; the file stays.
int copyToServer(const QString& programDir, const ServerSettings& server, QString* message);
// Moves the server library DIR/dat/library.ini names into DIR/mdb/Shelfmark.mdb
// (which must not exist yet) and takes library.ini away, so that DIR's
// program uses the file again; the server's database stays.
int copyToFile(const QString& programDir, QString* message);

}  // namespace ServerTool
