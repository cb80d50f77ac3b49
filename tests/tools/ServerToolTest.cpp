#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "DbTool.h"
#include "Probes.h"
#include "QtPrinters.h"
#include "ServerTool.h"
#include "TempLibrary.h"
#include "circulation/logic/Lending.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "core/logic/KeyedStatement.h"
#include "queries/logic/QueryBuilder.h"

// shelfmark-db for a library on a server: made there, copied there from a
// file and back, each table's rows whole and in their order.
namespace {

const QDate kToday(2026, 3, 20);

// Every table's rows in their order, as the store gives them.
QStringList everyRow()
{
    const char* const tables[] = {
        "SELECT 类别代码, 书籍类别, 借出天数 FROM bookType ORDER BY rowid",
        "SELECT 书籍编号, 书籍名称, 书籍价格, 出版社, 书籍页码, 类别代码, 作者姓名, 登记日期, 是否借出"
        " FROM bookInfo ORDER BY rowid",
        "SELECT 读者编号, 书籍编号, 借书日期, 还书日期, 超出天数, 罚款金额 FROM lentInfo ORDER BY rowid",
        "SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo ORDER BY rowid",
        "SELECT 借出册数, 罚款 FROM basicSet ORDER BY rowid",
        "SELECT 出版社 FROM bookconcernList ORDER BY rowid",
    };
    QStringList rows;
    for (const char* select : tables)
        rows << storeRows(select, "\n");
    return rows;
}

// The book numbers a fuzzy title search finds, in the grid's order.
QStringList titleSearch(const QString& text)
{
    const KeyedStatement statement = BuildBookQuery({.bookName = text}, true);
    QSqlQuery query(Database::connection());
    EXPECT_TRUE(query.prepare(statement.text));
    for (const QVariant& value : statement.values)
        query.addBindValue(value);
    EXPECT_TRUE(query.exec());
    QStringList numbers;
    while (query.next())
        numbers << query.value(0).toString();
    return numbers;
}

QString fileIn(const QString& dir)
{
    return QDir(dir).filePath("mdb/Shelfmark.mdb");
}

struct ServerTool_ : ::testing::Test {
    void SetUp() override
    {
        if (!TempLibrary::onServer())
            GTEST_SKIP() << "needs the tests' server";
    }
    QTemporaryDir dir;
    QString message;
};

}  // namespace

TEST_F(ServerTool_, CreateLaysOutTheLibraryOnceAndPointsTheProgramAtIt)
{
    TempServerDatabase database;
    ASSERT_EQ(ServerTool::create(dir.path(), database.server(), &message), 0) << message.toStdString();
    EXPECT_TRUE(message.contains(database.server().describe())) << message.toStdString();
    QString error;
    const std::optional<ServerSettings> named = LibraryLocation::server(dir.path(), &error);
    ASSERT_TRUE(named) << error.toStdString();
    EXPECT_EQ(named->describe(), database.server().describe());
    ASSERT_TRUE(LibraryLocation::open(dir.path(), &error)) << error.toStdString();
    EXPECT_EQ(storeRows("SELECT 借出册数, 罚款 FROM basicSet"), "2|0.1");
    EXPECT_EQ(storeRows("SELECT application, schema_version FROM shelfmark_library"), "shelfmark|1");
    EXPECT_EQ(storeRows("SELECT count(*) FROM bookInfo"), "0");
    Database::close();

    EXPECT_EQ(ServerTool::create(dir.path(), database.server(), &message), 1);
    EXPECT_TRUE(message.contains("已经有数据表,不会覆盖")) << message.toStdString();
    ASSERT_TRUE(LibraryLocation::open(dir.path(), &error)) << error.toStdString();
    EXPECT_EQ(storeRows("SELECT count(*) FROM basicSet"), "1");
}

