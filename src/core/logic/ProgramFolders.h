#pragma once

#include <QProcessEnvironment>
#include <QString>

// The two places the program uses: where it reads its own read-only files
// (skins, tips, help text) and where it keeps everything it writes (the
// library, the account, settings, print settings, backups).
//
// Run from a program directory (the executable's folder holds style/, as
// built), both are that folder, as they always were. Installed (the executable
// in a bin/ folder beside share/shelfmark, as under /usr), the read-only files
// come from share/shelfmark and the written ones go to the clerk's own data
// folder, $XDG_DATA_HOME/shelfmark (by default ~/.local/share/shelfmark).
class ProgramFolders {
public:
    // Both places in one folder: a program directory.
    static ProgramFolders programDirectory(const QString& dir);
    // An installed program reading from `resourceDir`, writing into `dataDir`.
    static ProgramFolders installed(const QString& resourceDir, const QString& dataDir);
    // The places of a program whose executable lies in `executableDir`, with
    // the environment `environment` (XDG_DATA_HOME, HOME).
    static ProgramFolders forExecutable(const QString& executableDir,
                                        const QProcessEnvironment& environment);
    // The places of the running program.
    static ProgramFolders current();

    // Where every file the program writes lives.
    const QString& dataDir() const { return m_dataDir; }
    // Where the skins, the tips and the help text are read from.
    const QString& resourceDir() const { return m_resourceDir; }
    // dataDir() or resourceDir() joined with a relative path ("mdb/Shelfmark.mdb").
    QString dataPath(const QString& relative) const;
    QString resourcePath(const QString& relative) const;
    // True when both places are one program directory.
    bool isProgramDirectory() const { return m_dataDir == m_resourceDir; }

    // Whether the data folder holds a library: its file mdb/Shelfmark.mdb, or
    // dat/library.ini naming one on a server.
    bool holdsLibrary() const;
    // Makes the data folder with its mdb/ and dat/ when they are missing, and
    // gives it its own copy of the tips file (whose place and start flag the
    // program keeps) from the read-only files. False and *error (in Chinese,
    // naming the folder) when the folder cannot be made.
    bool prepare(QString* error) const;

private:
    ProgramFolders(QString resourceDir, QString dataDir);

    QString m_resourceDir;
    QString m_dataDir;
};
