#pragma once

#include <QString>
#include <initializer_list>

#include "core/ui/FormParts.h"

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
// Named buttons, captions with their box as buddy and short-date pickers,
// as every window has them.
using FormParts::button;
using FormParts::caption;
using FormParts::datePicker;
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
