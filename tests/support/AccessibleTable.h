#pragma once

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QStringList>
#include <QTableView>

// A grid as a screen reader (and the desktop's accessibility bus) reads it:
// its column headings, then each row's cells, joined by "|". It reads the
// model's columns, so a column moved only in the header shows where it is.
inline QStringList accessibleRows(QTableView* grid)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
    QAccessibleTableInterface* cells = table ? table->tableInterface() : nullptr;
    if (!cells)
        return {"<no accessible table>"};
    QStringList lines;
    QStringList headings;
    for (int column = 0; column < cells->columnCount(); ++column)
        headings << cells->columnDescription(column);
    lines << headings.join('|');
    for (int row = 0; row < cells->rowCount(); ++row) {
        QStringList shown;
        for (int column = 0; column < cells->columnCount(); ++column) {
            QAccessibleInterface* cell = cells->cellAt(row, column);
            shown << (cell ? cell->text(QAccessible::Name) : QStringLiteral("<none>"));
        }
        lines << shown.join('|');
    }
    return lines;
}
