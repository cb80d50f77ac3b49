#pragma once

#include <QWidget>

#include "catalogue/logic/BookListModel.h"

class Prompter;
class QPushButton;
class QTableView;
class WindowStyler;

// The book list "书库管理": every book with its category's name; from here
// the clerk adds a book, changes or deletes the current row's book, or
// deletes every book. Resizable: the grid follows the window.
class FrmShelfmark : public QWidget {
    Q_OBJECT
public:
    // Inner size at opening, in twips.
    static constexpr int kInnerWidthTwips = 10815;
    static constexpr int kInnerHeightTwips = 5775;

    FrmShelfmark(Prompter& prompter, const WindowStyler& styler, QWidget* parent = nullptr);

    // The load steps: the window style, then the list.
    void Form_Load();
    // The list's query runs again (the new-book and edit windows ask for it).
    void refreshList();

    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdModify = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* CmdDelAll = nullptr;
    QPushButton* cmdClose = nullptr;
    QTableView* booksGrid = nullptr;

signals:
    // "添加新书": the new-book window should be shown.
    void addBookRequested();
    // "修改": the edit window should be shown for this row.
    void editBookRequested(const BookListRow& row);

public slots:
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDel_Click();
    void CmdDelAll_Click();
    void cmdClose_Click();
    void Form_Resize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildGrid();
    bool loadList();
    void deleteAll(int books);
    void setButtonsEnabled(bool enabled);

    Prompter& m_prompter;
    const WindowStyler& m_styler;
    BookListModel* m_list = nullptr;
    bool m_deletingAll = false;
};
