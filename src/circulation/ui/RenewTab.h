#pragma once

#include <QWidget>

class BorrowedListModel;
class Prompter;
class QDataWidgetMapper;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableView;

// The renew tab "续借图书": look up a reader, choose one of the reader's
// outstanding loans in the grid and give it a new lend date. The tab keeps
// its own list; the three bound boxes follow the grid's current row.
class RenewTab : public QWidget {
    Q_OBJECT
public:
    RenewTab(Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* txtReaderIDRenew = nullptr;
    QLineEdit* txtReaderNameRenew = nullptr;
    QTableView* dtgrdLendBookRenew = nullptr;
    QLineEdit* txtBookIDRenew = nullptr;
    QLineEdit* txtBookNameRenew = nullptr;
    QLineEdit* txtLendDate = nullptr;
    QDateEdit* dtpLendDateChange = nullptr;
    QPushButton* cmdOK = nullptr;

public slots:
    // Reloads the grid for the number in txtReaderIDRenew.
    void InitDataGrid();
    void txtReaderIDRenew_KeyPress();
    void cmdOK_Click();

private:
    QWidget* buildReaderRow();
    QWidget* buildLoanGroup();
    QWidget* buildRenewRow();
    void followGridRow(int row);

    Prompter& m_prompter;
    BorrowedListModel* m_borrowed = nullptr;
    QDataWidgetMapper* m_mapper = nullptr;
    int m_loanRow = -1;  // the grid row the bound boxes show; -1 for none
};
