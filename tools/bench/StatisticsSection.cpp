#include "StatisticsSection.h"

#include <sqlite3.h>

#include <QDate>
#include <QElapsedTimer>
#include <ctime>

#include "RawStatement.h"
#include "SideBySide.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/OffThreadWork.h"
#include "core/logic/Sql.h"
#include "statistics/logic/StatisticsTables.h"
#include "statistics/logic/YearStatistics.h"

namespace StatisticsSection {

namespace {

// The year most loans were lent in (or last renewed in).
int busiestYear()
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT substr(借书日期, 1, 4) AS y, count(*) AS n FROM lentInfo"
                                              " GROUP BY y ORDER BY n DESC LIMIT 1"),
                               {}, QStringLiteral("bench"));
    return query.next() ? query.value(0).toInt() : QDate::currentDate().year();
}

}  // namespace

void run(SideBySide& bench, sqlite3* raw, int runs)
{
    bench.section(QStringLiteral("statistics"));
    // A library made before the statistics gets their index as shelfmark-db upgrade adds it.
    QElapsedTimer upgrade;
    upgrade.start();
    LibrarySchema::upgrade();
    bench.note(QStringLiteral("  upgrade (the lend-date index made where missing) took %1 s")
                   .arg(upgrade.elapsed() / 1000.0, 0, 'f', 1));
    const int year = busiestYear();
    const QByteArray from = QDate(year, 1, 1).toString(Qt::ISODate).toUtf8();
    const QByteArray to = QDate(year + 1, 1, 1).toString(Qt::ISODate).toUtf8();
    QList<QByteArray> statements;
    for (const QString& statement : YearStatisticsReader::statements())
        statements << statement.toUtf8();
    YearStatistics stats;
    double cpu = 0;
    bench.compare(
        QStringLiteral("statistics of %1, as the window reads them").arg(year), runs, {{}, 2000.0},
        [&](int) {
            const std::clock_t start = std::clock();
            OffThreadWork work;
            work.run(QStringLiteral("bench"), [&](const OffThreadWork::Report&) {
                stats = YearStatisticsReader::read(year);
            });
            StatisticsTables::all(stats);
            cpu = std::max(cpu, double(std::clock() - start) / CLOCKS_PER_SEC);
        },
        [&](int) {
            for (const QByteArray& statement : statements) {
                RawStatement query(raw, statement.constData());
                query.text(query.at(":from"), from).text(query.at(":to"), to);
                while (query.step())
                    for (int c = 0; c < query.columns(); ++c)
                        query.textAt(c);
            }
        });
    bench.note(QStringLiteral("  %1 loans in %2, %3 returned (%4 late); the processor's time at most %5 s a run")
                   .arg(stats.loans())
                   .arg(year)
                   .arg(stats.returned)
                   .arg(stats.returnedLate)
                   .arg(cpu, 0, 'f', 2));
}

}  // namespace StatisticsSection
