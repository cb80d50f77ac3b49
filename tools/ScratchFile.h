#pragma once

#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

// A database file of its own beside the library, written on a second thread
// while the first thread writes the library, then moved in: parts of a large
// library that would be written one after another are written at once, on
// two cores. The file is made anew, without a journal (a failed run deletes
// it anyway), and removed when this is destroyed.
class ScratchFile {
public:
    using Writer = std::function<void(sqlite3* scratch)>;
    // Starts `write` on the thread at once.
    ScratchFile(const QString& file, Writer write);
    // Stops a writer still at work at its next statement, waits for it and
    // removes the file.
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Waits for the writer, then replaces the rows of db's `tables` with the
    // scratch file's, in a transaction of its own (db must be in none). Laid
    // out alike, indexes included, a table's rows and index entries are
    // copied as they are, in order, instead of the indexes being sorted again.
    // Throws std::runtime_error, also with what stopped the writer.
    void moveInto(sqlite3* db, const QList<const char*>& tables);

private:
    void run(const Writer& write);
    void wait();

    QString m_file;
    std::string m_error;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};
