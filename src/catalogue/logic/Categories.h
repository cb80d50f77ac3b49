#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// The book categories (bookType): code, name and loan period. Every write
// checks what the store would refuse first and says why, writing nothing.
namespace Categories {

struct Category {
    QString code;      // 类别代码
    QString name;      // 书籍类别
    QVariant loanDays; // 借出天数 (null when the row has none)
};

enum class Outcome {
    Saved,
    Deleted,
    NoCode,          // an empty code would make a category no book window can choose
    DuplicateCode,   // a category with this code exists already
    BadLoanDays,     // empty, not a number, or outside -32768 ... 32767
    NoSuchCategory,  // the category was deleted meanwhile
};

// What the clerk is told for an outcome about the category with this code.
QString message(Outcome outcome, const QString& code);

// Appends a category; loan days are the text rounded to a 16-bit whole number
// (halves to the even neighbour). Throws StoreError.
Outcome AddCategory(const QString& code, const QString& name, const QString& loanDaysText);
// Rewrites the name and loan days of the category with this code; the code
// itself is never rewritten. Throws StoreError.
Outcome UpdateCategory(const QString& code, const QString& name, const QString& loanDaysText);
// Removes the category with this code; its books keep their code. Throws StoreError.
Outcome DeleteCategory(const QString& code);

// Every category in table order. Throws StoreError.
QList<Category> all();
// The category items (code + "-" + name) in table order. Throws StoreError.
QStringList LoadCategoryItems();
// The code of a category item: its first character ("" for "").
QString CategoryCodeOf(const QString& item);
// The category with this code, matched as the store matches codes (the
// books' join); nullopt when there is none. Throws StoreError.
std::optional<Category> find(const QString& code);
// A category's item: code + "-" + name.
QString itemOf(const Category& category);

}  // namespace Categories
