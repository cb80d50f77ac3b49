#include "statistics/logic/StatisticsTableModel.h"

StatisticsTableModel::StatisticsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void StatisticsTableModel::setTable(const StatisticsTable& table)
{
    beginResetModel();
    m_table = table;
    endResetModel();
}

int StatisticsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_table.rows.size());
}

int StatisticsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_table.headings.size());
}

QVariant StatisticsTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_table.rows.size())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    return m_table.rows.at(index.row()).value(index.column());
}

QVariant StatisticsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_table.headings.size())
        return m_table.headings.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
