#pragma once

#include "queries/ui/QueryWindow.h"

class QCheckBox;
class QFrame;

// 借阅查询: finds loans, returned and outstanding alike, by book number,
// title, reader number and reader name, each exactly or fuzzily, and lists
// them in a grid. The window has no default button.
class FrmLendQuery : public QueryWindow {
    Q_OBJECT
public:
    FrmLendQuery(Prompter& prompter, const WindowStyler& styler);

    // The load steps: the window style; no search runs.
    void Form_Load();

    QLineEdit* txtReaderID = nullptr;
    QLineEdit* txtReaderName = nullptr;
    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookName = nullptr;
    QFrame* separatorLine = nullptr;
    QCheckBox* chkMoHu = nullptr;
    QTableView* dtgrdLendBook = nullptr;

public slots:
    void cmdFind_Click();
    void cmdClear_Click();

private:
    void buildCriteria();
};
