#include "circulation/ui/BorrowedGrid.h"

#include <QHeaderView>
#include <algorithm>
#include <QTableView>

#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "core/ui/FormParts.h"
#include "export/ui/GridExport.h"

namespace BorrowedGrid {

namespace {

// The widths of the eight columns, in pixels, in the order the model gives
// them: 读者编号, 读者姓名, 书籍编号, 书籍名称, 书籍类别, 书籍页码, 出版社, 借书日期.
constexpr int kWidths[BorrowedList::kShownColumns] = {60, 62, 66, 120, 64, 60, 100, 80};

// A reload resets the header, so the widths are set again after each one.
void layOutColumns(QTableView* view)
{
    const int columns = std::min(view->horizontalHeader()->count(), int(std::size(kWidths)));
    for (int column = 0; column < columns; ++column)
        view->setColumnWidth(column, kWidths[column]);
}

}  // namespace

QTableView* create(const char* name, BorrowedListModel* model, Prompter& prompter, QWidget* parent)
{
    QTableView* view = FormParts::readOnlyGrid(name, model, parent);
    GridExport::addShownRows(view, prompter, QStringLiteral("已借图书"));
    QObject::connect(model, &BorrowedListModel::modelReset, view, [view] { layOutColumns(view); });
    return view;
}

}  // namespace BorrowedGrid
