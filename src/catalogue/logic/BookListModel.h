#pragma once

#include <optional>

#include "core/logic/KeyedResultModel.h"
#include "core/logic/KeyedStatement.h"

// A row of the book list as the clerk sees it: the cells' texts.
struct BookListRow {
    QString number;      // 书籍编号
    QString title;       // 书籍名称
    QString category;    // 书籍类别 (the category's name)
    QString publisher;   // 出版社
    QString author;      // 作者姓名
    QString price;       // 书籍价格
    QString pages;       // 书籍页码
    QString registered;  // 登记日期, short form ("" when the book has none)
    QString lent;        // 是否借出
};

// The book list: every book whose category exists, with the category's name,
// in the order the books were registered. Dates read in the short form
// yyyy/M/d, the lent flag as "是" or "否". Read as the grid scrolls, a few
// pages kept, like the query windows' results: a million books scrolled to
// the end hold megabytes.
class BookListModel : public KeyedResultModel {
    Q_OBJECT
public:
    enum Column { Number, Title, Category, Publisher, Author, Price, Pages, Registered, Lent, ColumnCount };

    explicit BookListModel(QObject* parent = nullptr);

    // The list's query (the nine columns, books joined with their category)
    // keyed by the books' rowids, with the statement that reads one listed
    // book again.
    static KeyedStatement statement();

    // Runs the list's query again. Throws StoreError; the old rows stay then.
    void load();
    // The cells of a listed row; nullopt when there is no such row.
    std::optional<BookListRow> rowAt(int row) const;
};
