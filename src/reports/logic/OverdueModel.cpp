#include "reports/logic/OverdueModel.h"

OverdueModel::OverdueModel(QObject* parent) : QAbstractTableModel(parent), m_headings(OverdueList::headings())
{
}

void OverdueModel::setLoans(const QList<OverdueLoan>& loans)
{
    beginResetModel();
    m_loans = loans;
    endResetModel();
}

int OverdueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_loans.size());
}

int OverdueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant OverdueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_loans.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    // Only the cells painted are written out, however many rows there are.
    return OverdueList::cell(m_loans.at(index.row()), index.column());
}

QVariant OverdueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headings.size())
        return m_headings.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
