#include "core/logic/KeyedResultModel.h"

#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>

#include "core/logic/GridCells.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/KeyedStatement.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

namespace {
// What a cell shows whose row could not be read again (the failure is told).
const QString kUnreadable = QStringLiteral("（无法读取）");

// The cells of the current row at the given positions, skipping `offset`
// leading columns (the key).
QVariantList rowCells(const QSqlQuery& query, const QList<int>& sources, int offset)
{
    QVariantList cells;
    cells.reserve(sources.size());
    for (int source : sources)
        cells.append(query.value(offset + source));
    return cells;
}
}  // namespace

KeyedResultModel::KeyedResultModel(const QString& action, QObject* parent, const QStringList& shown)
    : QAbstractTableModel(parent), m_action(action), m_shown(shown)
{
}

void KeyedResultModel::run(const KeyedStatement& statement)
{
    // Forward only: the engine hands the rows over one by one and keeps none;
    // or, where it reads a result whole, a page at a time.
    const Dialect& dialect = Database::dialect();
    const QString text = KeyedText(statement);
    QSqlQuery cursor;
    if (dialect.streamsRows()) {
        m_page = {};
        cursor = Sql::prepare(text, m_action);
        for (const QVariant& value : statement.values)
            cursor.addBindValue(value);
        Sql::exec(cursor, m_action);
    } else {
        m_page = dialect.pageOf(text, statement.key, kPageRows);
        m_values = statement.values;
        cursor = runPage(QVariant());
    }
    beginResetModel();
    m_cursor = std::move(cursor);
    m_more = m_cursor.isActive() && m_cursor.isSelect();
    m_rowByKey = statement.rowByKey;
    m_keys.clear();
    m_pages.clear();
    m_failing = false;
    m_unreadablePage = -1;
    readNames(m_cursor);
    endResetModel();
    fetchMore();
}

QSqlQuery KeyedResultModel::runPage(const QVariant& lastKey) const
{
    QSqlQuery page = Sql::prepare(m_page.text, m_action);
    for (const QVariant& value : m_page.bound(m_values, lastKey))
        page.addBindValue(value);
    Sql::exec(page, m_action);
    return page;
}

void KeyedResultModel::clear()
{
    beginResetModel();
    m_cursor = QSqlQuery();
    m_more = false;
    m_keys.clear();
    m_pages.clear();
    endResetModel();
}

void KeyedResultModel::readNames(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QStringList available;
    for (int i = 1; i < record.count(); ++i)  // the key is not shown
        available << record.fieldName(i);
    m_names.clear();
    m_sources.clear();
    m_kinds.clear();
    for (const QString& name : m_shown.isEmpty() ? available : m_shown) {
        const int source = int(available.indexOf(name));
        if (source < 0)
            continue;
        m_names << name;
        m_sources << source;
        m_kinds << GridCells::kindOf(name);
    }
}

int KeyedResultModel::columnOf(const QString& name) const
{
    return int(m_names.indexOf(name));
}

int KeyedResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size());
}

int KeyedResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

bool KeyedResultModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_more;
}

// The next page of rows from the statement: their keys, and their cells kept
// as the newest page.
void KeyedResultModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || !m_more)
        return;
    if (!m_page.isEmpty() && !m_cursor.isActive()) {
        try {
            m_cursor = runPage(m_keys.back());
        } catch (const StoreError& error) {
            m_more = false;
            fail(error);
            return;
        }
    }
    const int first = int(m_keys.size());
    Page& page = freePage();
    page.number = first / kPageRows;
    page.used = ++m_clock;
    while (int(page.rows.size()) < kPageRows && m_cursor.next()) {
        m_keys.push_back(m_cursor.value(0).toLongLong());
        page.rows.push_back(rowCells(m_cursor, m_sources, 1));
    }
    if (!m_page.isEmpty() && int(page.rows.size()) == kPageRows) {
        m_cursor = QSqlQuery();  // the next page runs when it is asked for
    } else if (int(page.rows.size()) < kPageRows) {
        // The statement is done, or a step failed (a busy or damaged file):
        // let go of it, and of its hold on the file, and tell a failure.
        const QSqlError error = m_cursor.lastError();
        m_more = false;
        m_cursor.finish();
        if (error.isValid())
            fail(StoreError(m_action, error));
    }
    m_unreadablePage = -1;
    if (page.rows.empty()) {
        page.number = -1;
        return;
    }
    beginInsertRows(QModelIndex(), first, first + int(page.rows.size()) - 1);
    endInsertRows();
}

void KeyedResultModel::fail(const StoreError& error) const
{
    if (m_failing)
        return;
    m_failing = true;
    // Queued: a read may fail while the grid paints, where no box may open.
    QMetaObject::invokeMethod(
        const_cast<KeyedResultModel*>(this), [this, message = error.message()] { emit readFailed(message); },
        Qt::QueuedConnection);
}

// The least recently used page, emptied (a new one while fewer are kept).
KeyedResultModel::Page& KeyedResultModel::freePage() const
{
    if (int(m_pages.size()) < kPagesKept) {
        m_pages.emplace_back();
        return m_pages.back();
    }
    Page& oldest = *std::min_element(m_pages.begin(), m_pages.end(),
                                     [](const Page& a, const Page& b) { return a.used < b.used; });
    oldest.number = -1;
    oldest.rows.clear();
    return oldest;
}

const QVariantList* KeyedResultModel::cells(int row) const
{
    const int number = row / kPageRows;
    auto kept = std::find_if(m_pages.begin(), m_pages.end(), [number](const Page& p) { return p.number == number; });
    if (kept == m_pages.end()) {
        if (number == m_unreadablePage)
            return nullptr;
        // Read the page again, row by row by key. A row gone from the store
        // since (deleted elsewhere) shows empty cells.
        std::vector<QVariantList> rows;
        try {
            QSqlQuery byKey = Sql::prepare(m_rowByKey, m_action);
            const int first = number * kPageRows;
            const int last = std::min(int(m_keys.size()), first + kPageRows);
            for (int r = first; r < last; ++r) {
                byKey.bindValue(0, m_keys[r]);
                Sql::exec(byKey, m_action);
                const bool found = byKey.next();
                if (!found && byKey.lastError().isValid())
                    throw StoreError(m_action, byKey.lastError());
                rows.push_back(found ? rowCells(byKey, m_sources, 0) : QVariantList(m_names.size()));
                byKey.finish();
            }
        } catch (const StoreError& error) {
            m_unreadablePage = number;
            fail(error);
            return nullptr;
        }
        m_failing = false;
        Page& page = freePage();
        page.rows = std::move(rows);
        page.number = number;
        kept = m_pages.begin() + (&page - m_pages.data());
    }
    kept->used = ++m_clock;
    const int index = row - number * kPageRows;
    return index < int(kept->rows.size()) ? &kept->rows[index] : nullptr;
}

QVariant KeyedResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    const QVariantList* row = cells(index.row());
    if (!row)
        return kUnreadable;
    return GridCells::shown(m_kinds[index.column()], row->at(index.column()));
}

QVariant KeyedResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_names.size())
        return m_names.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
