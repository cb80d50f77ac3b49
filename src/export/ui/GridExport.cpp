#include "export/ui/GridExport.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QHeaderView>
#include <QTableView>

#include "core/logic/GridCells.h"
#include "export/logic/RowsAtHand.h"
#include "export/logic/StatementRows.h"
#include "export/ui/ExportFileDialog.h"
#include "export/ui/ExportRun.h"

namespace GridExport {

namespace {

// The columns the grid shows, in the order it shows them: their model
// columns and headings.
struct ShownColumns {
    QList<int> logical;
    QStringList headings;
};

ShownColumns shownColumns(const QTableView* grid)
{
    ShownColumns shown;
    const QHeaderView* header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        shown.logical << logical;
        shown.headings << grid->model()->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return shown;
}

// Adds the item; `exportRows` runs when it is chosen.
void addItem(QTableView* grid, const std::function<void()>& exportRows)
{
    auto* item = new QAction(QStringLiteral("导出…"), grid);
    item->setObjectName(QStringLiteral("exportAction"));
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid->addAction(item);
    QObject::connect(item, &QAction::triggered, grid, exportRows);
    QAbstractItemModel* model = grid->model();
    const auto follow = [item, model] { item->setEnabled(model->rowCount() > 0); };
    follow();
    QObject::connect(model, &QAbstractItemModel::modelReset, item, follow);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, item, follow);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, item, follow);
}

}  // namespace

void addWholeResult(QTableView* grid, Prompter& prompter, const QString& name, const Statement& statement)
{
    addItem(grid, [grid, &prompter, name, statement] {
        const std::optional<KeyedStatement> current = statement();
        if (!current)
            return;
        const std::optional<ExportTarget> target = ExportFileDialog::choose(grid->window(), prompter, name, name);
        if (!target)
            return;
        const QStringList headings = shownColumns(grid).headings;
        ExportRun::run(grid->window(), prompter, *target, [current = *current, headings] {
            return std::make_unique<StatementRows>(current, headings, QStringLiteral("导出"));
        });
    });
}

void addShownRows(QTableView* grid, Prompter& prompter, const QString& name, const Kinds& kind)
{
    addItem(grid, [grid, &prompter, name, kind] {
        const std::optional<ExportTarget> target = ExportFileDialog::choose(grid->window(), prompter, name, name);
        if (!target)
            return;
        QAbstractItemModel* model = grid->model();
        while (model->canFetchMore(QModelIndex()))
            model->fetchMore(QModelIndex());
        const ShownColumns shown = shownColumns(grid);
        ExportColumns columns;
        for (const QString& heading : shown.headings)
            columns << ExportColumn{heading, kind ? kind(heading) : StatementRows::kindOf(heading)};
        QList<QStringList> rows;
        rows.reserve(model->rowCount());
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column : shown.logical)
                cells << GridCells::text(model->index(row, column).data(Qt::DisplayRole));
            rows << cells;
        }
        const qint64 total = rows.size();
        ExportRun::run(
            grid->window(), prompter, *target,
            [columns, rows = std::move(rows)] { return std::make_unique<RowsAtHand>(columns, rows); }, total);
    });
}

bool exportTable(QWidget* parent, Prompter& prompter, const QString& name, const ExportColumns& columns,
                 const QList<QStringList>& rows)
{
    const std::optional<ExportTarget> target = ExportFileDialog::choose(parent, prompter, name, name);
    if (!target)
        return false;
    return ExportRun::run(
        parent, prompter, *target, [columns, rows] { return std::make_unique<RowsAtHand>(columns, rows); },
        rows.size());
}

}  // namespace GridExport
