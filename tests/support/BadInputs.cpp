#include "BadInputs.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include "core/logic/Database.h"

QString storeDump(bool withSearchIndex)
{
    QStringList rows;
    QSqlQuery tables(Database::connection());
    tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    QStringList names;
    while (tables.next())
        if (withSearchIndex || !tables.value(0).toString().startsWith(QLatin1String("bookSearch")))
            names << tables.value(0).toString();
    for (const QString& table : names) {
        QSqlQuery query(Database::connection());
        query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
        while (query.next()) {
            QStringList fields;
            for (int i = 0; i < query.record().count(); ++i)
                fields << (query.isNull(i) ? QStringLiteral("<null>") : query.value(i).toString());
            rows << table + QLatin1Char(':') + fields.join(QLatin1Char('|'));
        }
    }
    return rows.join(QLatin1Char('\n'));
}
