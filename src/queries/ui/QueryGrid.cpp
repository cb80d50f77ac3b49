#include "queries/ui/QueryGrid.h"

#include <algorithm>

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include "core/ui/FormParts.h"
#include "core/logic/KeyedResultModel.h"

namespace QueryGrid {

namespace {

// Where the columns are wider than the grid (a skin's roomier headings), the
// columns of free text give up width, never below what their heading needs.
void narrowFreeText(QTableView* view, const QList<QPair<int, bool>>& placed)
{
    QHeaderView* header = view->horizontalHeader();
    const QScrollBar* sideways = view->verticalScrollBar();
    const int room = view->viewport()->width() - (sideways->isVisible() ? 0 : sideways->sizeHint().width());
    int overflow = header->length() - room;
    for (const auto& [logical, freeText] : placed) {
        if (overflow <= 0)
            return;
        if (!freeText)
            continue;
        const int spare = header->sectionSize(logical) - header->sectionSizeHint(logical);
        const int taken = std::clamp(overflow, 0, std::max(spare, 0));
        view->setColumnWidth(logical, header->sectionSize(logical) - taken);
        overflow -= taken;
    }
}

void layOutColumns(QTableView* view, const KeyedResultModel* model, const QList<Column>& shown)
{
    QHeaderView* header = view->horizontalHeader();
    QList<QPair<int, bool>> placed;  // logical column, free text
    for (const Column& column : shown) {
        const int logical = model->columnOf(QString::fromUtf8(column.name));
        if (logical < 0)
            continue;
        header->moveSection(header->visualIndex(logical), int(placed.size()));
        // Never narrower than its heading needs in the window's style.
        view->setColumnWidth(logical, std::max(column.width, header->sectionSizeHint(logical)));
        placed.append({logical, column.freeText});
    }
    for (int logical = 0; logical < model->columnCount(); ++logical)
        view->setColumnHidden(logical, std::none_of(placed.begin(), placed.end(),
                                                    [logical](const auto& p) { return p.first == logical; }));
    narrowFreeText(view, placed);
}

}  // namespace

QTableView* create(const char* objectName, KeyedResultModel* model, const QList<Column>& shown,
                   QWidget* parent)
{
    QTableView* view = FormParts::readOnlyGrid(objectName, model, parent);
    QObject::connect(model, &KeyedResultModel::modelReset, view,
                     [view, model, shown] { layOutColumns(view, model, shown); });
    return view;
}

}  // namespace QueryGrid
