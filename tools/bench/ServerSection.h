#pragma once

#include <QDate>
#include <QString>

#include "core/logic/ServerSettings.h"

class SideBySide;

// The library on a PostgreSQL server: every desk operation and the first
// screen of the fuzzy searches through our layer, beside the very same
// statements through libpq alone (prepared once, the same values, every cell
// read), on the same database in the same run. Our layer's shared connection
// must be open on `server`.
namespace ServerSection {

void run(SideBySide& bench, const ServerSettings& server, int runs, int writeRuns, const QDate& today);

// Every row of `statement` read through libpq alone, one by one, every cell;
// how many rows.
qint64 readEveryRow(const ServerSettings& server, const QString& statement);

}  // namespace ServerSection
