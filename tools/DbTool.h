#pragma once

#include <QString>

// What shelfmark-db does, callable from tests. Each returns an exit code and
// writes what it has to say (in Chinese, for the clerk's administrator) to
// *message.
namespace DbTool {

// Creates DIR/mdb/Shelfmark.mdb with the six tables and the lending rules.
// Refuses when the database already exists.
int create(const QString& programDir, QString* message);
// The same, filled with a believable demo library.
int demo(const QString& programDir, QString* message);

}  // namespace DbTool
