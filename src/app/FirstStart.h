#pragma once

#include <QDate>
#include <QString>

#include "core/logic/ProgramFolders.h"

class Prompter;
struct ServerSettings;

// What an installed program offers when its data folder holds no library yet:
// each way puts one there (or names one) and returns true, or returns false
// with a Chinese *error and leaves the folder as it was. The libraries are
// made by the same code as shelfmark-db's create and demo.
class FirstStart {
public:
    explicit FirstStart(const ProgramFolders& folders);

    // An empty library: the tables and the lending rules.
    bool makeEmpty(QString* error);
    // The demo library, its loans dated around `today`.
    bool makeDemo(const QDate& today, QString* error);
    // A copy of the library file `source`, checked (our tables there, the
    // file whole) before it takes the library's place; `source` is only read.
    bool copyFile(const QString& source, QString* error);
    // The library on a server: dat/library.ini is written once the server
    // can be reached and holds the library (a password it wants is asked
    // through `prompter` and kept in memory for this run only).
    bool useServer(const ServerSettings& server, Prompter& prompter, QString* error);
    // The data folder becomes a link to `folder`, which several accounts of
    // the computer share; what the program laid into the data folder at
    // start goes first, and anything else there stops it. The shared folder
    // may hold a library already or get one by the ways above.
    bool useSharedFolder(const QString& folder, QString* error);

private:
    ProgramFolders m_folders;
};
