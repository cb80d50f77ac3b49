#include "circulation/ui/BorrowedGrid.h"

#include <QHeaderView>
#include <QTableView>

#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "core/ui/FormParts.h"

namespace BorrowedGrid {

namespace {

struct ShownColumn {
    BorrowedList::Column column;
    int width;  // pixels
};

// The grid's columns in the order shown.
constexpr ShownColumn kShown[] = {
    {BorrowedList::ReaderNumber, 60}, {BorrowedList::ReaderName, 62},
    {BorrowedList::BookNumber, 66},   {BorrowedList::Title, 120},
    {BorrowedList::Category, 64},     {BorrowedList::Pages, 60},
    {BorrowedList::Publisher, 100},   {BorrowedList::LendDate, 80},
};

// A reload resets the header, so the order, widths and hidden columns are
// laid out again after each one.
void layOutColumns(QTableView* view)
{
    QHeaderView* header = view->horizontalHeader();
    if (header->count() < BorrowedList::ColumnCount)
        return;
    for (int visual = 0; visual < int(std::size(kShown)); ++visual) {
        const int logical = kShown[visual].column;
        header->moveSection(header->visualIndex(logical), visual);
        view->setColumnWidth(logical, kShown[visual].width);
    }
    for (int logical = BorrowedList::ReturnDate; logical < BorrowedList::ColumnCount; ++logical)
        view->setColumnHidden(logical, true);
}

}  // namespace

QTableView* create(const char* name, BorrowedListModel* model, QWidget* parent)
{
    QTableView* view = FormParts::readOnlyGrid(name, model, parent);
    QObject::connect(model, &BorrowedListModel::modelReset, view, [view] { layOutColumns(view); });
    return view;
}

}  // namespace BorrowedGrid
