#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>
#include <optional>

#include "core/logic/KeyedStatement.h"

#include "queries/ui/QueryGrid.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class Prompter;
class KeyedResultModel;
class WindowStyler;

// What the two query windows share: the criteria frame "请选择要查询的项:"
// with the find, clear and close buttons on its right, and the results grid
// under its caption "查询结果如下:", following the window's size.
class QueryWindow : public QWidget {
    Q_OBJECT
public:
    struct Design {
        const char* name;
        QString title;
        QString findCaption;
        const char* gridName;
        QStringList columns;                 // store names, in the grid's order
        QList<QueryGrid::Column> widths;     // of each column
        int widthTwips, heightTwips;  // client area
    };

    QGroupBox* criteriaFrame = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblResults = nullptr;

public slots:
    void cmdClose_Click();

protected:
    QueryWindow(Prompter& prompter, const WindowStyler& styler, const Design& design);

    // The grid of criteriaFrame that the criteria go into.
    QGridLayout* criteria() const { return m_criteria; }
    QTableView* grid() const { return m_grid; }
    // A text box with its caption in one row of the criteria, from the given column.
    QLineEdit* addTextBox(const char* name, const QString& caption, int row, int column);
    void addCaptioned(const QString& caption, QWidget* box, int row, int column);
    // The style step of the load: the window style, then pending events once.
    void applyWindowStyle();
    // "查询结果如下!!", then the statement's rows in the grid; a statement the
    // store refuses is reported and the old rows stay.
    void search(const KeyedStatement& statement);

    Prompter& m_prompter;

private:
    QLayout* buildButtons(const QString& findCaption);

    const WindowStyler& m_styler;
    KeyedResultModel* m_results;
    std::optional<KeyedStatement> m_statement;  // the one the grid shows, for its export
    QGridLayout* m_criteria = nullptr;
    QTableView* m_grid = nullptr;
};
