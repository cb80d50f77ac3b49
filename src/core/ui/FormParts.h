#pragma once

#include <QString>

class QAbstractItemModel;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

// Building blocks every window shares: named buttons, captions that name
// their box, short-date pickers, read-only grids, and window sizes designed
// in twips.
namespace FormParts {

// A text box with its name.
QLineEdit* textBox(const char* name, QWidget* parent);
// A button named by its caption; Enter presses it when it has the focus.
QPushButton* button(const QString& caption, const char* name, QWidget* parent);
// The caption beside a box, with the box as its buddy.
QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent);
// A date picker showing the short form yyyy/M/d, with a calendar to pick from.
QDateEdit* datePicker(const char* name, QWidget* parent);
// A read-only grid over a model: whole rows selected one at a time, Tab
// leaves the grid, rows of the desk's height.
QTableView* readOnlyGrid(const char* name, QAbstractItemModel* model, QWidget* parent);

// The window frame around the client area, in twips: the borders left and
// right, and the title bar with the borders above and below.
inline constexpr int kFrameWidthTwips = 120;
inline constexpr int kFrameHeightTwips = 405;
// Fixes a window at its designed outer size in twips.
void fixOuterSize(QWidget* window, int outerWidthTwips, int outerHeightTwips);

}  // namespace FormParts
