#pragma once

#include <QWidget>

class Clock;
class Prompter;
class QLineEdit;
class QPushButton;
struct LoanOnDesk;

// The return tab "还  书": look up the reader and the book's outstanding
// loan, see the days out, the overdue days and the fine, and close the loan.
// Keyboard flow: reader number, Enter → book number, Enter → 归还图书,
// Enter → the next reader.
class ReturnTab : public QWidget {
    Q_OBJECT
public:
    ReturnTab(Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);

    QLineEdit* txtReadIDReturn = nullptr;
    QLineEdit* txtReaderNameReturn = nullptr;
    QLineEdit* txtBookIDReturn = nullptr;
    QLineEdit* txtBookPriceReturn = nullptr;
    QLineEdit* txtBookNameReturn = nullptr;
    QLineEdit* txtBookLeibieReturn = nullptr;
    QLineEdit* txtBookPageReturn = nullptr;
    QLineEdit* txtLendDateReturn = nullptr;
    QLineEdit* txtDay = nullptr;
    QLineEdit* txtReturnDate = nullptr;
    QLineEdit* txtFactDay = nullptr;
    QLineEdit* txtDayCount = nullptr;
    QLineEdit* txtFakuan = nullptr;
    QPushButton* cmdReturn = nullptr;

signals:
    // A reader was found: the lend tab's list is to be reloaded.
    void readerFound();
    // A loan was found: the lend tab's button is to be usable again.
    void loanFound();

public slots:
    void txtReadIDReturn_KeyPress();
    void txtBookIDReturn_KeyPress();
    void cmdReturn_Click();

private:
    QWidget* buildReaderRow();
    QWidget* buildLoanGroup();
    void showLoan(const LoanOnDesk& loan);
    void clearAfterFailedLookup();

    Prompter& m_prompter;
    const Clock& m_clock;
    qint64 m_loanId = 0;  // the loan on screen; 0 for none
};
