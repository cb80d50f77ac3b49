#include "export/logic/TableWriter.h"

#include "export/logic/CsvTableWriter.h"
#include "export/logic/XlsxTableWriter.h"

std::unique_ptr<TableWriter> TableWriter::open(const ExportTarget& target, const ExportColumns& columns)
{
    if (target.format == ExportFormat::Xlsx)
        return std::make_unique<XlsxTableWriter>(target, columns);
    return std::make_unique<CsvTableWriter>(target, columns);
}
