#pragma once

#include <QAbstractTableModel>

class ImportPlan;

// The import preview as the grid shows it: each row of the file with its
// line, what will be done with it (导入 or 跳过) and why, then its cells under
// the file's own headings.
class ImportPreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ImportPreviewModel(QObject* parent = nullptr);

    // Shows the plan's rows as they now stand (nullptr: nothing); the plan
    // must outlive its showing.
    void setPlan(const ImportPlan* plan);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The columns before the file's own.
    static constexpr int kLeadColumns = 3;

private:
    const ImportPlan* m_plan = nullptr;
};
