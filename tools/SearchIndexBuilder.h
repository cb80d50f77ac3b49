#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "ScratchFile.h"

struct sqlite3;

// Writes the search index of a large library on a second thread, into a
// scratch file of its own, while the first thread writes the rows and builds
// the other indexes; then moves it into the library's bookSearch. The books
// are handed over in the order of their rows, the first being row 1.
class SearchIndexBuilder {
public:
    // tableStatement makes bookSearch as the library has it.
    SearchIndexBuilder(const QString& scratchFile, const QString& tableStatement);
    ~SearchIndexBuilder();  // stops the thread; the scratch file is removed
    SearchIndexBuilder(const SearchIndexBuilder&) = delete;
    SearchIndexBuilder& operator=(const SearchIndexBuilder&) = delete;

    // The next book's texts.
    void add(const QByteArray& number, const QByteArray& title, const QByteArray& publisher);
    // Waits for the thread, then replaces the words in db's bookSearch with
    // those written, in a transaction of its own (db must be in none).
    // Throws std::runtime_error.
    void moveInto(sqlite3* db);

private:
    struct Book {
        QByteArray number, title, publisher;
    };
    using Batch = std::vector<Book>;

    void write(sqlite3* scratch, const QString& tableStatement);
    void finish();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    Batch m_filling;
    bool m_done = false;
    ScratchFile m_scratch;  // last: its thread starts at once and uses the members above
};
