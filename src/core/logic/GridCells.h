#pragma once

#include <QString>
#include <QVariant>

// How a grid shows a store column's value: dates (登记日期, 借书日期, 还书日期)
// in the short form yyyy/M/d, the lent-out flag (是否借出) as "是" or "否",
// everything else as it is. One place, so that a grid and an export of it
// show the same texts.
namespace GridCells {

enum class Kind { Plain, Date, Flag };

// The kind of a column by its store name.
Kind kindOf(const QString& column);
// The value as the grid shows it (a null value stays null).
QVariant shown(Kind kind, const QVariant& value);
// The text a grid shows for a value: none for a null one. (A null number
// read from the server converts to "0"; the grid leaves it empty, as it does
// a null read from a file.)
QString text(const QVariant& value);

}  // namespace GridCells
