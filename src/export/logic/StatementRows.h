#pragma once

#include <QSqlQuery>
#include <optional>

#include "core/logic/Dialect.h"
#include "core/logic/GridCells.h"
#include "core/logic/KeyedStatement.h"
#include "export/logic/RowSource.h"

// Every row of a grid's statement (a query window's search, the book list),
// read afresh on the calling thread's connection, its cells as the grid
// shows them (GridCells). The grid itself holds only the rows scrolled to;
// this reads them all, in the grid's order, a page at a time where the
// engine reads each result whole (see Dialect::streamsRows).
//
// The columns are the ones named in `shown`, in that order (those the
// statement lacks are left out), or every column of the statement; each is
// headed by its store name. Dates are Date columns, the store's number
// columns (借出天数, 超出天数, 罚款金额, 借出册数, 罚款) Number columns, the
// rest (book numbers, prices and pages among them) Text.
class StatementRows : public RowSource {
public:
    // Where the engine reads each result whole, the rows read per statement.
    static constexpr int kPageRows = 20000;

    // Runs the statement; throws StoreError naming `action`.
    StatementRows(const KeyedStatement& statement, const QStringList& shown, const QString& action,
                  int pageRows = kPageRows);

    ExportColumns columns() const override { return m_columns; }
    bool next(QStringList* cells) override;

    // The export kind of a store column, by its name.
    static CellKind kindOf(const QString& column);

private:
    void runPage();

    QString m_action;
    QVariantList m_values;
    Dialect::Page m_page;  // empty where the engine hands rows over one by one
    // Made only once a statement runs: an empty one would take the shared
    // connection, which belongs to another thread.
    std::optional<QSqlQuery> m_query;
    qint64 m_lastKey = 0;
    int m_pageSize;
    int m_pageRows = 0;  // rows read of the current page
    ExportColumns m_columns;
    QList<int> m_sources;  // each column's place in the statement's row (after the key)
    QList<GridCells::Kind> m_kinds;
};
