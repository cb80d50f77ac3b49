#pragma once

// shelfmark-db's backup and restore of a file library:
//   backup DIR [--to FOLDER | FILE]  a checked snapshot into DIR/backup, or a copy into FOLDER or the new FILE
//   check DIR [--server WORDS]  the library's checks (LibraryCheck), their bits as the exit status
//   restore DIR FILE           FILE checked, a snapshot of the library taken, then replaced by FILE
// For a library on a server both say that the server keeps the backups, with
// the pg_dump line to use, and change nothing.
namespace BackupTool {

// Whether the arguments name one of these commands.
bool handles(int argc, char** argv);
// Runs it; the process's exit status (0 done, 1 refused or failed, 2 usage).
int run(int argc, char** argv);

}  // namespace BackupTool
