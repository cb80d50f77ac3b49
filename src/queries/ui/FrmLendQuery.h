#pragma once

#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class Prompter;
class QueryResultModel;
class WindowStyler;

// 借阅查询: finds loans, returned and outstanding alike, by book number,
// title, reader number and reader name, each exactly or fuzzily, and lists
// them in a grid. The window has no default button.
class FrmLendQuery : public QWidget {
    Q_OBJECT
public:
    // Design client area in twips.
    static constexpr int kWidthTwips = 10935;
    static constexpr int kHeightTwips = 6135;

    FrmLendQuery(Prompter& prompter, const WindowStyler& styler, QWidget* parent = nullptr);

    // The load steps: the window style; no search runs.
    void Form_Load();

    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtReaderID = nullptr;
    QLineEdit* txtReaderName = nullptr;
    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookName = nullptr;
    QFrame* Frame2 = nullptr;
    QCheckBox* chkMoHu = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* SkinLabel5 = nullptr;
    QTableView* dtgrdLendBook = nullptr;

public slots:
    void cmdFind_Click();
    void cmdClear_Click();
    void cmdClose_Click();

private:
    QGroupBox* buildCriteria();
    QLayout* buildButtons();

    Prompter& m_prompter;
    const WindowStyler& m_styler;
    QueryResultModel* m_results;
};
