#pragma once

#include <QWidget>

class BookFieldsFrame;
class Clock;
class Prompter;
class PublisherSuggestions;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class WindowStyler;

// The new-book window "添加新书": one book's details, saved as a new catalogue
// row (not lent) with its publisher remembered. The boxes keep their
// contents after a save; "清空" empties them.
class FrmAddnew : public QWidget {
    Q_OBJECT
public:
    // Outer size in twips.
    static constexpr int kWidthTwips = 6495;
    static constexpr int kHeightTwips = 4365;

    FrmAddnew(Prompter& prompter, const Clock& clock, const WindowStyler& styler, QWidget* parent = nullptr);

    // The load steps: today's date, the window style, the category list.
    void Form_Load();

    BookFieldsFrame* bookFrame = nullptr;
    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookName = nullptr;
    QComboBox* cboType = nullptr;
    QLineEdit* txtBookConcern = nullptr;
    QLineEdit* txtWriter = nullptr;
    QDateEdit* dtpRigDate = nullptr;
    QLineEdit* txtPage = nullptr;
    QLineEdit* txtBookPrice = nullptr;
    PublisherSuggestions* publisherList = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClose = nullptr;

signals:
    // "关闭" asks the book list to show the catalogue again.
    void bookListRefreshRequested();

public slots:
    void cmdSave_Click();
    void cmdClear_Click();
    void cmdClose_Click();

private:
    // The checks and defaults of a save, in their order; false with the
    // clerk told when a check fails.
    bool checkAndFillDefaults();
    void save();

    Prompter& m_prompter;
    const Clock& m_clock;
    const WindowStyler& m_styler;
};
