#pragma once

#include <QWidget>
#include <optional>

#include "catalogue/logic/BookListModel.h"

class BookFieldsFrame;
class Clock;
class Prompter;
class PublisherSuggestions;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class WindowStyler;

// The edit window "正在修改图书": takes over one row of the book list and
// saves its changes over that book (its number and lent flag stay).
class FrmUpdateBook : public QWidget {
    Q_OBJECT
public:
    // Outer size in twips.
    static constexpr int kWidthTwips = 7470;
    static constexpr int kHeightTwips = 4410;

    // `row` is the book list's current row, whose book this window edits.
    FrmUpdateBook(Prompter& prompter, const Clock& clock, const WindowStyler& styler, const BookListRow& row,
                  QWidget* parent = nullptr);

    // The load steps: the window style, the category list, the row's cells
    // into the boxes, the book's own category from the store; then ready (1).
    void Form_Load();

    // 0 while the window takes over its book (no publisher suggestions are
    // shown), 1 when ready. The book list sets 0 before it shows the window.
    qint16 SuggestEnabled() const { return m_suggestEnabled; }
    void setSuggestEnabled(qint16 value);

    BookFieldsFrame* bookFrame = nullptr;
    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookName = nullptr;
    QComboBox* cboType = nullptr;
    QLineEdit* txtBookConcern = nullptr;
    QLineEdit* txtWriter = nullptr;
    QDateEdit* dtpRigDate = nullptr;
    QLineEdit* txtPage = nullptr;
    QLineEdit* txtPrice = nullptr;
    PublisherSuggestions* publisherList = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;

signals:
    // Saving or "退出" asks the book list to show the catalogue again.
    void bookListRefreshRequested();

public slots:
    void cmdSave_Click();
    void cmdClose_Click();

private:
    void takeOverRow();
    void showStoredCategory();
    QString chosenCategoryCode() const;

    Prompter& m_prompter;
    const Clock& m_clock;
    const WindowStyler& m_styler;
    BookListRow m_row;
    qint16 m_suggestEnabled = 0;
    // The row had no registration date and the clerk has not picked one: a
    // save leaves the date empty rather than writing the picker's stand-in.
    bool m_dateUnknown = false;
    // The book's category code as the store held it at load (nullopt when
    // the book was not found), and the category text the box showed then.
    std::optional<QString> m_storedCode;
    QString m_shownCategory;
};
