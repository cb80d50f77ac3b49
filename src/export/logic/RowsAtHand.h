#pragma once

#include <QList>

#include "export/logic/RowSource.h"

// Rows already read (a list a window holds, a statistics table), handed out
// in order.
class RowsAtHand : public RowSource {
public:
    RowsAtHand(ExportColumns columns, QList<QStringList> rows);

    ExportColumns columns() const override { return m_columns; }
    bool next(QStringList* cells) override;
    qsizetype size() const { return m_rows.size(); }

private:
    ExportColumns m_columns;
    QList<QStringList> m_rows;
    qsizetype m_next = 0;
};
