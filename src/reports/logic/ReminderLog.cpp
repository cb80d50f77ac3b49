#include "reports/logic/ReminderLog.h"

#include "core/logic/Database.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace ReminderLog {

bool present()
{
    return Database::connection().tables().contains(QStringLiteral("overdueReminders"), Qt::CaseInsensitive);
}

QString missingTableMessage()
{
    return QStringLiteral("该图书库还没有催还记录表,请先运行: shelfmark-db upgrade 程序目录");
}

void record(const QList<qint64>& loanIds, const QDate& day)
{
    const QString action = QStringLiteral("记录催还");
    Transaction transaction(action);
    QSqlQuery insert = Sql::prepare(
        QStringLiteral("INSERT INTO overdueReminders (借阅行号, 催还日期) VALUES (?, ?)"), action);
    for (qint64 loanId : loanIds) {
        insert.bindValue(0, loanId);
        insert.bindValue(1, Sql::dateValue(day));
        Sql::exec(insert, action);
    }
    transaction.commit();
}

}  // namespace ReminderLog
