#include "ReportsSection.h"

#include <sqlite3.h>

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <vector>

#include "RawStatement.h"
#include "SideBySide.h"
#include "core/logic/OffThreadWork.h"
#include "reports/logic/OverdueList.h"
#include "reports/logic/OverdueModel.h"

namespace ReportsSection {

namespace {

// As the window does it: on a thread of its own, over a connection of its
// own, the first readers' loans read and handed to the grid's model (which
// writes out only the cells painted, here a screenful), then the whole list.
void windowFigures(SideBySide& bench, int runs, const QDate& today)
{
    std::vector<double> first;
    std::vector<double> whole;
    std::vector<double> cpu;  // of every thread: what a busy machine cannot stretch
    for (int i = 0; i < runs; ++i) {
        const std::clock_t started = std::clock();
        QElapsedTimer timer;
        timer.start();
        QList<OverdueLoan> firstLoans;
        QList<OverdueLoan> loans;
        OverdueModel model;
        OffThreadWork work;
        QObject::connect(&work, &OffThreadWork::progressed, [&] {
            model.setLoans(firstLoans);
            for (int row = 0; row < std::min(40, model.rowCount()); ++row)
                for (int column = 0; column < model.columnCount(); ++column)
                    model.data(model.index(row, column));
            first.push_back(timer.nsecsElapsed() / 1e6);
        });
        work.run(QStringLiteral("bench"), [&](const OffThreadWork::Report& report) {
            firstLoans = OverdueList::readFirst(today, 100);
            report(1);
            loans = OverdueList::read(today);
        });
        model.setLoans(loans);
        OverdueList::totals(model.loans());
        whole.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(double(std::clock() - started) * 1000.0 / CLOCKS_PER_SEC);
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    bench.figure(QStringLiteral("overdue window: first rows in the grid (read off the windows' thread)"),
                 median(first), 200.0, QStringLiteral("ms"));
    bench.figure(QStringLiteral("overdue window: whole list in the grid with its totals (CPU %1 ms)")
                     .arg(median(cpu), 0, 'f', 0),
                 median(whole), 1000.0, QStringLiteral("ms"));
}

}  // namespace

void run(SideBySide& bench, sqlite3* raw, int runs, const QString& dbTool, const QString& dir)
{
    bench.section(QStringLiteral("reports"));
    const QDate today = QDate::currentDate();
    int overdue = 0;
    int readers = 0;
    const QByteArray statement = OverdueList::statement(today).toUtf8();
    bench.compare(
        QStringLiteral("overdue list: rows, sort and totals"), runs, {{}, 1000.0},
        [&](int) {
            const QList<OverdueLoan> loans = OverdueList::read(today);
            overdue = int(loans.size());
            readers = OverdueList::totals(loans).readers;
        },
        [&](int) {
            RawStatement query(raw, statement.constData());
            while (query.step())
                for (int c = 0; c < query.columns(); ++c)
                    query.textAt(c);
        });
    bench.note(QStringLiteral("  %1 loans listed, %2 readers overdue").arg(overdue).arg(readers));
    windowFigures(bench, runs, today);
    // The letters of every overdue reader, drawn by shelfmark-db as the window draws them.
    QTemporaryDir scratch;
    QElapsedTimer timer;
    timer.start();
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(dbTool, {QStringLiteral("overdue"), dir, QStringLiteral("--pdf"), scratch.filePath(QStringLiteral("letters.pdf"))});
    const int code = tool.waitForFinished(-1) ? tool.exitCode() : -1;
    const double seconds = timer.elapsed() / 1000.0;
    if (code != 0 || readers == 0 || !QFileInfo::exists(scratch.filePath(QStringLiteral("letters.pdf")))) {
        bench.note(QStringLiteral("  letters: shelfmark-db overdue gave no PDF (exit %1)").arg(code));
        return;
    }
    bench.figure(QStringLiteral("letters as PDF, per 1,000 readers (%1 letters in %2 s, list included)")
                     .arg(readers)
                     .arg(seconds, 0, 'f', 2),
                 seconds * 1000.0 / readers, 10.0, QStringLiteral("s"));
}

void runOnServer(SideBySide& bench, int runs)
{
    bench.section(QStringLiteral("reports"));
    const QDate today = QDate::currentDate();
    QElapsedTimer timer;
    timer.start();
    const QList<OverdueLoan> loans = OverdueList::read(today);
    bench.note(QStringLiteral("  overdue list read once in %1 ms: %2 loans listed, %3 readers overdue")
                   .arg(timer.elapsed())
                   .arg(loans.size())
                   .arg(OverdueList::totals(loans).readers));
    windowFigures(bench, runs, today);
}

}  // namespace ReportsSection
