#include "backup/logic/LibraryFile.h"

#include <sqlite3.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include "core/logic/LibrarySchema.h"

namespace LibraryFile {

namespace {

constexpr int kBusyMilliseconds = 10000;
// How many of the engine's steps between two looks at a stop request.
constexpr int kStopPolling = 1000;

// The engine's progress handler: nonzero interrupts the statement running.
int stopRequested(void* stop)
{
    return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

// One connection of our own, closed when it goes.
class Connection {
public:
    ~Connection() { sqlite3_close_v2(m_db); }

    bool open(const QString& path, int flags, QString* error)
    {
        const QByteArray name = QFile::encodeName(path);
        if (sqlite3_open_v2(name.constData(), &m_db, flags, nullptr) != SQLITE_OK)
            return fail(QStringLiteral("无法打开文件 %1").arg(QDir::toNativeSeparators(path)), error);
        sqlite3_busy_timeout(m_db, kBusyMilliseconds);
        return true;
    }
    sqlite3* handle() const { return m_db; }
    QString engineText() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    bool fail(const QString& what, QString* error) const
    {
        if (error)
            *error = what + QLatin1Char('\n') + engineText();
        return false;
    }

    // The first column of each row of a statement, as texts; nullopt when the
    // engine refuses it.
    std::optional<QStringList> column(const char* statement) const
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, statement, -1, &stmt, nullptr) != SQLITE_OK)
            return std::nullopt;
        QStringList rows;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            return std::nullopt;
        return rows;
    }
    bool execute(const char* statement) const
    {
        return sqlite3_exec(m_db, statement, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

private:
    sqlite3* m_db = nullptr;
};

// The whole of `source` into `target` in one step; a file busy with another
// writer is waited for.
bool copyPages(const Connection& source, const Connection& target, QString* error)
{
    const QDeadlineTimer deadline(kBusyMilliseconds);
    for (;;) {
        sqlite3_backup* backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
        if (!backup)
            return target.fail(QStringLiteral("无法开始复制"), error);
        const int rc = sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
        if (rc == SQLITE_DONE)
            return true;
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && !deadline.hasExpired()) {
            QThread::msleep(50);
            continue;
        }
        if (error)
            *error = QString::fromUtf8(sqlite3_errstr(rc));
        if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
            *error = QStringLiteral("它不是数据库文件, 或已经损坏\n") + *error;
        else if (rc == SQLITE_READONLY)
            *error = QStringLiteral("两个文件的页面大小不同, 无法在程序运行时替换\n") + *error;
        return false;
    }
}

std::optional<Counts> readCounts(const Connection& db, QString* error)
{
    Counts counts;
    const std::pair<qint64*, const char*> readings[] = {
        {&counts.books, "SELECT count(*) FROM bookInfo"},
        {&counts.readers, "SELECT count(*) FROM readerInfo"},
        {&counts.loansOut, "SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL"},
    };
    for (const auto& [target, statement] : readings) {
        const std::optional<QStringList> rows = db.column(statement);
        if (!rows || rows->isEmpty()) {
            db.fail(QStringLiteral("无法读取图书馆的数据表"), error);
            return std::nullopt;
        }
        *target = rows->first().toLongLong();
    }
    return counts;
}

// copy() without taking away what it left when it failed.
bool copyInto(const QString& from, const QString& to, QString* error)
{
    Connection source, target;
    if (!source.open(from, SQLITE_OPEN_READONLY, error)
        || !target.open(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error)
        || !copyPages(source, target, error))
        return false;
    // The pages say WAL when the library runs in it; a copy is one file alone.
    if (!target.execute("PRAGMA journal_mode=DELETE"))
        return target.fail(QStringLiteral("无法写入文件 %1").arg(QDir::toNativeSeparators(to)), error);
    return true;
}

}  // namespace

bool copy(const QString& from, const QString& to, QString* error)
{
    if (copyInto(from, to, error))
        return true;
    QFile::remove(to);
    QFile::remove(to + QStringLiteral("-journal"));
    return false;
}

bool replace(const QString& from, const QString& target, QString* error)
{
    Connection source, library;
    return source.open(from, SQLITE_OPEN_READONLY, error) && library.open(target, SQLITE_OPEN_READWRITE, error)
           && copyPages(source, library, error);
}

std::optional<Counts> check(const QString& file, QString* error, Stamp stamp, const std::atomic<bool>* stop)
{
    Connection db;
    if (!db.open(file, SQLITE_OPEN_READWRITE, error))
        return std::nullopt;
    if (stop)
        sqlite3_progress_handler(db.handle(), kStopPolling, &stopRequested, const_cast<std::atomic<bool>*>(stop));
    const std::optional<QStringList> id = db.column("PRAGMA application_id");
    if (!id) {
        db.fail(QStringLiteral("它不是数据库文件, 或已经损坏"), error);
        return std::nullopt;
    }
    const bool unstamped = id->value(0).toLongLong() == 0 && stamp == Stamp::GivenWhenMissing;
    if (id->value(0).toLongLong() != LibrarySchema::kApplicationId && !unstamped) {
        if (error)
            *error = QStringLiteral("它不是本系统的图书馆 (没有本系统的标记)。\n"
                                    "本系统较早版本建立的图书馆, 先用 shelfmark-db upgrade 加上标记。");
        return std::nullopt;
    }
    const std::optional<QStringList> version = db.column("PRAGMA user_version");
    if (version && version->value(0).toInt() > LibrarySchema::kLayoutVersion) {
        if (error)
            *error = QStringLiteral("它由更新版本的本系统建立, 这个版本无法使用它。");
        return std::nullopt;
    }
    if (stop && stop->load()) {
        if (error)
            *error = QStringLiteral("检查已停止 (程序正在关闭)");
        return std::nullopt;
    }
    const std::optional<QStringList> integrity = db.column("PRAGMA integrity_check");
    if (!integrity || integrity->value(0) != QLatin1String("ok")) {
        if (error)
            *error = QStringLiteral("它已经损坏 (完整性检查未通过)\n")
                     + (integrity ? integrity->mid(0, 3).join(QLatin1Char('\n')) : db.engineText());
        return std::nullopt;
    }
    const std::optional<QStringList> search =
        db.column("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'bookSearch'");
    if (search && search->value(0) == QLatin1String("1")
        && !db.execute("INSERT INTO bookSearch (bookSearch) VALUES ('integrity-check')")) {
        db.fail(QStringLiteral("它的检索索引已经损坏"), error);
        return std::nullopt;
    }
    const QByteArray stamping = QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2")
                                    .arg(LibrarySchema::kApplicationId)
                                    .arg(LibrarySchema::kLayoutVersion)
                                    .toUtf8();
    if (unstamped && !db.execute(stamping.constData())) {
        db.fail(QStringLiteral("无法写入文件 %1").arg(QDir::toNativeSeparators(file)), error);
        return std::nullopt;
    }
    return readCounts(db, error);
}

std::optional<Counts> count(const QString& file, QString* error)
{
    Connection db;
    if (!db.open(file, SQLITE_OPEN_READONLY, error))
        return std::nullopt;
    return readCounts(db, error);
}

}  // namespace LibraryFile
