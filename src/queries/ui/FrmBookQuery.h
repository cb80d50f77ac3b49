#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class Clock;
class Prompter;
class QueryResultModel;
class WindowStyler;

// 书库查询: finds books by number, title, category, publisher and
// registration date, each exactly or fuzzily, and lists them in a grid.
// "开始查找" is the window's default button: Enter in any box searches.
class FrmBookQuery : public QWidget {
    Q_OBJECT
public:
    // Design client area in twips.
    static constexpr int kWidthTwips = 10815;
    static constexpr int kHeightTwips = 7605;

    FrmBookQuery(Prompter& prompter, const Clock& clock, const WindowStyler& styler,
                 QWidget* parent = nullptr);

    // The load steps: today in the date picker, the window style, then the
    // category list from the store.
    void Form_Load();

    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookName = nullptr;
    QComboBox* cboType = nullptr;
    QLineEdit* txtBookConcern = nullptr;
    QCheckBox* chkRigDate = nullptr;
    QDateEdit* dtpRigDate = nullptr;
    QCheckBox* chkMoHu = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* SkinLabel5 = nullptr;
    QTableView* DataGrid1 = nullptr;

public slots:
    void chkRigDate_Click();
    void cmdFind_Click();
    void cmdClear_Click();
    void cmdClose_Click();

protected:
    // Enter that no box or button took runs the search.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QGroupBox* buildCriteria();
    QLayout* buildButtons();
    void loadCategories();

    Prompter& m_prompter;
    const Clock& m_clock;
    const WindowStyler& m_styler;
    QueryResultModel* m_results;
};
