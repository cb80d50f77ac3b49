#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>
#include <vector>

#include "core/logic/Dialect.h"
#include "core/logic/GridCells.h"

struct KeyedStatement;
class StoreError;

// The rows of a keyed statement's result, for a grid (a query window's last
// search, the book list). Rows are read from the store as
// the grid scrolls to them, never all at once and never counted up front.
// Only each row's key is kept (a number per row); the cells of the rows
// around the ones last shown are kept a few pages at a time and read again
// by key when the grid comes back to them, so a result of millions of rows
// scrolled to its end holds megabytes, not gigabytes.
// Dates read in the short form yyyy/M/d (empty while there is none); the
// lent-out flag reads "是" or "否". Headings are the column names.
//
// The grid's columns are the model's own: the ones named at construction, in
// that order, whatever order the statement or the library file gives them
// (a screen reader reads a table by the model's columns, not by how a header
// was moved). Without names, every column of the statement, in its order.
class KeyedResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows read per step as the grid scrolls, and per page kept.
    static constexpr int kPageRows = 256;
    // Pages of cells kept at the most (the rest are read again by key).
    static constexpr int kPagesKept = 8;

    // `action` names what a refusal of the store was doing, in the clerk's words.
    explicit KeyedResultModel(const QString& action, QObject* parent = nullptr,
                              const QStringList& shown = {});

    // Runs the statement on the shared connection and shows its first rows.
    // Throws StoreError; the old rows stay when the store refuses.
    void run(const KeyedStatement& statement);
    // Shows no rows and lets go of the statement (the columns stay).
    void clear();

    // The position of a column by its name, or -1.
    int columnOf(const QString& name) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex& parent = QModelIndex()) override;

signals:
    // A read failed part way: the rows read before it stay, and the grid
    // shows no more. `message` is the store's message, as a window shows a
    // StoreError's. Told once until a later read succeeds, and never from
    // inside a paint (queued).
    void readFailed(const QString& message) const;

private:
    struct Page {
        int number = -1;
        std::vector<QVariantList> rows;
        quint64 used = 0;
    };

    void readNames(const QSqlQuery& query);
    // The page of rows after `lastKey` (null: the first page), run.
    QSqlQuery runPage(const QVariant& lastKey) const;
    // The cells of a row, its page read (again) when it is not kept.
    const QVariantList* cells(int row) const;
    Page& freePage() const;
    void fail(const StoreError& error) const;

    QString m_action;
    QSqlQuery m_cursor;          // the statement, forward only, one step ahead of the rows shown
    bool m_more = false;
    // Where the engine reads a result whole when it runs (see
    // Dialect::streamsRows), the statement is read a page at a time instead,
    // each page the rows after the last key read.
    Dialect::Page m_page;        // empty where the engine hands rows over one by one
    QVariantList m_values;
    QString m_rowByKey;          // reads one row by its key
    std::vector<qint64> m_keys;  // the key of every row read so far
    QStringList m_shown;         // the columns asked for, in order; empty: all
    QStringList m_names;         // the columns of the current result, in order
    QList<int> m_sources;        // where each of them stands in the statement's row
    QList<GridCells::Kind> m_kinds;
    mutable std::vector<Page> m_pages;
    mutable quint64 m_clock = 0;
    mutable bool m_failing = false;  // the last read failed and was told
    // A page whose read by key failed: shown as unreadable, not read again
    // on every paint, until the grid reads rows anew.
    mutable int m_unreadablePage = -1;
};
