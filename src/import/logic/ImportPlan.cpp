#include "import/logic/ImportPlan.h"

#include "catalogue/logic/Categories.h"
#include "core/logic/Conversions.h"
#include "readers/logic/ReaderRegistry.h"

namespace {

const QString kBookNumber = QStringLiteral("书籍编号");
const QString kReaderNumber = QStringLiteral("读者编号");

// A heading as a field's name: blanks and a closing colon set aside.
QString headingName(QString heading)
{
    heading = heading.trimmed();
    if (heading.endsWith(QLatin1Char(':')) || heading.endsWith(QChar(0xFF1A)))
        heading.chop(1);
    return heading.trimmed();
}

QString tooLong(const QString& field, const QString& text, int limit)
{
    if (limit <= 0 || text.size() <= limit)
        return QString();
    return QStringLiteral("%1超过 %2 个字").arg(field).arg(limit);
}

}  // namespace

ImportPlan::ImportPlan(ImportKind::Kind kind, const Csv::Table& table, const QDate& today)
    : m_kind(kind), m_encoding(table.encoding), m_today(today)
{
    if (!table.records.isEmpty())
        m_headings = table.records.first();
    const QStringList fields = ImportKind::fields(kind);
    for (const QString& heading : std::as_const(m_headings)) {
        const QString name = headingName(heading);
        m_mapping << (fields.contains(name) && !m_mapping.contains(name) ? name : QString());
    }
    for (qsizetype i = 1; i < table.records.size(); ++i)
        m_rows.append({int(i) + 1, table.records[i], {}});
}

void ImportPlan::mapColumn(int column, const QString& field)
{
    if (column < 0 || column >= m_mapping.size())
        return;
    if (!field.isEmpty())
        for (QString& other : m_mapping)
            if (other == field)
                other.clear();
    m_mapping[column] = field;
}

QString ImportPlan::cell(const ImportRow& row, const QString& field) const
{
    const qsizetype column = m_mapping.indexOf(field);
    return column >= 0 && column < row.cells.size() ? row.cells[column] : QString();
}

void ImportPlan::check()
{
    m_categoryCodes.clear();
    if (m_kind == ImportKind::Kind::Books)
        for (const Categories::Category& category : Categories::all())
            m_categoryCodes.insert(Conversions::foldedAZ(category.code), Categories::CategoryCodeOf(Categories::itemOf(category)));
    for (ImportRow& row : m_rows)
        row.problems = m_kind == ImportKind::Kind::Books ? bookProblems(row) : readerProblems(row);
    markRepeatedNumbers();
}

QStringList ImportPlan::bookProblems(const ImportRow& row) const
{
    QStringList problems;
    const QString number = cell(row, kBookNumber);
    if (number.isEmpty())
        problems << QStringLiteral("缺少书籍编号");
    else if (Books::categoryCodeOf(number))
        problems << QStringLiteral("书籍编号已在库中");
    if (cell(row, QStringLiteral("书籍名称")).isEmpty())
        problems << QStringLiteral("缺少书籍名称");
    const QString code = cell(row, QStringLiteral("类别代码"));
    if (code.isEmpty())
        problems << QStringLiteral("缺少类别代码");
    else if (!m_categoryCodes.contains(Conversions::foldedAZ(code)))
        problems << QStringLiteral("类别代码 %1 不存在").arg(code);
    if (cell(row, QStringLiteral("书籍价格")).isEmpty())
        problems << QStringLiteral("缺少书籍价格");
    const QString date = cell(row, QStringLiteral("登记日期"));
    if (!date.isEmpty() && !Conversions::parseShortDate(date))
        problems << QStringLiteral("登记日期 %1 不是有效日期").arg(date);
    return problems;
}

QStringList ImportPlan::readerProblems(const ImportRow& row) const
{
    QStringList problems;
    const Reader reader = readerOf(row);
    if (reader.number.isEmpty())
        problems << QStringLiteral("缺少读者编号");
    else if (ReaderRegistry::FindReader(reader.number))
        problems << QStringLiteral("读者编号已在库中");
    const QString limits[] = {
        tooLong(QStringLiteral("读者编号"), reader.number, Reader::kNumberLength),
        tooLong(QStringLiteral("读者姓名"), reader.name, Reader::kNameLength),
        tooLong(QStringLiteral("读者性别"), reader.sex, Reader::kSexLength),
        tooLong(QStringLiteral("联系电话"), reader.telephone, Reader::kTelephoneLength),
        tooLong(QStringLiteral("所在部门"), reader.department, Reader::kDepartmentLength),
    };
    for (const QString& problem : limits)
        if (!problem.isEmpty())
            problems << problem;
    return problems;
}

// A number the file holds more than once is skipped every time: which of
// the rows is the book the clerk meant is theirs to say.
void ImportPlan::markRepeatedNumbers()
{
    const QString field = ImportKind::fields(m_kind).first();
    QHash<QString, QList<int>> places;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QString number = cell(m_rows[i], field);
        if (!number.isEmpty())
            places[Conversions::foldedAZ(number)].append(i);
    }
    for (const QList<int>& rows : std::as_const(places)) {
        if (rows.size() < 2)
            continue;
        QStringList lines;
        for (int i : rows)
            lines << QString::number(m_rows[i].line);
        for (int i : rows)
            m_rows[i].problems << QStringLiteral("%1在文件中重复 (第 %2 行)").arg(field, lines.join(QStringLiteral("、")));
    }
}

int ImportPlan::goodCount() const
{
    return int(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const ImportRow& row) { return row.good(); }));
}

void ImportPlan::addProblem(int row, const QString& problem)
{
    m_rows[row].problems << problem;
}

Books::BookDetails ImportPlan::bookOf(const ImportRow& row) const
{
    const QString date = cell(row, QStringLiteral("登记日期"));
    const QString code = cell(row, QStringLiteral("类别代码"));
    return Books::withDefaults({cell(row, kBookNumber), cell(row, QStringLiteral("书籍名称")),
                                m_categoryCodes.value(Conversions::foldedAZ(code), code), cell(row, QStringLiteral("出版社")),
                                cell(row, QStringLiteral("作者姓名")), cell(row, QStringLiteral("书籍价格")),
                                cell(row, QStringLiteral("书籍页码")),
                                date.isEmpty() ? m_today : Conversions::parseShortDate(date).value_or(QDate())});
}

Reader ImportPlan::readerOf(const ImportRow& row) const
{
    return {cell(row, kReaderNumber), cell(row, QStringLiteral("读者姓名")), cell(row, QStringLiteral("读者性别")),
            cell(row, QStringLiteral("联系电话")), cell(row, QStringLiteral("所在部门"))};
}

QList<QStringList> ImportPlan::skippedRecords() const
{
    QList<QStringList> records{m_headings + QStringList{QStringLiteral("问题")}};
    for (const ImportRow& row : m_rows) {
        if (row.good())
            continue;
        QStringList cells = row.cells.mid(0, m_headings.size());
        while (cells.size() < m_headings.size())
            cells << QString();
        records << cells + QStringList{row.problems.join(QStringLiteral("; "))};
    }
    return records;
}

QString ImportPlan::verdict(const ImportRow& row)
{
    return row.good() ? QStringLiteral("导入") : QStringLiteral("跳过");
}
