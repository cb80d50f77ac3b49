#include <gtest/gtest.h>

#include "TempLibrary.h"
#include "core/logic/Database.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "core/logic/Transaction.h"

namespace {

const QString kInsertReader =
    QStringLiteral("INSERT INTO readerInfo (读者编号, 读者姓名) VALUES (:number, :name)");

int readerCount(TempLibrary& library)
{
    return library.scalar("SELECT count(*) FROM readerInfo").toInt();
}

}  // namespace

TEST(Statements, TypedCharactersReachTheStoreAsData)
{
    TempLibrary library;
    for (const QString& name : {QStringLiteral("O'Brien"), QStringLiteral("100%_\"; DROP TABLE readerInfo; --")}) {
        Sql::run(kInsertReader, {{"number", name.left(3)}, {"name", name}}, "登记读者");
        QSqlQuery query = Sql::run("SELECT 读者姓名 FROM readerInfo WHERE 读者编号 = :number",
                                   {{"number", name.left(3)}}, "查找读者");
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), name);
    }
    EXPECT_EQ(readerCount(library), 2);
}

TEST(Statements, RefusalNamesTheActionAndCarriesTheEngineText)
{
    TempLibrary library;
    try {
        Sql::run("UPDATE basicSet SET 借出册数 = :quota", {{"quota", "很多"}}, "保存借阅规则");
        FAIL() << "a text in a whole-number column must be refused";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.action(), QStringLiteral("保存借阅规则"));
        EXPECT_FALSE(error.engineText().isEmpty());
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("保存借阅规则失败!")));
        EXPECT_TRUE(error.message().contains(error.engineText()));
    }
    EXPECT_EQ(library.scalar("SELECT 借出册数 FROM basicSet").toInt(), 2);
}

TEST(Transactions, AFailedStepLeavesNothingHalfWritten)
{
    TempLibrary library;
    try {
        Transaction transaction("登记读者");
        Sql::run(kInsertReader, {{"number", "001"}, {"name", "张三"}}, "登记读者");
        Sql::run(kInsertReader, {{"number", "001"}, {"name", "李四"}}, "登记读者");  // same key
        transaction.commit();
        FAIL() << "a duplicate reader number must be refused";
    } catch (const StoreError&) {
    }
    EXPECT_EQ(readerCount(library), 0);

    // The connection goes on working after the rollback.
    {
        Transaction transaction("登记读者");
        Sql::run(kInsertReader, {{"number", "001"}, {"name", "张三"}}, "登记读者");
        transaction.commit();
    }
    EXPECT_EQ(readerCount(library), 1);
}

TEST(Transactions, CommittedChangesSurviveReopening)
{
    TempLibrary library;
    {
        Transaction transaction("登记读者");
        Sql::run(kInsertReader, {{"number", "007"}, {"name", "王五"}}, "登记读者");
        transaction.commit();
    }
    Database::close();
    QString error;
    ASSERT_TRUE(Database::open(library.databasePath(), &error)) << error.toStdString();
    EXPECT_EQ(library.scalar("SELECT 读者姓名 FROM readerInfo WHERE 读者编号 = '007'").toString(),
              QStringLiteral("王五"));
    EXPECT_EQ(library.scalar("PRAGMA journal_mode").toString(), QStringLiteral("wal"));
    EXPECT_EQ(library.scalar("PRAGMA synchronous").toInt(), 2) << "FULL";
}

TEST(Statements, DatesAreKeptAsIsoTextAndReadBack)
{
    TempLibrary library;
    EXPECT_EQ(Sql::dateValue(QDate(2026, 3, 1)).toString(), QStringLiteral("2026-03-01"));
    EXPECT_TRUE(Sql::dateValue(QDate()).isNull());
    EXPECT_EQ(Sql::toDate(QStringLiteral("2026-03-01")), QDate(2026, 3, 1));
    EXPECT_FALSE(Sql::toDate(QVariant()).isValid());
}

namespace {
QString keptReaderName(const QString& number)
{
    return Sql::withKept("SELECT 读者姓名 FROM readerInfo WHERE 读者编号 = :number", {{"number", number}},
                         "查找读者", [](QSqlQuery& query) {
                             return query.next() ? query.value(0).toString() : QString();
                         });
}
}  // namespace

TEST(KeptStatements, BelongToTheConnectionTheyWerePreparedOn)
{
    {
        TempLibrary first;
        first.addReader("001", "张三");
        EXPECT_EQ(keptReaderName("001"), QStringLiteral("张三"));
        EXPECT_EQ(keptReaderName("002"), QString());
    }
    TempLibrary second;
    second.addReader("001", "李四");
    EXPECT_EQ(keptReaderName("001"), QStringLiteral("李四"));
}

TEST(KeptStatements, HoldNoReadSnapshotBetweenLookups)
{
    TempLibrary library;
    library.addReader("001", "张三");
    library.addReader("002", "李四");
    EXPECT_EQ(keptReaderName("001"), QStringLiteral("张三"));
    library.exec("UPDATE readerInfo SET 读者姓名 = '王五' WHERE 读者编号 = '002'");
    // A statement left open would keep the log from being emptied.
    QSqlQuery checkpoint(Database::connection());
    ASSERT_TRUE(checkpoint.exec("PRAGMA wal_checkpoint(TRUNCATE)"));
    ASSERT_TRUE(checkpoint.next());
    EXPECT_EQ(checkpoint.value(0).toInt(), 0) << "checkpoint was blocked";
    EXPECT_EQ(keptReaderName("002"), QStringLiteral("王五"));
}
