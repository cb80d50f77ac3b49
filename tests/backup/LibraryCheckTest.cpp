#include <gtest/gtest.h>

#include "TempLibrary.h"
#include "backup/logic/LibraryCheck.h"

namespace {

// A small library: two books, one of them out on an open loan, one returned loan.
void fill(TempLibrary& library)
{
    library.addCategory(QStringLiteral("A"), QStringLiteral("文学"), 30);
    library.addBook(QStringLiteral("B-001"), QStringLiteral("红楼梦"), QStringLiteral("A"), true);
    library.addBook(QStringLiteral("B-002"), QStringLiteral("西游记"), QStringLiteral("A"));
    library.addReader(QStringLiteral("R01"), QStringLiteral("张三"));
    library.addLoan(QStringLiteral("R01"), QStringLiteral("b-001"), QStringLiteral("2026-11-01"));
    library.addLoan(QStringLiteral("R01"), QStringLiteral("B-002"), QStringLiteral("2026-10-01"),
                    QStringLiteral("2026-10-09"));
}

QList<LibraryCheck::Finding> check(const TempLibrary& library)
{
    return LibraryCheck::run(TempLibrary::onServer() ? QString() : library.databasePath());
}

// A sound library passes; each kind of damage fails with its own status and
// one finding naming the book.
TEST(LibraryCheck, EachKindOfDamageFailsWithItsOwnStatus)
{
    struct Damage {
        const char* name;
        QStringList statements;
        int status;
        const char* named;  // the book the finding names; null: no finding
        bool fileOnly;      // the server keeps its index on the books themselves
    };
    const Damage damages[] = {
        {"none", {}, 0, nullptr, false},
        {"flag without a loan", {QStringLiteral("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = 'B-002'")},
         LibraryCheck::FlagWithoutLoan, "B-002", false},
        {"flag with two loans",
         {QStringLiteral("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期) VALUES ('R01', 'B-001', '2026-11-02')")},
         LibraryCheck::FlagWithoutLoan, "B-001", false},
        {"loan on a book not marked lent", {QStringLiteral("UPDATE bookInfo SET 是否借出 = 0 WHERE 书籍编号 = 'B-001'")},
         LibraryCheck::LoanWithoutFlag, "b-001", false},
        {"loan on no book",
         {QStringLiteral("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期) VALUES ('R01', 'X-9', '2026-11-02')")},
         LibraryCheck::LoanWithoutFlag, "X-9", false},
        {"a book without its search words",
         {QStringLiteral("DROP TRIGGER bookInfo_search_insert"),
          QStringLiteral("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码) VALUES ('C-3', '水浒传', 'A')")},
         LibraryCheck::SearchIndex, "C-3", true},
        {"a file not stamped as ours (a server checks its own pages)", {QStringLiteral("PRAGMA application_id = 7")},
         LibraryCheck::Integrity, "", true},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        if (damage.fileOnly && TempLibrary::onServer())
            continue;
        TempLibrary library;
        fill(library);
        for (const QString& statement : damage.statements)
            library.exec(statement);
        const QList<LibraryCheck::Finding> findings = check(library);
        EXPECT_EQ(LibraryCheck::status(findings), damage.status);
        EXPECT_EQ(findings.size(), damage.named ? 1 : 0) << findings.value(0).text.toStdString();
        if (damage.named)
            EXPECT_TRUE(findings.value(0).text.contains(QLatin1String(damage.named))) << findings.value(0).text.toStdString();
    }
}

}  // namespace
