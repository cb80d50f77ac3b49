#include "queries/logic/QueryResultModel.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "core/logic/Conversions.h"
#include "core/logic/Database.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "queries/logic/QueryBuilder.h"

namespace {
const QString kAction = QStringLiteral("查询");
const QStringList kDateColumns = {QStringLiteral("登记日期"), QStringLiteral("借书日期"),
                                  QStringLiteral("还书日期")};
const QString kFlagColumn = QStringLiteral("是否借出");
}  // namespace

QueryResultModel::QueryResultModel(QObject* parent) : QSqlQueryModel(parent)
{
}

void QueryResultModel::run(const QueryStatement& statement)
{
    // Not forward-only: the grid scrolls back over rows already read.
    QSqlQuery query(Database::connection());
    if (!query.prepare(statement.text))
        throw StoreError(kAction, query.lastError().text());
    for (const QVariant& value : statement.values)
        query.addBindValue(value);
    if (!query.exec())
        throw StoreError(kAction, query.lastError().text());
    setQuery(std::move(query));
    if (lastError().isValid())
        throw StoreError(kAction, lastError().text());
}

void QueryResultModel::queryChange()
{
    const QSqlRecord columns = record();
    m_kinds.clear();
    for (int i = 0; i < columns.count(); ++i) {
        const QString name = columns.fieldName(i);
        m_kinds << (kDateColumns.contains(name) ? Kind::Date
                    : name == kFlagColumn        ? Kind::Flag
                                                 : Kind::Plain);
    }
}

int QueryResultModel::columnOf(const QString& name) const
{
    return record().indexOf(name);
}

QVariant QueryResultModel::data(const QModelIndex& index, int role) const
{
    const QVariant value = QSqlQueryModel::data(index, role);
    const bool shown = role == Qt::DisplayRole || role == Qt::EditRole;
    if (!shown || value.isNull() || index.column() >= m_kinds.size())
        return value;
    switch (m_kinds[index.column()]) {
    case Kind::Date:
        return Conversions::shortDate(Sql::toDate(value));
    case Kind::Flag:
        return value.toInt() != 0 ? QStringLiteral("是") : QStringLiteral("否");
    case Kind::Plain:
        break;
    }
    return value;
}
