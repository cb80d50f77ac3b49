#include "reports/logic/OverdueCsv.h"

#include "core/logic/Csv.h"

namespace OverdueCsv {

bool write(const QString& path, const QList<OverdueLoan>& loans, QString* error)
{
    QList<QStringList> records{OverdueList::headings()};
    for (const OverdueLoan& loan : loans)
        records << OverdueList::cells(loan);
    return Csv::write(path, records, error);
}

}  // namespace OverdueCsv
