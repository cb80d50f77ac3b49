#pragma once

#include <QStringList>

#include "export/logic/ExportColumn.h"

// The rows of a table to be written out (see TableExport), read one at a
// time so that a long table is never held whole.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual ExportColumns columns() const = 0;
    // The next row's texts, as a window shows them, into *cells; false when
    // there are no more. May throw StoreError.
    virtual bool next(QStringList* cells) = 0;
};
