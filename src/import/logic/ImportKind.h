#pragma once

#include <QString>
#include <QStringList>

// What a file is brought in as: books into bookInfo or readers into readerInfo.
namespace ImportKind {

enum class Kind { Books, Readers };

// The fields a row can fill, by the table's own column names, in the order
// the table names them. The first is the number that keys the row.
QStringList fields(Kind kind);
// "图书" or "读者", for titles and messages.
QString noun(Kind kind);

}  // namespace ImportKind
