#include "core/logic/GridCells.h"

#include <QStringList>

#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"

namespace GridCells {

Kind kindOf(const QString& column)
{
    static const QStringList dateColumns = {QStringLiteral("登记日期"), QStringLiteral("借书日期"),
                                            QStringLiteral("还书日期")};
    if (dateColumns.contains(column))
        return Kind::Date;
    if (column == QStringLiteral("是否借出"))
        return Kind::Flag;
    return Kind::Plain;
}

QVariant shown(Kind kind, const QVariant& value)
{
    if (value.isNull())
        return value;
    switch (kind) {
    case Kind::Date:
        return Conversions::shortDate(Sql::toDate(value));
    case Kind::Flag:
        return value.toInt() != 0 ? QStringLiteral("是") : QStringLiteral("否");
    case Kind::Plain:
        break;
    }
    return value;
}

QString text(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

}  // namespace GridCells
