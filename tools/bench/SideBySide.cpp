#include "SideBySide.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timedMicros(const std::function<void(int)>& op, int i)
{
    QElapsedTimer timer;
    timer.start();
    op(i);
    return timer.nsecsElapsed() / 1000.0;
}

QString micros(double value)
{
    return value >= 10000 ? QStringLiteral("%1 ms").arg(value / 1000.0, 8, 'f', 1)
                          : QStringLiteral("%1 µs").arg(value, 8, 'f', 1);
}

}  // namespace

void SideBySide::compare(const QString& name, int runs, const Target& target,
                         const std::function<void(int)>& ours, const std::function<void(int)>& raw)
{
    std::vector<double> oursMicros, rawMicros;
    for (int i = 0; i < runs; ++i) {
        // Alternate which side goes first, so neither always finds the cache warmed by the other.
        if (i % 2 == 0) {
            oursMicros.push_back(timedMicros(ours, i));
            rawMicros.push_back(timedMicros(raw, i));
        } else {
            rawMicros.push_back(timedMicros(raw, i));
            oursMicros.push_back(timedMicros(ours, i));
        }
    }
    result(name, runs, target, median(oursMicros), median(rawMicros));
}

void SideBySide::result(const QString& name, int runs, const Target& target, double oursMedian, double rawMedian)
{
    const double ratio = oursMedian / std::max(rawMedian, 0.001);
    QStringList limits;
    bool met = true;
    if (target.ratio) {
        limits.append(QStringLiteral("ratio ≤ %1").arg(*target.ratio));
        met = met && ratio <= *target.ratio;
    }
    if (target.millis) {
        limits.append(QStringLiteral("ours ≤ %1 ms").arg(*target.millis));
        met = met && oursMedian <= *target.millis * 1000.0;
    }
    out() << QStringLiteral("  %1 %2 runs  ours %3  raw %4  ratio %5  %6  ")
                 .arg(name, -44)
                 .arg(runs, 5)
                 .arg(micros(oursMedian), micros(rawMedian))
                 .arg(ratio, 6, 'f', 2)
                 .arg(limits.join(QStringLiteral(", ")), -28);
    verdict(met);
}

void SideBySide::figure(const QString& name, double value, double limit, const QString& unit)
{
    out() << QStringLiteral("  %1 %2 %3 (limit %4 %3)  ").arg(name, -44).arg(value, 10, 'f', 1).arg(unit).arg(limit);
    verdict(value <= limit);
}

void SideBySide::section(const QString& title)
{
    out() << '\n' << title << '\n';
    out().flush();
}

void SideBySide::note(const QString& text)
{
    out() << text << '\n';
    out().flush();
}

void SideBySide::verdict(bool met)
{
    ++m_measured;
    if (!met)
        ++m_unmet;
    out() << (met ? "met" : "NOT MET") << '\n';
    out().flush();
}
