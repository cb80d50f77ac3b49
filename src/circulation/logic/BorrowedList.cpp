#include "circulation/logic/BorrowedList.h"

#include <QSqlError>

#include "circulation/logic/DeskRules.h"
#include "circulation/logic/DeskStatements.h"
#include "core/logic/Conversions.h"
#include "core/logic/Database.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

namespace BorrowedList {

namespace {

const QString kAction = QStringLiteral("读取已借图书");

}  // namespace

QSqlQuery query(const QString& readerNumber)
{
    QSqlQuery query(Database::connection());
    if (!query.prepare(DeskStatements::borrowedList()))
        throw StoreError(kAction, query.lastError());
    query.bindValue(QStringLiteral(":reader"), readerNumber);
    if (!query.exec())
        throw StoreError(kAction, query.lastError());
    return query;
}

Summary summary(const QString& readerNumber)
{
    Summary result;
    result.count = Sql::withKept(DeskStatements::borrowedCount(), {{QStringLiteral("reader"), readerNumber}}, kAction,
                                 [](QSqlQuery& count) { return count.next() ? count.value(0).toInt() : 0; });
    const DeskRules rules = DeskRules::read(kAction);
    if (!rules.quota.isNull())
        result.remaining = Conversions::toInteger16(rules.quota.toDouble() - result.count);
    return result;
}

}  // namespace BorrowedList
