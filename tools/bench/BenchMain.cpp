// shelfmark-bench: every operation the windows use, run through our layer
// and the same statements through SQLite's own interface on the same
// database in the same run, printed side by side with their ratio and the
// target each must meet. Prints figures; asserts nothing.
//
// usage: shelfmark-bench DIR [--books N] [--readers N] [--loans N] [--runs N] [--write-runs N]
//                        [--start-runs N] [--server WORDS] [--only reports|import|export|statistics|backup]
//
// --only reports (or import, export, statistics, backup) measures the reports
// (or the import, the export of every book, a year's statistics, the day's
// snapshot) alone, on the SQLite file only, for a quick look after a change
// to them.
//
// With --server the library is the one on that PostgreSQL server, and each
// desk operation and search runs beside the same statements through libpq.
//
// DIR is a program directory; when DIR/mdb/Shelfmark.mdb is missing it is
// first made with `shelfmark-db demo DIR` at the given size (by default
// 1,000,000 books, 100,000 readers, 5,000,000 loans). Keep DIR on a real
// disk (not tmpfs): the writes wait for it as the program's do. Delete-all
// runs on copies of a library of books only kept in DIR/delete-all; start-up
// and a grid's memory are measured in processes of their own (the bench
// started again with a probe option, see WindowSection).

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTextStream>

#include "DbTool.h"
#include "BackupSection.h"
#include "DeleteSection.h"
#include "DeskSection.h"
#include "ExportSection.h"
#include "ImportSection.h"
#include "QuerySection.h"
#include "ReportsSection.h"
#include "StatisticsSection.h"
#include "RawStatement.h"
#include "ServerSection.h"
#include "ServerTool.h"
#include "SideBySide.h"
#include "WindowSection.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/Sql.h"

namespace {

struct Options {
    QString dir;
    std::optional<ServerSettings> server;  // --server: the library on that server instead
    LargeLibrary::Size size;
    int runs = 2000;
    int writeRuns = 200;
    int startRuns = 5;
    QString only;  // --only: the one part measured ("" for all)

