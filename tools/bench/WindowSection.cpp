#include "WindowSection.h"

#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "RawStatement.h"
#include "ServerSection.h"
#include "SideBySide.h"
#include "app/FrmLogon.h"
#include "app/Frmmain.h"
#include "app/Startup.h"
#include "catalogue/logic/BookListModel.h"
#include "catalogue/ui/FrmShelfmark.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Clock.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/ProgramFolders.h"
#include "core/logic/Prompter.h"
#include "core/ui/MessageBoxPrompter.h"
#include "queries/logic/QueryBuilder.h"
#include "queries/ui/FrmBookQuery.h"

namespace WindowSection {

namespace {

const char* const kStartupProbe = "--startup-probe";
const char* const kStartupRawProbe = "--startup-raw-probe";
const char* const kGridProbe = "--grid-probe";
const char* const kShelfGridProbe = "--shelf-grid-probe";

double millis(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

// The process's resident memory, in KiB.
long residentKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void say(const QString& line)
{
    QTextStream out(stdout);
    out << line << '\n';
    out.flush();
}

// Says nothing and agrees: the query window's "查询结果如下!!" must not wait for a click.
class SilentPrompter : public Prompter {
public:
    void notice(const QString&, const QString&, Icon) override {}
    bool question(const QString&, const QString&) override { return true; }
    QString input(const QString&, const QString&, const QString& defaultText) override { return defaultText; }
};

// What main() does, up to the main window shown and the event loop idle.
// The clerk's sign-in is the one step skipped: the sign-in window, once up
// and idle, reports a good password as it would on OK.
int startupProbe(int argc, char** argv, const QString& dir)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    Startup::setUpApplication(app);
    MessageBoxPrompter prompter;
    SystemClock clock;
    Startup startup(prompter, clock, ProgramFolders::programDirectory(dir));
    QObject::connect(&startup, &Startup::finished, &app, &QCoreApplication::exit);
    startup.start();
    double signIn = 0;
    QTimer::singleShot(0, &app, [&] {
        signIn = millis(sinceMain);
        emit startup.signInWindow()->signedIn();
        QTimer::singleShot(0, &app, [&] {
            const bool shown = startup.mainWindow() && startup.mainWindow()->isVisible();
            say(QStringLiteral("ready %1 %2").arg(signIn, 0, 'f', 1).arg(millis(sinceMain), 0, 'f', 1));
            app.exit(shown ? 0 : 1);
        });
    });
    const int code = app.exec();
    Database::close();
    return code;
}

// The engine alone: the file opened and read as the program's start reads it.
int startupRawProbe(const QString& dir)
{
    sqlite3* db = nullptr;
    const QByteArray file = QDir(dir).filePath(AppInfo::kDatabaseFile).toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    {
        RawStatement tables(db, "SELECT name FROM sqlite_master WHERE type = 'table'");
        while (tables.step())
            tables.textAt(0);
    }
    rawExec(db, "PRAGMA journal_mode=WAL");
    rawExec(db, "PRAGMA synchronous=FULL");
    say(QStringLiteral("ready"));
    sqlite3_close(db);
    return 0;
}

// Every book read through the engine alone, then the real book query window
// showing every book (or 书库管理's book list, with `shelf`), scrolled to
// the last; the resident memory each adds.
int gridProbe(int argc, char** argv, const QString& dir, bool shelf)
{
    QApplication app(argc, argv);
    Startup::setUpApplication(app);
    const QString file = QDir(dir).filePath(AppInfo::kDatabaseFile);
    const KeyedStatement everyBook = shelf ? BookListModel::statement() : BuildBookQuery({}, false);

    const long rawBefore = residentKib();
    long rawRows = 0;
    QString error;
    if (const std::optional<ServerSettings> server = LibraryLocation::server(dir, &error)) {
        rawRows = long(ServerSection::readEveryRow(*server, KeyedText(everyBook)));
    } else {
        if (!error.isEmpty())
            return 1;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            return 1;
        {
            RawStatement query(db, KeyedText(everyBook).toUtf8().constData());
            for (; query.step(); ++rawRows)
                for (int c = 0; c < query.columns(); ++c)
                    query.textAt(c);
        }
        sqlite3_close(db);
    }
    const long rawAdded = residentKib() - rawBefore;

    SilentPrompter prompter;
    SystemClock clock;
    Frmmain main(prompter, clock, ProgramFolders::programDirectory(dir));
    if (!main.Form_Load())
        return 1;
    main.show();
    QCoreApplication::processEvents();
    const long before = residentKib();
    QElapsedTimer timer;
    timer.start();
    QWidget* window = nullptr;
    QTableView* grid = nullptr;
    if (shelf) {
        main.mnuShelfmark_Click();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<FrmShelfmark*>(top))
                window = found, grid = found->booksGrid;
    } else {
        main.mnuBookQuery_Click();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<FrmBookQuery*>(top)) {
                found->cmdClear_Click();
                found->cmdFind_Click();
                window = found, grid = found->booksGrid;
            }
    }
    if (!window)
        return 1;
    QAbstractItemModel* model = grid->model();
    // Ctrl+End until the grid holds the last row: each step reads the next rows.
    for (int stalled = 0; stalled < 50;) {
        const int rows = model->rowCount();
        grid->scrollToBottom();
        QCoreApplication::processEvents();
        if (!model->canFetchMore(QModelIndex()))
            break;
        stalled = model->rowCount() == rows ? stalled + 1 : 0;
    }
    grid->scrollToBottom();
    QCoreApplication::processEvents();
    const double scrolled = millis(timer);
    const long added = residentKib() - before;
    const int last = model->rowCount() - 1;
    const QString lastShown = model->index(last, 0).data().toString();
    const bool atEnd = !model->canFetchMore(QModelIndex())
                       && grid->rowAt(grid->viewport()->height() - 1) == last;
    say(QStringLiteral("grid %1 %2 %3 %4 %5 %6 %7")
            .arg(model->rowCount())
            .arg(rawRows)
            .arg(added)
            .arg(rawAdded)
            .arg(scrolled, 0, 'f', 0)
            .arg(atEnd ? 1 : 0)
            .arg(lastShown));
    window->close();
    main.hide();
    return 0;
}

