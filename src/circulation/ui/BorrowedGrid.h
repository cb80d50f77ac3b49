#pragma once

class BorrowedListModel;
class Prompter;
class QTableView;
class QWidget;

// The desk's borrowed-books grid: a read-only table over a tab's own list,
// showing the eight columns 读者编号, 读者姓名, 书籍编号, 书籍名称, 书籍类别,
// 书籍页码, 出版社, 借书日期 in that order, each captioned with its name,
// with the right-click item 导出… (the reader's whole list).
namespace BorrowedGrid {

QTableView* create(const char* name, BorrowedListModel* model, Prompter& prompter, QWidget* parent);

}  // namespace BorrowedGrid
