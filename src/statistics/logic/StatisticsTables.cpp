#include "statistics/logic/StatisticsTables.h"

#include <functional>
#include <algorithm>

#include <QDir>

#include "core/logic/Conversions.h"
#include "export/logic/ExportError.h"
#include "export/logic/TableExport.h"

namespace StatisticsTables {

namespace {

using Tally = YearStatistics::Tally;

QString count(qint64 value)
{
    return QString::number(value);
}

StatisticsTable months(const YearStatistics& stats)
{
    StatisticsTable table{QStringLiteral("months"), QStringLiteral("每月借阅"),
                          {QStringLiteral("月份"), QStringLiteral("借阅次数")}, {}};
    for (int month = 1; month <= 12; ++month)
        table.rows << QStringList{monthLabel(month), count(stats.months[month - 1])};
    table.rows << QStringList{QStringLiteral("合计"), count(stats.loans())};
    return table;
}

// Ranks as sport counts them: equal loans share a rank, the next rank skips.
QList<int> ranks(const QList<Tally>& ranked)
{
    QList<int> result;
    for (int i = 0; i < ranked.size(); ++i)
        result << (i > 0 && ranked[i].loans == ranked[i - 1].loans ? result.last() : i + 1);
    return result;
}

StatisticsTable titles(const YearStatistics& stats)
{
    StatisticsTable table{QStringLiteral("titles"), QStringLiteral("借阅最多的图书"),
                          {QStringLiteral("名次"), QStringLiteral("书籍名称"), QStringLiteral("借阅次数")}, {}};
    const QList<int> rank = ranks(stats.titles);
    for (int i = 0; i < stats.titles.size(); ++i)
        table.rows << QStringList{count(rank[i]), stats.titles[i].key, count(stats.titles[i].loans)};
    return table;
}

StatisticsTable readers(const YearStatistics& stats)
{
    StatisticsTable table{QStringLiteral("readers"), QStringLiteral("最活跃的读者"),
                          {QStringLiteral("名次"), QStringLiteral("读者编号"), QStringLiteral("读者姓名"),
                           QStringLiteral("借阅次数")},
                          {}};
    const QList<int> rank = ranks(stats.readers);
    for (int i = 0; i < stats.readers.size(); ++i) {
        const Tally& reader = stats.readers[i];
        table.rows << QStringList{count(rank[i]), reader.key, reader.name, count(reader.loans)};
    }
    return table;
}

// A breakdown with each part's share of the year's loans.
StatisticsTable breakdown(const QString& name, const QString& title, const QString& heading,
                          const QList<Tally>& parts, qint64 whole, const std::function<QString(const Tally&)>& label)
{
    StatisticsTable table{name, title, {heading, QStringLiteral("借阅次数"), QStringLiteral("占比")}, {}};
    for (const Tally& part : parts)
        table.rows << QStringList{label(part), count(part.loans), share(part.loans, whole)};
    return table;
}

StatisticsTable returns(const YearStatistics& stats)
{
    return {QStringLiteral("returns"),
            QStringLiteral("当年归还"),
            {QStringLiteral("项目"), QStringLiteral("数值")},
            {{QStringLiteral("归还册次"), count(stats.returned)},
             {QStringLiteral("超期归还"), count(stats.returnedLate)},
             {QStringLiteral("超期比例"), share(stats.returnedLate, stats.returned)},
             {QStringLiteral("罚款合计(元)"), Conversions::numberText(stats.fines)}}};
}

// Columns a text takes on a terminal: wide (East Asian) characters two.
int widthOf(const QString& text)
{
    int width = 0;
    for (const uint c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3)
                          || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
                          || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

QString lined(const StatisticsTable& table)
{
    QList<QStringList> lines = table.rows;
    lines.prepend(table.headings);
    QList<int> widths(table.headings.size(), 0);
    for (const QStringList& line : lines)
        for (int column = 0; column < line.size() && column < widths.size(); ++column)
            widths[column] = std::max(widths[column], widthOf(line[column]));
    QString text = table.title + QLatin1Char('\n');
    for (const QStringList& line : lines) {
        QString out;
        for (int column = 0; column < line.size(); ++column) {
            out += line[column];
            if (column + 1 < line.size())
                out += QString(widths[column] - widthOf(line[column]) + 2, QLatin1Char(' '));
        }
        text += out + QLatin1Char('\n');
    }
    return text;
}

}  // namespace

QString unknownCategory()
{
    return QStringLiteral("类别不详");
}

QString unknownDepartment()
{
    return QStringLiteral("部门不详");
}

QString monthLabel(int month)
{
    return QStringLiteral("%1月").arg(month);
}

QString share(qint64 part, qint64 whole)
{
    if (whole <= 0)
        return QStringLiteral("—");
    return QString::number(100.0 * double(part) / double(whole), 'f', 1) + QLatin1Char('%');
}

QList<StatisticsTable> all(const YearStatistics& stats)
{
    const qint64 loans = stats.loans();
    return {months(stats),
            titles(stats),
            readers(stats),
            breakdown(QStringLiteral("categories"), QStringLiteral("按图书类别"), QStringLiteral("书籍类别"),
                      stats.categories, loans,
                      [](const Tally& t) { return t.key.isEmpty() ? unknownCategory() : t.key + '-' + t.name; }),
            breakdown(QStringLiteral("departments"), QStringLiteral("按部门"), QStringLiteral("所在部门"),
                      stats.departments, loans,
                      [](const Tally& t) { return t.key.isEmpty() ? unknownDepartment() : t.key; }),
            returns(stats)};
}

CellKind kindOf(const QString& heading)
{
    return heading == QLatin1String("名次") || heading == QLatin1String("借阅次数") || heading == QLatin1String("数值")
               ? CellKind::Number
               : CellKind::Text;
}

ExportColumns exportColumns(const StatisticsTable& table)
{
    ExportColumns columns;
    for (const QString& heading : table.headings)
        columns << ExportColumn{heading, kindOf(heading)};
    return columns;
}

QString csvFileName(const StatisticsTable& table, int year)
{
    return QStringLiteral("%1-%2.csv").arg(table.name).arg(year);
}

void writeCsv(const QString& folder, const QList<StatisticsTable>& tables, int year)
{
    if (!QDir().mkpath(folder))
        throw ExportError(QStringLiteral("无法建立文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    for (const StatisticsTable& table : tables) {
        ExportTarget target;
        target.path = QDir(folder).filePath(csvFileName(table, year));
        TableExport::write(target, exportColumns(table), table.rows);
    }
}

QString asText(const QList<StatisticsTable>& tables)
{
    QStringList parts;
    for (const StatisticsTable& table : tables)
        parts << lined(table);
    return parts.join(QLatin1Char('\n'));
}

}  // namespace StatisticsTables