QProcessEnvironment offscreen()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// Starts the probe and returns the milliseconds until its first line, and the line.
std::pair<double, QStringList> timeProbe(const QString& program, const QString& option, const QString& dir)
{
    QProcess process;
    process.setProcessEnvironment(offscreen());
    // The offscreen platform's remarks (no raise(), no window manager) are not figures.
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, {option, dir});
    double elapsed = -1;
    QByteArray line;
    while (process.waitForReadyRead(60000) || process.canReadLine()) {
        if (process.canReadLine()) {
            elapsed = millis(timer);
            line = process.readLine().trimmed();
            break;
        }
    }
    process.waitForFinished(60000);
    if (elapsed < 0 || process.exitCode() != 0)
        throw std::runtime_error(("the probe " + option + " failed").toStdString());
    return {elapsed, QString::fromUtf8(line).split(QLatin1Char(' '))};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The files the program keeps beside it (skins, tips), when DIR has none yet:
// the start-up then does what it does in the program's own directory.
void layOutProgramFiles(const QString& dir)
{
#ifdef SHELFMARK_PROGRAM_DIR
    const QDir program(QStringLiteral(SHELFMARK_PROGRAM_DIR));
    for (const char* name : {"QUICKTIP.INI", "readme.txt", "style/type-style.skn", "style/light-hearted.skn"}) {
        const QString target = QDir(dir).filePath(QString::fromLatin1(name));
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFileInfo::exists(target))
            QFile::copy(program.filePath(QString::fromLatin1(name)), target);
    }
#else
    Q_UNUSED(dir);
#endif
}

