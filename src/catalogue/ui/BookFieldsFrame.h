#pragma once

#include <QGroupBox>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

// The frame "书籍信息" of the new-book and edit windows: eight inputs in two
// columns of four rows, each captioned on its left: number | title,
// category | publisher, author | registration date, pages | price.
class BookFieldsFrame : public QGroupBox {
    Q_OBJECT
public:
    // `priceName` names the price box (the two windows name it differently).
    BookFieldsFrame(const QString& title, const char* priceName, QWidget* parent);

    QLineEdit* txtBookID = nullptr;
    QLineEdit* txtBookName = nullptr;
    QComboBox* cboType = nullptr;
    QLineEdit* txtBookConcern = nullptr;
    QLineEdit* txtWriter = nullptr;
    QDateEdit* dtpRigDate = nullptr;
    QLineEdit* txtPage = nullptr;
    QLineEdit* price = nullptr;

    // Fills the category box with the items, none chosen (text empty).
    void setCategoryItems(const QStringList& items);
    // Lays out `window`: this frame above one row of buttons (centred, or
    // at the right), Tab visiting the eight inputs and then the buttons.
    void placeInWindow(QWidget* window, const QList<QPushButton*>& buttons, bool centred);
};
