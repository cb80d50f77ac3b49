#pragma once

#include <QList>
#include <QStringList>

class QTableView;
class QWidget;
class KeyedResultModel;

// A query window's read-only results grid over a model that holds the shown
// columns in the window's order (see KeyedResultModel), each headed by its
// name; the widths are renewed after every search.
namespace QueryGrid {

// The layout of one column, in the grid's order.
struct Column {
    int width;              // pixels
    bool freeText = false;  // titles, names: may narrow so that every column shows
};

QTableView* create(const char* objectName, KeyedResultModel* model, const QList<Column>& shown,
                   QWidget* parent);

}  // namespace QueryGrid