// A grid of every book scrolled to the last, in a process of its own: the
// memory it adds, beside the engine alone reading every row.
void gridMemory(SideBySide& bench, const QString& benchProgram, const QString& dir)
{
    for (const auto& [title, option] :
         {std::pair{QStringLiteral("A query grid showing every book, scrolled to the last (target: < 150 MB more)"),
                    kGridProbe},
          std::pair{QStringLiteral("书库管理's book list of every book, scrolled to the last (target: < 150 MB more)"),
                    kShelfGridProbe}}) {
        bench.section(title);
        const QStringList grid = timeProbe(benchProgram, QString::fromLatin1(option), dir).second;
        bench.note(QStringLiteral("  %1 rows in the grid (the engine alone read %2), scrolled to the end in %3 ms,"
                                  " last row %4 %5")
                       .arg(grid.value(1), grid.value(2), grid.value(5), grid.value(7),
                            grid.value(6) == QLatin1String("1") ? QStringLiteral("shown") : QStringLiteral("NOT shown")));
        bench.note(QStringLiteral("  the engine alone reading every row added %1 MB")
                       .arg(grid.value(4).toDouble() / 1024.0, 0, 'f', 1));
        bench.figure(QStringLiteral("memory the grid added"), grid.value(3).toDouble() / 1024.0, 150,
                     QStringLiteral("MB"));
    }
}

}  // namespace

int probe(int argc, char** argv)
{
    if (argc < 3)
        return -1;
    const QByteArray option = argv[1];
    const QString dir = QString::fromLocal8Bit(argv[2]);
    if (option == kStartupProbe)
        return startupProbe(argc, argv, dir);
    if (option == kStartupRawProbe)
        return startupRawProbe(dir);
    if (option == kGridProbe || option == kShelfGridProbe)
        return gridProbe(argc, argv, dir, option == kShelfGridProbe);
    return -1;
}

void run(SideBySide& bench, const QString& benchProgram, const QString& dir, int runs)
{
    layOutProgramFiles(dir);
    bench.section(QStringLiteral("Start-up to a usable main window, from the process's start, sign-in skipped"
                                 " (target: ≤ 300 ms)"));
    std::vector<double> ours, raw, signIn;
    for (int i = 0; i < runs; ++i) {
        const auto [oursMillis, oursLine] = timeProbe(benchProgram, QString::fromLatin1(kStartupProbe), dir);
        ours.push_back(oursMillis);
        signIn.push_back(oursLine.value(1).toDouble());
        raw.push_back(timeProbe(benchProgram, QString::fromLatin1(kStartupRawProbe), dir).first);
    }
    bench.result(QStringLiteral("process start to main window idle"), runs, {{}, 300.0}, median(ours) * 1000,
                 median(raw) * 1000);
    bench.note(QStringLiteral("  of which main() to the sign-in window idle: %1 ms (median)")
                   .arg(median(signIn), 0, 'f', 1));

    gridMemory(bench, benchProgram, dir);
}

void startupOnServer(SideBySide& bench, const QString& benchProgram, const QString& dir, int runs)
{
    layOutProgramFiles(dir);
    bench.section(QStringLiteral("Server start-up to a usable main window, from the process's start, sign-in skipped"
                                 " (target: ≤ 500 ms)"));
    std::vector<double> ours, signIn;
    for (int i = 0; i < runs; ++i) {
        const auto [millis, line] = timeProbe(benchProgram, QString::fromLatin1(kStartupProbe), dir);
        ours.push_back(millis);
        signIn.push_back(line.value(1).toDouble());
    }
    bench.figure(QStringLiteral("process start to main window idle"), median(ours), 500, QStringLiteral("ms"));
    bench.note(QStringLiteral("  of which main() to the sign-in window idle, the server reached: %1 ms (median)")
                   .arg(median(signIn), 0, 'f', 1));
    gridMemory(bench, benchProgram, dir);
}

}  // namespace WindowSection
