#pragma once

#include <QFile>
#include <QStringEncoder>

#include "export/logic/FileBeside.h"
#include "export/logic/TableWriter.h"

// A table as CSV (see TableWriter): UTF-8 with a byte-order mark or GB18030,
// fields separated by commas, lines ended by CR LF, a field quoted (its
// quotes doubled) when it holds a comma, a quote, CR or LF. Every other
// character, % and _ and those outside the basic plane among them, is
// written as it is.
class CsvTableWriter : public TableWriter {
public:
    CsvTableWriter(const ExportTarget& target, const ExportColumns& columns);

    void writeRow(const QStringList& cells) override;
    void finish() override;

private:
    void flush();
    void fail();

    FileBeside m_file;
    QFile m_out;
    QStringEncoder m_encoder;
    qsizetype m_columns;
    QString m_pending;  // lines not yet encoded and written
};
