#include "reports/logic/OverdueCsv.h"

#include "export/logic/ExportError.h"
#include "export/logic/TableExport.h"

namespace OverdueCsv {

CellKind kindOf(const QString& heading)
{
    if (heading == QLatin1String("借书日期") || heading == QLatin1String("应还日期"))
        return CellKind::Date;
    if (heading == QLatin1String("超出天数") || heading == QLatin1String("应付罚款")
        || heading == QLatin1String("催还次数"))
        return CellKind::Number;
    return CellKind::Text;
}

bool write(const QString& path, const QList<OverdueLoan>& loans, QString* error)
{
    ExportColumns columns;
    for (const QString& heading : OverdueList::headings())
        columns << ExportColumn{heading, kindOf(heading)};
    QList<QStringList> rows;
    rows.reserve(loans.size());
    for (const OverdueLoan& loan : loans)
        rows << OverdueList::cells(loan);
    try {
        ExportTarget target;
        target.path = path;
        TableExport::write(target, columns, rows);
        return true;
    } catch (const ExportError& e) {
        *error = e.message();
        return false;
    }
}

}  // namespace OverdueCsv
