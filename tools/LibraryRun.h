#pragma once

// What shelfmark-db's commands over an existing library share: opening it as
// the program does (a server library when DIR/dat/library.ini names one, or
// --server given), reporting a store failure, and closing it again.
#include <QCoreApplication>
#include <QString>
#include <QTextStream>
#include <functional>

namespace LibraryRun {

// Opens the library of the program directory DIR as the program does, or the
// server named by libpq's words when given. False, with *error, when it cannot.
bool open(const QString& dir, const QString& serverWords, QString* error);

// Opens the library, runs `work` on it and closes it again: work's exit
// status, or 1 with the message on `err` when the library cannot be opened
// or the store fails.
int run(const QString& dir, const QString& serverWords, QTextStream& err, const std::function<int()>& work);

// A whole command over an existing library: its options read from the
// arguments by `read` (the usage on the error stream and status 2 when they
// do not hold), then `work` run on the library their dir and server name.
template <class Options>
int command(int argc, char** argv, const char* usage, bool (*read)(const QStringList&, Options*),
            const std::function<int(const Options&, QTextStream& out, QTextStream& err)>& work)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    Options options;
    if (!read(app.arguments(), &options)) {
        err << usage;
        return 2;
    }
    return run(options.dir, options.server, err, [&] { return work(options, out, err); });
}

}  // namespace LibraryRun
