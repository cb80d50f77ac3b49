#pragma once

#include <QString>
#include <initializer_list>

class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The building blocks the three desk tabs share: pale cyan input boxes,
// read-only display boxes, captions that name their box, the Enter hint and
// the short-date pickers.
namespace DeskForm {

// The background of the desk's input boxes.
inline constexpr int kInputRed = 192, kInputGreen = 255, kInputBlue = 255;

QLineEdit* inputBox(const char* name, QWidget* parent);
QLineEdit* displayBox(const char* name, QWidget* parent);
QDateEdit* datePicker(const char* name, QWidget* parent);
// A button named by its caption; Enter presses it when it has the focus.
QPushButton* button(const QString& caption, const char* name, QWidget* parent);
// The caption beside a box, with the box as its buddy.
QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent);
// The hint beside an input box: "<输完按回车>".
QLabel* enterHint(QWidget* parent);
// Puts caption + box (+ hint) in one row of a grid at the given column.
void addRow(QGridLayout* grid, int row, int column, const QString& text, QWidget* box,
            bool withHint = false);

// Empties the boxes in the order given.
void clear(std::initializer_list<QLineEdit*> boxes);
// Moves the focus to a box and selects its text, so the next scan replaces it.
void focusBox(QLineEdit* box);

}  // namespace DeskForm
