#include "export/logic/TableExport.h"

#include "core/logic/StoreError.h"
#include "export/logic/ExportError.h"
#include "export/logic/RowsAtHand.h"
#include "export/logic/TableWriter.h"

namespace {
constexpr qint64 kReportEvery = 4096;
}  // namespace

namespace TableExport {

bool write(RowSource& source, const ExportTarget& target, const Progress& progress, const Cancelled& cancelled)
{
    try {
        std::unique_ptr<TableWriter> writer = TableWriter::open(target, source.columns());
        QStringList cells;
        qint64 rows = 0;
        while (true) {
            if (cancelled && cancelled())
                return false;  // the writer goes, and with it what it wrote
            if (!source.next(&cells))
                break;
            writer->writeRow(cells);
            if (++rows % kReportEvery == 0 && progress)
                progress(rows);
        }
        writer->finish();
        if (progress)
            progress(rows);
        return true;
    } catch (const StoreError& error) {
        throw ExportError(error.message());
    }
}

void write(const ExportTarget& target, const ExportColumns& columns, const QList<QStringList>& rows)
{
    RowsAtHand source(columns, rows);
    write(source, target);
}

}  // namespace TableExport
