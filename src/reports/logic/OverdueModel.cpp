#include "reports/logic/OverdueModel.h"

OverdueModel::OverdueModel(QObject* parent) : QAbstractTableModel(parent), m_headings(OverdueList::headings())
{
}

void OverdueModel::setLoans(const QList<OverdueLoan>& loans)
{
    beginResetModel();
    m_loans = loans;
    // Each row's texts once, not a row's worth of texts for every cell painted.
    m_cells.clear();
    m_cells.reserve(loans.size());
    for (const OverdueLoan& loan : loans)
        m_cells.append(OverdueList::cells(loan));
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
    return m_cells.at(index.row()).value(index.column());
}

QVariant OverdueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headings.size())
        return m_headings.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
