#include "core/logic/KeyedStatement.h"

QString KeyedText(const KeyedStatement& statement)
{
    static const QString select = QStringLiteral("select ");
    return select + statement.key + QLatin1Char(',') + statement.text.mid(select.size());
}
