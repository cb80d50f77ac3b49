#pragma once

#include <QList>

class QTableView;
class QWidget;
class KeyedResultModel;

// A query window's read-only results grid. It shows the named columns of the
// results in the order given, each headed by its name, and hides any other
// column; the layout is renewed after every search.
namespace QueryGrid {

struct Column {
    const char* name;
    int width;              // pixels
    bool freeText = false;  // titles, names: may narrow so that every column shows
};

QTableView* create(const char* objectName, KeyedResultModel* model, const QList<Column>& shown,
                   QWidget* parent);

}  // namespace QueryGrid
