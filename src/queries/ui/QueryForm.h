#pragma once

#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The pieces both query windows are built from.
namespace QueryForm {

QLineEdit* textBox(const char* name, QWidget* parent);
// A button named by its caption; Enter presses it while it has the focus.
QPushButton* button(const QString& caption, const char* name, QWidget* parent);
// A caption with its box as buddy, so the box is named by it.
QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent);
// Caption and box side by side in one row of a grid, from the given column.
void addRow(QGridLayout* grid, int row, int column, const QString& text, QWidget* box);

}  // namespace QueryForm
