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

// The model holds the shown columns only, in the window's order: the
// layout is their widths, renewed after every search.
void layOutColumns(QTableView* view, const QList<Column>& shown)
{
    QHeaderView* header = view->horizontalHeader();
    QList<QPair<int, bool>> placed;  // column, free text
    for (int column = 0; column < shown.size() && column < header->count(); ++column) {
        // Never narrower than its heading needs in the window's style.
        view->setColumnWidth(column, std::max(shown[column].width, header->sectionSizeHint(column)));
        placed.append({column, shown[column].freeText});
    }
    narrowFreeText(view, placed);
}

}  // namespace

QTableView* create(const char* objectName, KeyedResultModel* model, const QList<Column>& shown,
                   QWidget* parent)
{
    QTableView* view = FormParts::readOnlyGrid(objectName, model, parent);
    QObject::connect(model, &KeyedResultModel::modelReset, view, [view, shown] { layOutColumns(view, shown); });
    return view;
}

}  // namespace QueryGrid
