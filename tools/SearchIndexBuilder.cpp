#include "SearchIndexBuilder.h"

#include <sqlite3.h>

#include "RawStatement.h"
#include "core/logic/SearchText.h"

namespace {

constexpr size_t kBatchBooks = 10000;
constexpr size_t kBatchesWaiting = 8;  // at most this many batches wait for the thread
// The words and their segments; the settings (bookSearch_config) stay the library's own.
const QList<const char*> kShadowTables = {"bookSearch_data", "bookSearch_idx"};
// Words gathered in memory before they are written out as a segment: the
// engine's 1 MB makes hundreds of small segments that it then merges again
// and again, which took half the time of the words.
constexpr const char* kPendingWords = "INSERT INTO bookSearch (bookSearch, rank) VALUES ('hashsize', 67108864)";

QByteArray spaced(const QByteArray& text) { return SearchText::spaced(QString::fromUtf8(text)).toUtf8(); }
QByteArray pairs(const QByteArray& text) { return SearchText::pairs(QString::fromUtf8(text)).toUtf8(); }

}  // namespace

SearchIndexBuilder::SearchIndexBuilder(const QString& scratchFile, const QString& tableStatement)
    : m_scratch(scratchFile, [this, tableStatement](sqlite3* scratch) {
          try {
              write(scratch, tableStatement);
          } catch (...) {
              std::lock_guard lock(m_mutex);
              m_done = true;  // the first thread stops waiting for room
              m_queue.clear();
              m_changed.notify_all();
              throw;
          }
      })
{
}

SearchIndexBuilder::~SearchIndexBuilder()
{
    finish();
}

void SearchIndexBuilder::add(const QByteArray& number, const QByteArray& title, const QByteArray& publisher)
{
    m_filling.push_back({number, title, publisher});
    if (m_filling.size() < kBatchBooks)
        return;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kBatchesWaiting || m_done; });
    m_queue.push_back(std::move(m_filling));
    m_filling = {};
    m_changed.notify_all();
}

void SearchIndexBuilder::finish()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_filling.empty())
            m_queue.push_back(std::move(m_filling));
        m_filling = {};
        m_done = true;
    }
    m_changed.notify_all();
}

void SearchIndexBuilder::write(sqlite3* scratch, const QString& tableStatement)
{
    rawExec(scratch, "PRAGMA cache_size=-262144");
    rawExec(scratch, tableStatement.toUtf8().constData());
    rawExec(scratch, kPendingWords);
    rawExec(scratch, "BEGIN");
    RawStatement insert(scratch,
                        "INSERT INTO bookSearch (rowid, number, title, publisher, numberPairs, titlePairs,"
                        " publisherPairs) VALUES (?, ?, ?, ?, ?, ?, ?)");
    qint64 row = 0;
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_done; });
            if (m_queue.empty())
                break;
            batch = std::move(m_queue.front());
            m_queue.pop_front();
            m_changed.notify_all();
        }
        for (const Book& book : batch) {
            insert.integer(1, ++row);
            insert.text(2, spaced(book.number)).text(3, spaced(book.title)).text(4, spaced(book.publisher));
            insert.text(5, pairs(book.number)).text(6, pairs(book.title)).text(7, pairs(book.publisher));
            insert.run();
        }
    }
    rawExec(scratch, "COMMIT");
}

void SearchIndexBuilder::moveInto(sqlite3* db)
{
    finish();
    m_scratch.moveInto(db, kShadowTables);
}
