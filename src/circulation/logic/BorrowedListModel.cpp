#include "circulation/logic/BorrowedListModel.h"

#include <QSqlError>
#include <algorithm>

#include "circulation/logic/BorrowedList.h"
#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"

BorrowedListModel::BorrowedListModel(QObject* parent) : QSqlQueryModel(parent)
{
}

void BorrowedListModel::load(const QString& readerNumber)
{
    QSqlQuery& next = m_statements[1 - m_shown];
    BorrowedList::run(next, readerNumber);
    QSqlQuery shown = next;  // shares the statement's rows
    setQuery(std::move(shown));
    m_shown = 1 - m_shown;
    // Fetch every row now, so the grid and its row count agree at once.
    while (canFetchMore())
        fetchMore();
}

void BorrowedListModel::unload()
{
    clear();
}

qint64 BorrowedListModel::loanIdAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    return query().seek(row) ? query().value(BorrowedList::LoanId).toLongLong() : 0;
}

int BorrowedListModel::columnCount(const QModelIndex& parent) const
{
    return std::min(QSqlQueryModel::columnCount(parent), int(BorrowedList::kShownColumns));
}

QVariant BorrowedListModel::data(const QModelIndex& index, int role) const
{
    const QVariant value = QSqlQueryModel::data(index, role);
    const bool shown = role == Qt::DisplayRole || role == Qt::EditRole;
    const bool dateColumn = index.column() == BorrowedList::LendDate;
    if (shown && dateColumn && !value.isNull())
        return Conversions::shortDate(Sql::toDate(value));
    return value;
}
