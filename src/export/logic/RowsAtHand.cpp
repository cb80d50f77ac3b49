#include "export/logic/RowsAtHand.h"

RowsAtHand::RowsAtHand(ExportColumns columns, QList<QStringList> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows))
{
}

bool RowsAtHand::next(QStringList* cells)
{
    if (m_next >= m_rows.size())
        return false;
    *cells = m_rows.at(m_next++);
    return true;
}