    // Whether the part is measured.
    bool measures(const char* part) const { return only.isEmpty() || only == QLatin1String(part); }
};

bool readOptions(const QStringList& args, Options* options)
{
    if (args.size() < 2 || args[1].startsWith(QLatin1String("--")))
        return false;
    options->dir = args[1];
    for (int i = 2; i < args.size(); i += 2) {
        if (args[i] == QLatin1String("--server") && i + 1 < args.size()) {
            QString error;
            options->server = ServerSettings::fromWords(args[i + 1], &error);
            if (!options->server)
                return false;
            continue;
        }
        if (args[i] == QLatin1String("--only") && i + 1 < args.size()
            && QStringList({"reports", "import", "export", "statistics", "backup"}).contains(args[i + 1])) {
            options->only = args[i + 1];
            continue;
        }
        bool ok = false;
        const qint64 value = i + 1 < args.size() ? args[i + 1].toLongLong(&ok) : 0;
        const QString& name = args[i];
        if (!ok || value < 0)
            return false;
        if (name == QLatin1String("--books"))
            options->size.books = value;
        else if (name == QLatin1String("--readers"))
            options->size.readers = value;
        else if (name == QLatin1String("--loans"))
            options->size.loans = value;
        else if (name == QLatin1String("--runs") && value > 0)
            options->runs = int(value);
        else if (name == QLatin1String("--write-runs") && value > 0)
            options->writeRuns = int(value);
        else if (name == QLatin1String("--start-runs") && value > 0)
            options->startRuns = int(value);
        else
            return false;
    }
    return true;
}

QString scalar(const QString& statement)
{
    QSqlQuery query = Sql::run(statement, {}, QStringLiteral("bench"));
    return query.next() ? query.value(0).toString() : QString();
}

// The engine's own connection on the same file, set up as ours is.
sqlite3* openRaw(const QString& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    rawExec(db, "PRAGMA journal_mode=WAL");
    rawExec(db, "PRAGMA synchronous=FULL");
    sqlite3_busy_timeout(db, 5000);
    return db;
}

// The library DIR/dat/library.ini names on the server (made there first, as
// `shelfmark-db demo DIR --server …` makes it, when DIR has none), each desk
// operation and search beside libpq alone.
int runOnServer(SideBySide& bench, const Options& options, QTextStream& err)
{
    QString message;
    if (!LibraryLocation::server(options.dir, &message)) {
        QElapsedTimer timer;
        timer.start();
        if (ServerTool::demo(options.dir, *options.server, options.size, &message) != 0) {
            err << message << '\n';
            return 1;
        }
        bench.note(QStringLiteral("%1 in %2 s").arg(message).arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    }
    if (!Database::openServer(*options.server, &message)) {
        err << message << '\n';
        return 1;
    }
    try {
        bench.note(QStringLiteral("library on %1: %2 books, %3 readers, %4 loans")
                       .arg(options.server->describe(), scalar(QStringLiteral("SELECT count(*) FROM bookInfo")),
                            scalar(QStringLiteral("SELECT count(*) FROM readerInfo")),
                            scalar(QStringLiteral("SELECT count(*) FROM lentInfo"))));
        if (options.only.isEmpty())
            ServerSection::run(bench, *options.server, options.runs, options.writeRuns, QDate::currentDate());
        ReportsSection::runOnServer(bench, std::max(3, options.runs / 100));
        Database::close();
        if (options.only.isEmpty())
            WindowSection::startupOnServer(bench, QCoreApplication::applicationFilePath(), options.dir, options.startRuns);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        Database::close();
        return 1;
    }
    Database::close();
    bench.note(QStringLiteral("\n%1 figures, %2 not met").arg(bench.measured()).arg(bench.unmet()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const int code = WindowSection::probe(argc, argv); code >= 0)
        return code;
    if (const int code = ExportSection::probe(argc, argv); code >= 0)
        return code;
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    Options options;
    if (!readOptions(app.arguments(), &options)) {
        err << "usage: shelfmark-bench DIR [--books N] [--readers N] [--loans N] [--runs N] [--write-runs N]"
                " [--start-runs N] [--server \"host=… dbname=… user=…\"] [--only reports|import|export|statistics|backup]\n";
        return 2;
    }
    SideBySide bench;
    if (options.server)
        return runOnServer(bench, options, err);
    const QString file = QDir(options.dir).filePath(AppInfo::kDatabaseFile);
    QString message;
    if (!QFileInfo::exists(file)) {
        QElapsedTimer timer;
        timer.start();
        if (DbTool::demo(options.dir, options.size, &message) != 0) {
            err << message << '\n';
            return 1;
        }
        bench.note(QStringLiteral("%1 in %2 s").arg(message).arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    }
    if (!Database::open(file, &message)) {
        err << message << '\n';
        return 1;
    }
    sqlite3* raw = nullptr;
    try {
        raw = openRaw(file);
        bench.note(QStringLiteral("library %1: %2 books, %3 readers, %4 loans (%5 outstanding); "
                                  "ours journal %6 synchronous %7 (2 = FULL), raw the same")
                       .arg(QDir::toNativeSeparators(file))
                       .arg(scalar(QStringLiteral("SELECT count(*) FROM bookInfo")),
                            scalar(QStringLiteral("SELECT count(*) FROM readerInfo")),
                            scalar(QStringLiteral("SELECT count(*) FROM lentInfo")),
                            scalar(QStringLiteral("SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL")),
                            scalar(QStringLiteral("PRAGMA journal_mode")), scalar(QStringLiteral("PRAGMA synchronous"))));
        const bool everything = options.only.isEmpty();
        if (everything) {
            DeskSection::run(bench, raw, options.runs, options.writeRuns, QDate::currentDate());
            QuerySection::run(bench, raw, std::max(3, options.runs / 100));
        }
        if (options.measures("reports"))
            ReportsSection::run(bench, raw, std::max(3, options.runs / 100),
                                QDir(app.applicationDirPath()).filePath(QStringLiteral("../shelfmark-db")),
                                options.dir);
        if (options.measures("import"))
            ImportSection::run(bench, raw, 3);
        if (options.measures("statistics"))
            StatisticsSection::run(bench, raw, std::max(3, options.runs / 100));
        sqlite3_close(raw);
        raw = nullptr;
        Database::close();
        if (options.measures("export"))
            ExportSection::run(bench, app.applicationFilePath(), options.dir,
                               std::max(1, std::min(3, options.runs / 100)));
        if (options.measures("backup"))
            BackupSection::run(bench, options.dir);
        if (everything) {
            WindowSection::run(bench, app.applicationFilePath(), options.dir, options.startRuns);
            DeleteSection::run(bench, options.dir, options.size.books);
        }
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        sqlite3_close(raw);
        Database::close();
        return 1;
    }
    Database::close();
    bench.note(QStringLiteral("\n%1 figures, %2 not met").arg(bench.measured()).arg(bench.unmet()));
    return 0;
}
