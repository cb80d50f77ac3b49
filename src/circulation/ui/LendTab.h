#pragma once

#include <QDate>
#include <QWidget>

class BorrowedListModel;
class Prompter;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
struct BookOnDesk;

// The lend tab "正常借书": look up a reader and a book, lend the book, and
// see the reader's outstanding loans with the quota left. Keyboard flow:
// reader number, Enter → book number, Enter → 借出当前图书, Enter → next book.
class LendTab : public QWidget {
    Q_OBJECT
public:
    LendTab(Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookPrice = nullptr;
    QLineEdit* txtBookName = nullptr;
    QLineEdit* txtBookLeibie = nullptr;
    QLineEdit* txtBookConcern = nullptr;
    QLineEdit* txtBookPage = nullptr;
    QDateEdit* dtpLendDate = nullptr;
    QPushButton* cmdLendBook = nullptr;
    QLineEdit* txtReaderID = nullptr;
    QLineEdit* txtReaderName = nullptr;
    QPushButton* cmdReaderInfo = nullptr;
    QLabel* lblGrid = nullptr;
    QTableView* dtgrdLendBook = nullptr;
    QLabel* lblLendCount = nullptr;
    QLabel* lblRemainCaption = nullptr;
    QLabel* lblRemain = nullptr;

signals:
    // The clerk asked for the reader window in its add-reader mode.
    void readerWindowRequested();
    // A loan was made and stands (the list already shows it).
    void bookLent(const QString& readerNumber, const QString& bookNumber, const QDate& lendDate);

public slots:
    // Reloads the list, lblLendCount and lblRemain for the number in txtReaderID.
    void InitDataGrid();
    void txtBookID_KeyPress();
    void txtReaderID_KeyPress();
    void cmdReaderInfo_Click();
    void cmdLendBook_Click();

private:
    QGroupBox* buildBookGroup();
    QGroupBox* buildReaderGroup();
    void showBook(const BookOnDesk& book);
    void clearBookBoxes();

    Prompter& m_prompter;
    BorrowedListModel* m_borrowed = nullptr;
};
