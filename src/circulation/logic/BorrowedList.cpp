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

void run(QSqlQuery& query, const QString& readerNumber)
{
    // Prepared again only when the connection was opened anew.
    if (query.lastQuery().isEmpty() || query.driver() != Database::connection().driver()) {
        query = QSqlQuery(Database::connection());
        if (!query.prepare(DeskStatements::borrowedList()))
            throw StoreError(kAction, query.lastError());
    }
    query.bindValue(QStringLiteral(":reader"), readerNumber);
    if (!query.exec())
        throw StoreError(kAction, query.lastError());
}

Summary summary(const QString& readerNumber)
{
    return summaryOf(Sql::withKept(DeskStatements::borrowedCount(), {{QStringLiteral("reader"), readerNumber}},
                                   kAction, [](QSqlQuery& count) { return count.next() ? count.value(0).toInt() : 0; }));
}

Summary summaryOf(int listed)
{
    Summary result;
    result.count = listed;
    const DeskRules rules = DeskRules::read(kAction);
    if (!rules.quota.isNull())
        result.remaining = Conversions::toInteger16(rules.quota.toDouble() - result.count);
    return result;
}

}  // namespace BorrowedList
