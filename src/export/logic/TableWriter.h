#pragma once

#include <QStringList>
#include <memory>

#include "export/logic/ExportColumn.h"
#include "export/logic/ExportTarget.h"

// Writes a table out to a CSV or XLSX file, row by row, holding only the row
// being written (a million rows take as little memory as ten):
//
//     auto writer = TableWriter::open(target, columns);  // the headings
//     for (...) writer->writeRow(cells);                   // the shown texts
//     writer->finish();                                    // the file appears
//
// Nothing is at target.path until finish() succeeds: the file is written
// under a scratch name beside it and moved over it at the end; a writer
// dropped before finish() (cancelled, or something threw) removes what it
// wrote. Every method throws ExportError, with a message in the clerk's
// words, when the file cannot be written.
//
// Each row holds one text per column, as a window shows it. CSV keeps the
// texts exactly (quoted where they hold a comma, a quote or a line break).
// XLSX (constant memory: each row goes to disk as it is written) has the
// headings in bold, each column as wide as its widest text, Number and Date
// columns as numbers and dates where the text reads as one (see CellKind),
// and goes on to a new sheet, the headings repeated, once a sheet is full.
class TableWriter {
public:
    virtual ~TableWriter() = default;

    static std::unique_ptr<TableWriter> open(const ExportTarget& target, const ExportColumns& columns);

    // A row with fewer texts than columns leaves the rest empty; texts past
    // the last column are dropped.
    virtual void writeRow(const QStringList& cells) = 0;
    // Completes the file and moves it over the target.
    virtual void finish() = 0;
};
