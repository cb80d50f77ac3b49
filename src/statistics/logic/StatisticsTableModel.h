#pragma once

#include <QAbstractTableModel>

#include "statistics/logic/StatisticsTables.h"

// One statistics table as a grid shows it: its headings and cells.
class StatisticsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StatisticsTableModel(QObject* parent = nullptr);

    void setTable(const StatisticsTable& table);
    const StatisticsTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    StatisticsTable m_table;
};