// A library made by an earlier version (its folding written with translate())
// brought up to this one, and the upgrade run again: texts still fold A-Z
// only, the keys over the folded texts still hold, the searches find the same.
TEST_F(ServerTool_, UpgradeMayRunAgainAndKeepsTheFoldingAndItsIndexes)
{
    TempServerDatabase database;
    ASSERT_EQ(ServerTool::create(dir.path(), database.server(), &message), 0) << message.toStdString();
    QString error;
    ASSERT_TRUE(LibraryLocation::open(dir.path(), &error)) << error.toStdString();
    Sql::execute("CREATE OR REPLACE FUNCTION shelfmark_fold(t text) RETURNS text LANGUAGE sql IMMUTABLE"
                 " RETURN translate(t, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')", "准备");
    for (const char* book : {"INSERT INTO bookInfo (书籍编号, 书籍名称) VALUES ('B001', 'Ëlan Python程序')",
                             "INSERT INTO bookInfo (书籍编号, 书籍名称) VALUES ('B002', 'ëlan PYTHON')"})
        Sql::execute(book, "准备");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_NO_THROW(LibrarySchema::upgrade());
        EXPECT_EQ(storeRows("SELECT shelfmark_fold(书籍名称) FROM bookInfo ORDER BY rowid"),
                  "Ëlan python程序,ëlan python");
        EXPECT_THROW(Sql::execute("INSERT INTO bookInfo (书籍编号) VALUES ('b001')", "登记"), StoreError);
        EXPECT_EQ(titleSearch("python"), (QStringList{"B001", "B002"}));
        EXPECT_EQ(titleSearch("ËLAN"), QStringList{"B001"});
        EXPECT_EQ(titleSearch("程序"), QStringList{"B001"});
    }
    Database::close();
}

// A file library copied onto the server holds the same rows in the same order
// and lends as the file did; copied back into a file it holds them again.
TEST_F(ServerTool_, CopyMovesEveryRowToTheServerAndBack)
{
    ASSERT_EQ(DbTool::demo(dir.path(), &message), 0) << message.toStdString();
    QString error;
    ASSERT_TRUE(Database::open(fileIn(dir.path()), &error)) << error.toStdString();
    const QStringList before = everyRow();
    const QString word = storeRows("SELECT 书籍名称 FROM bookInfo ORDER BY rowid LIMIT 1").left(2);
    const QStringList found = titleSearch(word);
    Database::close();
    ASSERT_FALSE(found.isEmpty());
    ASSERT_GT(before[1].count('\n'), 100) << "the demo has books";

    TempServerDatabase database;
    ASSERT_EQ(ServerTool::copyToServer(dir.path(), database.server(), &message), 0) << message.toStdString();
    ASSERT_TRUE(LibraryLocation::open(dir.path(), &error)) << error.toStdString();
    ASSERT_TRUE(Database::server());
    EXPECT_EQ(everyRow(), before);
    EXPECT_EQ(titleSearch(word), found);
    // The server library lends like any other: the next loan is the last row.
    const QString free = storeRows("SELECT 书籍编号 FROM bookInfo WHERE 是否借出 = 0 ORDER BY rowid LIMIT 1");
    EXPECT_EQ(Lending::lend("001", free, kToday), Lending::Outcome::Lent);
    EXPECT_EQ(storeRows("SELECT 读者编号, 书籍编号 FROM lentInfo ORDER BY rowid DESC LIMIT 1"), "001|" + free);
    Database::close();

    EXPECT_EQ(ServerTool::copyToServer(dir.path(), database.server(), &message), 1) << "the server holds a library";
    EXPECT_EQ(ServerTool::copyToFile(dir.path(), &message), 1) << "the file is there";
    EXPECT_TRUE(message.contains("已经存在,不会覆盖")) << message.toStdString();

    QTemporaryDir back;
    QDir(back.path()).mkpath("dat");
    ASSERT_TRUE(QFile::copy(QDir(dir.path()).filePath("dat/library.ini"), QDir(back.path()).filePath("dat/library.ini")));
    ASSERT_EQ(ServerTool::copyToFile(back.path(), &message), 0) << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(back.path()).filePath("dat/library.ini")));
    ASSERT_TRUE(LibraryLocation::open(back.path(), &error)) << error.toStdString();
    EXPECT_FALSE(Database::server());
    QStringList after = before;
    after[2] += "\n001|" + free + "|2026-03-20|||";
    after[1].replace(QRegularExpression("^(" + QRegularExpression::escape(free) + "\\|.*)\\|0$",
                                        QRegularExpression::MultilineOption),
                     "\\1|1");
    EXPECT_EQ(everyRow(), after);
    // The file's own search index was made for the books copied in.
    EXPECT_EQ(titleSearch(word), found);
    Database::close();
}
