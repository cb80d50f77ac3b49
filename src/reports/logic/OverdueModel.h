#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "reports/logic/OverdueList.h"

// The overdue list as the grid shows it: OverdueList's headings and cells.
class OverdueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OverdueModel(QObject* parent = nullptr);

    void setLoans(const QList<OverdueLoan>& loans);
    const QList<OverdueLoan>& loans() const { return m_loans; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<OverdueLoan> m_loans;
    QStringList m_headings;
};
