#include "import/logic/ImportPreviewModel.h"

#include "import/logic/ImportPlan.h"

ImportPreviewModel::ImportPreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void ImportPreviewModel::setPlan(const ImportPlan* plan)
{
    beginResetModel();
    m_plan = plan;
    endResetModel();
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_plan ? 0 : int(m_plan->rows().size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_plan ? 0 : kLeadColumns + int(m_plan->headings().size());
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!m_plan || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    const ImportRow& row = m_plan->rows().at(index.row());
    switch (index.column()) {
    case 0: return row.line;
    case 1: return ImportPlan::verdict(row);
    case 2: return row.problems.join(QStringLiteral("; "));
    default: break;
    }
    const int column = index.column() - kLeadColumns;
    return column < row.cells.size() ? row.cells.at(column) : QString();
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !m_plan)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList lead = {QStringLiteral("行号"), QStringLiteral("处理"), QStringLiteral("问题")};
    if (section < kLeadColumns)
        return lead.at(section);
    const int column = section - kLeadColumns;
    const QString field = m_plan->mapping().value(column);
    const QString heading = m_plan->headings().value(column);
    // A column filled into a field of another name says which.
    return field.isEmpty() ? heading + QStringLiteral(" (不导入)")
           : field == heading ? heading
                              : heading + QStringLiteral(" → ") + field;
}
