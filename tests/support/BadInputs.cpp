#include "BadInputs.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include "core/logic/Database.h"

const QList<BadInput>& badInputs()
{
    static const QList<BadInput> inputs = {
        {"empty", QString()},
        {"blanks only", QStringLiteral("   ")},
        {"a single quote", QStringLiteral("'")},
        {"a quoted statement", QStringLiteral("1' OR '1'='1")},
        {"percent", QStringLiteral("%")},
        {"underscore", QStringLiteral("_")},
        {"10,000 characters", QString(10000, QChar(0x4E66))},
        {"control characters", QStringLiteral("a\tb\x01" "c\x1b" "d\x7f")},
        {"line breaks", QStringLiteral("上\r\n下\n")},
        {"outside the basic plane", QStringLiteral("\U00020000\U0001D11E\U0001F600")},
        {"above 16 bits", QStringLiteral("32768")},
        {"below 16 bits", QStringLiteral("-32769")},
        {"a huge number", QStringLiteral("99999999999999999999999")},
        {"no such day", QStringLiteral("2026/2/30")},
        {"no such month", QStringLiteral("2026-13-01")},
        {"letters for a number", QStringLiteral("abc")},
        {"a number with letters", QStringLiteral("12abc")},
        {"not a number", QStringLiteral("NaN")},
    };
    return inputs;
}

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
