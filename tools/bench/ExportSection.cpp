#include "ExportSection.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "RawStatement.h"
#include "SideBySide.h"
#include "catalogue/logic/BookListModel.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/KeyedStatement.h"
#include "core/logic/OffThreadWork.h"
#include "export/logic/StatementRows.h"
#include "export/logic/TableExport.h"

namespace ExportSection {

namespace {

const char* const kProbe = "--export-probe";

// The process's peak resident memory so far, in KiB.
long peakResidentKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

// argv: --export-probe DIR csv|xlsx FILE. Prints "milliseconds rows peak-KiB".
int exportProbe(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return 2;
    QString error;
    if (!Database::open(QDir(args[2]).filePath(AppInfo::kDatabaseFile), &error))
        return 1;
    ExportTarget target;
    target.path = args[4];
    target.format = args[3] == QLatin1String("xlsx") ? ExportFormat::Xlsx : ExportFormat::Csv;
    target.sheetName = QStringLiteral("书库管理");
    qint64 rows = 0;
    QElapsedTimer timer;
    timer.start();
    OffThreadWork work;
    work.run(QStringLiteral("bench"), [&](const OffThreadWork::Report&) {
        StatementRows source(BookListModel::statement(), {}, QStringLiteral("导出"));
        TableExport::write(source, target, [&](qint64 done) { rows = done; });
    });
    const double millis = timer.nsecsElapsed() / 1e6;
    Database::close();
    QTextStream(stdout) << millis << ' ' << rows << ' ' << peakResidentKib() << '\n';
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int probe(int argc, char** argv)
{
    return argc >= 2 && qstrcmp(argv[1], kProbe) == 0 ? exportProbe(argc, argv) : -1;
}

void run(SideBySide& bench, const QString& benchProgram, const QString& dir, int runs)
{
    bench.section(QStringLiteral("export"));
    // Read alone: the book list's statement through the engine, every cell as text.
    {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(QDir(dir).filePath(AppInfo::kDatabaseFile).toUtf8().constData(), &raw, SQLITE_OPEN_READONLY,
                        nullptr);
        const QByteArray text = BookListModel::statement().text.toUtf8();
        std::vector<double> reads;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            RawStatement query(raw, text.constData());
            while (query.step())
                for (int c = 0; c < query.columns(); ++c)
                    query.textAt(c);
            reads.push_back(timer.nsecsElapsed() / 1e6);
        }
        sqlite3_close(raw);
        bench.note(QStringLiteral("  the book list read through SQLite alone, every cell as text: %1 ms")
                       .arg(median(reads), 0, 'f', 0));
    }
    QTemporaryDir scratch(QDir(dir).filePath(QStringLiteral("export-XXXXXX")));
    for (const char* format : {"csv", "xlsx"}) {
        const QString file = scratch.filePath(QStringLiteral("books.") + QLatin1String(format));
        std::vector<double> millis;
        std::vector<double> peaks;
        QString rows;
        qint64 bytes = 0;
        for (int i = 0; i < runs; ++i) {
            QProcess process;
            process.setStandardErrorFile(QProcess::nullDevice());
            process.start(benchProgram, {QString::fromLatin1(kProbe), dir, QLatin1String(format), file});
            process.waitForFinished(-1);
            const QStringList figures = QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(' ');
            if (process.exitCode() != 0 || figures.size() != 3) {
                bench.note(QStringLiteral("  export to %1: the probe failed").arg(QLatin1String(format)));
                return;
            }
            millis.push_back(figures[0].toDouble());
            rows = figures[1];
            peaks.push_back(figures[2].toDouble() / 1024.0);
            bytes = QFile(file).size();
            QFile::remove(file);
        }
        const QString what = QStringLiteral("export of the book list to %1 (%2 rows, %3 MB)")
                                 .arg(QString::fromLatin1(format).toUpper(), rows)
                                 .arg(bytes / 1e6, 0, 'f', 0);
        bench.figure(what, median(millis), qstrcmp(format, "csv") == 0 ? 5000.0 : 20000.0, QStringLiteral("ms"));
        bench.figure(QStringLiteral("  its peak resident memory (the whole process)"), median(peaks), 200.0,
                     QStringLiteral("MB"));
    }
}

}  // namespace ExportSection
