#include "ReportsSection.h"

#include <sqlite3.h>

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "RawStatement.h"
#include "SideBySide.h"
#include "reports/logic/OverdueList.h"

namespace ReportsSection {

void run(SideBySide& bench, sqlite3* raw, int runs, const QString& dbTool, const QString& dir)
{
    bench.section(QStringLiteral("reports"));
    const QDate today = QDate::currentDate();
    int overdue = 0;
    int readers = 0;
    bench.compare(
        QStringLiteral("overdue list: rows, sort and totals"), runs, {{}, 1000.0},
        [&](int) {
            const QList<OverdueLoan> loans = OverdueList::read(today);
            overdue = int(loans.size());
            readers = OverdueList::totals(loans).readers;
        },
        [&](int) {
            RawStatement query(raw, OverdueList::statement().toUtf8().constData());
            while (query.step())
                for (int c = 0; c < query.columns(); ++c)
                    query.textAt(c);
        });
    bench.note(QStringLiteral("  %1 loans listed, %2 readers overdue").arg(overdue).arg(readers));
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

}  // namespace ReportsSection
