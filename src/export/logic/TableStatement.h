#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "core/logic/KeyedStatement.h"

// Every row of one of the library's tables, all its columns in the table's
// order and its rows in the order they were written: for `shelfmark-db
// export --table`. Only the library's own tables may be named (any spelling
// of their letters' case), never a text spliced into a statement.
namespace TableStatement {

// The tables that may be named.
QStringList tables();

// The statement for the table, nullopt for a name that is not one of them.
// Reads the table's columns from the store: throws StoreError.
std::optional<KeyedStatement> of(const QString& table);

}  // namespace TableStatement
