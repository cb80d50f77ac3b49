#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

#include "core/logic/KeyedStatement.h"

// The statements behind the two query windows, built from what the clerk
// typed. Every typed value is bound, never part of the text: a quote, a
// percent sign or an underscore is looked for as it stands. All statement
// building for the query windows lives here, so a faster way of finding
// texts can replace it behind the same functions.

// The book query's criteria; an empty text, or no date, gives no condition.
struct BookCriteria {
    QString bookId;        // 书籍编号
    QString bookName;      // 书籍名称
    QString categoryCode;  // 类别代码: the first character of the category box
    QString publisher;     // 出版社
    std::optional<QDate> registered;  // 登记日期, only while its box is ticked
};

// The lending query's criteria; an empty text gives no condition.
struct LendCriteria {
    QString bookId;      // lentInfo.书籍编号
    QString bookName;    // bookInfo.书籍名称
    QString readerId;    // lentInfo.读者编号
    QString readerName;  // readerInfo.读者姓名
};

// The books matching every present criterion, all columns of bookInfo.
// Exact: the column equals the text. Fuzzy: the column contains the text
// anywhere; the registration date is matched on its day either way.
KeyedStatement BuildBookQuery(const BookCriteria& criteria, bool fuzzy);

// Every loan, returned or outstanding, whose reader, book and category exist,
// with eleven columns: 读者编号, 读者姓名, 书籍编号, 书籍名称, 书籍类别, 出版社,
// 书籍页码, 借书日期, 还书日期, 超出天数, 罚款金额; narrowed by every present
// criterion, exactly or fuzzily as above.
KeyedStatement BuildLendQuery(const LendCriteria& criteria, bool fuzzy);

// The columns each query window shows of its statement, in the window's
// order: its grid's, and so its export's and `shelfmark-db export --query`'s.
// The lending query's 超出天数 and 罚款金额 have no column of their own.
const QStringList& BookQueryColumns();
const QStringList& LendQueryColumns();
