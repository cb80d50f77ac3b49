#include "ScratchFile.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QFile>
#include <stdexcept>

#include "RawStatement.h"

namespace {

// How many of the engine's steps a writer takes between looks at whether it should stop.
constexpr int kStepsBetweenLooks = 100000;

}  // namespace

ScratchFile::ScratchFile(const QString& file, Writer write) : m_file(file)
{
    QFile::remove(m_file);
    m_thread = std::thread([this, write = std::move(write)] { run(write); });
}

ScratchFile::~ScratchFile()
{
    m_stop = true;
    wait();
    QFile::remove(m_file);
}

void ScratchFile::run(const Writer& write)
{
    sqlite3* scratch = nullptr;
    try {
        if (sqlite3_open_v2(m_file.toUtf8().constData(), &scratch,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
            != SQLITE_OK)
            throw std::runtime_error(scratch ? sqlite3_errmsg(scratch) : "out of memory");
        sqlite3_progress_handler(
            scratch, kStepsBetweenLooks, [](void* stop) { return int(static_cast<std::atomic<bool>*>(stop)->load()); },
            &m_stop);
        rawExec(scratch, "PRAGMA journal_mode=OFF");
        rawExec(scratch, "PRAGMA synchronous=OFF");
        write(scratch);
    } catch (const std::exception& e) {
        m_error = e.what();
    }
    sqlite3_close(scratch);
}

void ScratchFile::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void ScratchFile::moveInto(sqlite3* db, const QList<const char*>& tables)
{
    wait();
    if (!m_error.empty())
        throw std::runtime_error(m_error);
    {
        RawStatement attach(db, "ATTACH DATABASE ? AS scratch");
        attach.text(1, m_file).run();
    }
    try {
        rawExec(db, "BEGIN");
        for (const char* table : tables) {
            rawExec(db, (QByteArray("DELETE FROM main.") + table).constData());
            rawExec(db, (QByteArray("INSERT INTO main.") + table + " SELECT * FROM scratch." + table).constData());
        }
        rawExec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "DETACH DATABASE scratch", nullptr, nullptr, nullptr);
        throw;
    }
    rawExec(db, "DETACH DATABASE scratch");
}
