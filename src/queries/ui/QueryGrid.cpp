#include "queries/ui/QueryGrid.h"

#include <QHeaderView>
#include <QTableView>

#include "core/ui/FormParts.h"
#include "queries/logic/QueryResultModel.h"

namespace QueryGrid {

namespace {

void layOutColumns(QTableView* view, const QueryResultModel* model, const QList<Column>& shown)
{
    QHeaderView* header = view->horizontalHeader();
    QList<int> placed;
    for (const Column& column : shown) {
        const int logical = model->columnOf(QString::fromUtf8(column.name));
        if (logical < 0)
            continue;
        header->moveSection(header->visualIndex(logical), int(placed.size()));
        view->setColumnWidth(logical, column.width);
        view->setColumnHidden(logical, false);
        placed << logical;
    }
    for (int logical = 0; logical < model->columnCount(); ++logical)
        view->setColumnHidden(logical, !placed.contains(logical));
}

}  // namespace

QTableView* create(const char* objectName, QueryResultModel* model, const QList<Column>& shown,
                   QWidget* parent)
{
    QTableView* view = FormParts::readOnlyGrid(objectName, model, parent);
    QObject::connect(model, &QueryResultModel::modelReset, view,
                     [view, model, shown] { layOutColumns(view, model, shown); });
    return view;
}

}  // namespace QueryGrid
