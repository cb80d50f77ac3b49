#include "export/logic/StatementRows.h"

#include <QSqlError>
#include <QSqlRecord>
#include <limits>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

CellKind StatementRows::kindOf(const QString& column)
{
    static const QStringList numbers = {QStringLiteral("借出天数"), QStringLiteral("超出天数"),
                                        QStringLiteral("罚款金额"), QStringLiteral("借出册数"),
                                        QStringLiteral("罚款")};
    if (GridCells::kindOf(column) == GridCells::Kind::Date)
        return CellKind::Date;
    return numbers.contains(column) ? CellKind::Number : CellKind::Text;
}

StatementRows::StatementRows(const KeyedStatement& statement, const QStringList& shown, const QString& action,
                             int pageRows)
    : m_action(action),
      m_values(statement.values),
      m_lastKey(std::numeric_limits<qint64>::min()),
      m_pageSize(pageRows)
{
    const Dialect& dialect = Database::dialect();
    const QString text = KeyedText(statement);
    if (dialect.streamsRows()) {
        m_query.emplace(Sql::prepare(text, m_action));
        for (const QVariant& value : m_values)
            m_query->addBindValue(value);
        Sql::exec(*m_query, m_action);
    } else {
        m_page = dialect.pageOf(text, statement.key, m_pageSize);
        runPage();
    }
    const QSqlRecord record = m_query->record();
    QStringList available;
    for (int i = 1; i < record.count(); ++i)  // the key is not shown
        available << record.fieldName(i);
    for (const QString& name : shown.isEmpty() ? available : shown) {
        const int source = int(available.indexOf(name));
        if (source < 0)
            continue;
        m_columns << ExportColumn{name, kindOf(name)};
        m_sources << source + 1;
        m_kinds << GridCells::kindOf(name);
    }
}

void StatementRows::runPage()
{
    m_query.emplace(Sql::prepare(m_page.text, m_action));
    for (const QVariant& value : m_page.bound(m_values, m_lastKey))
        m_query->addBindValue(value);
    Sql::exec(*m_query, m_action);
    m_pageRows = 0;
}

bool StatementRows::next(QStringList* cells)
{
    if (!m_query->next()) {
        const QSqlError error = m_query->lastError();
        if (error.isValid())
            throw StoreError(m_action, error);
        if (m_page.isEmpty() || m_pageRows < m_pageSize)
            return false;
        runPage();  // the page was full: the rows after its last key
        if (!m_query->next()) {
            if (m_query->lastError().isValid())
                throw StoreError(m_action, m_query->lastError());
            return false;
        }
    }
    ++m_pageRows;
    m_lastKey = m_query->value(0).toLongLong();
    cells->clear();
    for (int i = 0; i < m_sources.size(); ++i)
        cells->append(GridCells::text(GridCells::shown(m_kinds.at(i), m_query->value(m_sources.at(i)))));
    return true;
}
