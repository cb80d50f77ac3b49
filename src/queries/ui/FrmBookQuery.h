#pragma once

#include "queries/ui/QueryWindow.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class Clock;
class PublisherSuggestions;

// 书库查询: finds books by number, title, category, publisher and
// registration date, each exactly or fuzzily, and lists them in a grid.
// "开始查找" is the window's default button: Enter in any box searches.
class FrmBookQuery : public QueryWindow {
    Q_OBJECT
public:
    FrmBookQuery(Prompter& prompter, const Clock& clock, const WindowStyler& styler);

    // The load steps: today in the date picker, the window style, then the
    // category list from the store.
    void Form_Load();

    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookName = nullptr;
    QComboBox* cboType = nullptr;
    QLineEdit* txtBookConcern = nullptr;
    QCheckBox* chkRigDate = nullptr;
    QDateEdit* dtpRigDate = nullptr;
    QCheckBox* chkMoHu = nullptr;
    QTableView* booksGrid = nullptr;
    PublisherSuggestions* publisherList = nullptr;

public slots:
    void chkRigDate_Click();
    void cmdFind_Click();
    void cmdClear_Click();

protected:
    // Enter that no box or button took for itself runs the search.
    void keyPressEvent(QKeyEvent* event) override;
    // Enter in the category box searches at once, also when it only accepts
    // the box's completion of what was typed.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCriteria();
    void loadCategories();

    const Clock& m_clock;
};
