#pragma once

#include <QStringList>

// The category items the book query's category box lists: code + "-" +
// name, one per row of bookType in the order the table holds them.
namespace CategoryItems {

// Throws StoreError.
QStringList read();

// A category item's code: its first character ("" for an empty text). Text
// typed into the box is read the same way.
QString codeOf(const QString& item);

}  // namespace CategoryItems
