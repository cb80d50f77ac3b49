#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

// The catalogue's book rows (bookInfo): registering, changing and deleting
// books. Each save records the book's publisher in the same transaction.
namespace Books {

// A book's catalogue details as the book windows hold them.
struct BookDetails {
    QString number;        // 书籍编号
    QString title;         // 书籍名称
    QString categoryCode;  // 类别代码
    QString publisher;     // 出版社
    QString author;        // 作者姓名
    QString price;         // 书籍价格, as typed
    QString pages;         // 书籍页码, as typed
    QDate registered;      // 登记日期
};

enum class Outcome {
    Done,
    DuplicateNumber,  // a book with this number is in the catalogue already
    NoSuchBook,       // the book was deleted meanwhile
};

// What a new book's publisher, author and pages say when left empty: 不详.
extern const QString kUnspecified;
// The text, or kUnspecified when it is empty (a text of blanks is kept).
QString orUnspecified(const QString& text);
// The book with an empty publisher, author and pages each made kUnspecified,
// as the new-book window saves it.
BookDetails withDefaults(BookDetails book);

// What the clerk is told when a book operation is refused.
QString refusal(Outcome outcome, const QString& number);

// Appends the book, not lent. Throws StoreError.
Outcome RegisterBook(const BookDetails& book);
// Rewrites title, category, publisher, author, price, pages and registration
// date of the book with this number; its number and lent flag stay. Throws StoreError.
Outcome UpdateBook(const QString& number, const BookDetails& book);
// Removes the book with this number; its loans stay. Throws StoreError.
Outcome DeleteBook(const QString& number);

// A new book and its publisher remembered, inside the caller's transaction.
// Throws StoreError.
Outcome addBook(const BookDetails& book);
// The new-book window's save: addBook in a transaction of its own. Throws
// StoreError (nothing written).
Outcome saveNewBook(const BookDetails& book);
// The edit window's save: the changes, and the publisher remembered, in one
// transaction. Throws StoreError (nothing written).
Outcome saveChanges(const QString& number, const BookDetails& book);

// Number of books in the catalogue. Throws StoreError.
int count();
// The category code the book with this number has in the store (empty when
// it has none); nullopt when there is no such book. Throws StoreError.
std::optional<QString> categoryCodeOf(const QString& number);

// Books deleted per step by DeleteAllBooks.
inline constexpr int kDeleteBatch = 20000;
// Deletes every book in one transaction, a batch at a time; after each batch
// calls `afterBatch` with the number deleted so far (the book window runs it
// off its own thread and counts the books in a progress box). Loans
// stay. Returns the number deleted. Throws StoreError: then every book stays.
// One transaction rather than one per batch: each commit would write out
// again every index page the batch touched. The indexes other than the book
// number's are set aside meanwhile and made again, empty, before the commit.
int DeleteAllBooks(const std::function<void(int deleted)>& afterBatch, int batchSize = kDeleteBatch);

}  // namespace Books
