#include "DbTool.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <functional>
#include <stdexcept>

#include "DemoLibrary.h"
#include "RawStatement.h"
#include "ScratchFile.h"
#include "SearchIndex.h"
#include "SearchIndexBuilder.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/SearchText.h"
#include "core/logic/StoreError.h"

namespace DbTool {

namespace {

// Lays out the tables in the freshly made file and fills them.
using Filler = std::function<void()>;

// The database file and the engine's work files beside it.
QStringList databaseFiles(const QString& file)
{
    return {file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm"),
            file + QStringLiteral("-journal")};
}

QString databaseFile(const QString& programDir)
{
    return QDir(programDir).filePath(AppInfo::kDatabaseFile);
}

// Makes the file, its tables and their rows; false with *error when any step
// fails. The connection is closed either way.
bool build(const QString& file, const Filler& fill, QString* error)
{
    bool made = Database::create(file, error);  // its error names the file
    if (made) {
        QString failure;
        try {
            fill();
        } catch (const StoreError& e) {
            failure = e.message();
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
        if (!failure.isEmpty()) {
            *error = QStringLiteral("无法创建数据库 %1\n%2").arg(QDir::toNativeSeparators(file), failure);
            made = false;
        }
    }
    Database::close();
    return made;
}

// Makes the database and fills it; on success leaves *message for the caller to say.
int make(const QString& programDir, const Filler& fill, QString* message)
{
    const QString file = databaseFile(programDir);
    if (QFileInfo::exists(file)) {
        *message = QStringLiteral("数据库 %1 已经存在,不会覆盖。").arg(QDir::toNativeSeparators(file));
        return 1;
    }
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        *message = QStringLiteral("无法创建目录 %1").arg(QDir::toNativeSeparators(folder));
        return 1;
    }
    // A failed run takes away every file it made, so that the next run starts
    // clean instead of refusing a half-made database.
    QStringList made;
    for (const QString& path : databaseFiles(file))
        if (!QFileInfo::exists(path))
            made << path;
    if (!build(file, fill, message)) {
        for (const QString& path : made)
            if (QFileInfo(path).isFile())
                QFile::remove(path);
        return 1;
    }
    return 0;
}

// The engine's own handle of the shared connection, for writing millions of rows.
sqlite3* engineHandle()
{
    const QVariant handle = Database::connection().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw std::runtime_error("no SQLite handle");
    return *static_cast<sqlite3* const*>(handle.data());
}

// The rows go in without a journal and without waiting for the disk (the
// files are new, and a failed run deletes them anyway), before the indexes,
// which are then built in one sweep each. The loans with their indexes and
// the search index are written meanwhile on threads of their own, each into a
// scratch file, and moved in at the end. Then the file is left in WAL mode
// with synchronous=FULL, as the program keeps it.
void fillLarge(const LargeLibrary::Size& size, const QDate& today)
{
    LibrarySchema::createTables();
    sqlite3* db = engineHandle();
    rawExec(db, "PRAGMA journal_mode=OFF");
    rawExec(db, "PRAGMA synchronous=OFF");
    rawExec(db, "PRAGMA cache_size=-524288");
    rawExec(db, "PRAGMA temp_store=MEMORY");
    const QString file = QString::fromUtf8(sqlite3_db_filename(db, "main"));
    const LargeLibrary::Library library(db, size, today);
    ScratchFile loans(file + QStringLiteral("-loans"), [&library](sqlite3* scratch) {
        rawExec(scratch, "PRAGMA cache_size=-262144");
        rawExec(scratch, "PRAGMA temp_store=MEMORY");
        const QStringList statements = LibrarySchema::tableStatements(QStringLiteral("lentInfo"));
        rawExec(scratch, statements.first().toUtf8().constData());
        rawExec(scratch, "PRAGMA ignore_check_constraints=ON");  // every date is valid by construction
        library.writeLoans(scratch);
        rawExec(scratch, "BEGIN");
        for (const QString& index : statements.mid(1))
            rawExec(scratch, index.toUtf8().constData());
        rawExec(scratch, "COMMIT");
    });
    SearchIndexBuilder words(file + QStringLiteral("-words"), LibrarySchema::searchTableStatement());
    // Every date is made valid by construction: the per-row date checks are skipped.
    rawExec(db, "PRAGMA ignore_check_constraints=ON");
    library.writeCatalogue(db, [&words](const QByteArray& number, const QByteArray& title,
                                        const QByteArray& publisher) { words.add(number, title, publisher); });
    rawExec(db, "PRAGMA ignore_check_constraints=OFF");
    LibrarySchema::createIndexes();
    words.moveInto(db);
    loans.moveInto(db, {"lentInfo"});
    rawExec(db, "PRAGMA journal_mode=WAL");
    rawExec(db, "PRAGMA synchronous=FULL");
}

}  // namespace

int create(const QString& programDir, QString* message)
{
    const int code = make(programDir, [] { LibrarySchema::create(); }, message);
    if (code == 0)
        *message = QStringLiteral("已创建数据库 %1").arg(QDir::toNativeSeparators(databaseFile(programDir)));
    return code;
}

int demo(const QString& programDir, QString* message)
{
    return demo(programDir, message, QDate::currentDate());
}

int demo(const QString& programDir, QString* message, const QDate& today)
{
    const int code = make(
        programDir,
        [today] {
            LibrarySchema::create();
            DemoLibrary::fill(today);
        },
        message);
    if (code == 0)
        *message = QStringLiteral("已创建演示图书馆数据库 %1").arg(QDir::toNativeSeparators(databaseFile(programDir)));
    return code;
}

int reindex(const QString& programDir, QString* message)
{
    const QString file = databaseFile(programDir);
    if (!Database::open(file, message))
        return 1;
    QString failure;
    try {
        if (!SearchText::marksIndexed())
            LibrarySchema::remakeSearchIndex();
        else
            LibrarySchema::renewSearchTriggers();
        sqlite3* db = engineHandle();
        rawExec(db, "BEGIN IMMEDIATE");
        try {
            SearchIndex::rewrite(db);
            rawExec(db, "COMMIT");
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (const StoreError& e) {
        failure = e.message();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    Database::close();
    if (!failure.isEmpty()) {
        *message = QStringLiteral("无法重建检索索引 %1\n%2").arg(QDir::toNativeSeparators(file), failure);
        return 1;
    }
    *message = QStringLiteral("已重建检索索引 %1").arg(QDir::toNativeSeparators(file));
    return 0;
}

int demo(const QString& programDir, const LargeLibrary::Size& size, QString* message, const QDate& today)
{
    const QString refused = LargeLibrary::refusal(size);
    if (!refused.isEmpty()) {
        *message = refused;
        return 2;
    }
    const int code = make(programDir, [size, today] { fillLarge(size, today); }, message);
    if (code == 0)
        *message = QStringLiteral("已创建演示图书馆数据库 %1 (%2 册图书, %3 位读者, %4 条借阅记录)")
                       .arg(QDir::toNativeSeparators(databaseFile(programDir)), QString::number(size.books),
                            QString::number(size.readers), QString::number(size.loans));
    return code;
}

}  // namespace DbTool
