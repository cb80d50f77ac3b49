#pragma once

#include <QString>
#include <optional>

// A book as the lend desk shows it: its catalogue row joined with its category.
struct BookOnDesk {
    QString title;      // 书籍名称
    QString price;      // 书籍价格
    QString publisher;  // 出版社
    QString pages;      // 书籍页码
    QString category;   // bookType.书籍类别
    bool lent = false;  // 是否借出
};

namespace BookLookup {

// The book with this number, or nullopt when there is none (or its category
// is missing). Empty columns come back as empty texts. Throws StoreError.
std::optional<BookOnDesk> find(const QString& bookNumber);

}  // namespace BookLookup
