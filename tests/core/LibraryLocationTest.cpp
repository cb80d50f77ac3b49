#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include "Probes.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"
#include "core/logic/Transaction.h"

// Where the program finds its library at start: the file beside it, or the
// server dat/library.ini names, reached before the clerk signs in.
namespace {

void writeIni(const QString& dir, const QByteArray& text)
{
    QDir(dir).mkpath("dat");
    putBytes(QDir(dir).filePath("dat/library.ini"), text);
}

int readers()
{
    QSqlQuery query = Sql::run("SELECT count(*) FROM readerInfo", {}, "读取");
    return query.next() ? query.value(0).toInt() : -1;
}

struct Location : ::testing::Test {
    ~Location() override { LibraryLocation::forget(); }
    TempLibrary library;
    ScriptedPrompter prompter;
};

}  // namespace

// A server file that cannot be used, or a server that cannot be reached, is
// told naming the file or the server; nothing is asked and nothing opened.
TEST_F(Location, AServerThatCannotBeUsedIsNamed)
{
    const struct { const char* ini; const char* said; } cases[] = {
        {"[library]\nengine=postgresql\nhost=/nowhere\nuser=desk\n", "没有写明数据库名"},
        {"[library]\nengine=postgresql\nport=54x\ndbname=lib\n", "\"54x\" 不是有效的端口号"},
        {"[library]\nengine=postgresql\nhost=/nowhere\nport=5999\ndbname=lib\nuser=desk\n",
         "无法连接数据库服务器 desk@/nowhere:5999/lib"},
    };
    Database::close();
    for (const auto& c : cases) {
        writeIni(library.dir(), c.ini);
        QString error;
        EXPECT_FALSE(LibraryLocation::prepare(library.dir(), prompter, &error)) << c.ini;
        EXPECT_TRUE(error.contains(c.said)) << error.toStdString();
        EXPECT_FALSE(LibraryLocation::open(library.dir(), &error)) << c.ini;
        EXPECT_FALSE(Database::isOpen());
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
    // Another engine named: the file library, as without the file.
    writeIni(library.dir(), "[library]\nengine=sqlite\n");
    QString error;
    EXPECT_TRUE(LibraryLocation::prepare(library.dir(), prompter, &error)) << error.toStdString();
}

TEST_F(Location, TheServerFileOpensTheLibraryOnTheServer)
{
    if (!TempLibrary::onServer())
        GTEST_SKIP() << "needs the tests' server";
    library.addReader("001", "张三");
    const QString ascii = library.server().dbname + "_ascii";
    library.exec(QString("CREATE DATABASE %1 ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0")
                     .arg(ascii));
    ASSERT_TRUE(library.server().writeIni(QDir(library.dir()).filePath("dat/library.ini")));
    Database::close();
    QString error;
    ASSERT_TRUE(LibraryLocation::prepare(library.dir(), prompter, &error)) << error.toStdString();
    EXPECT_FALSE(Database::isOpen()) << "opened by the main window, not before sign-in";
    ASSERT_TRUE(LibraryLocation::open(library.dir(), &error)) << error.toStdString();
    ASSERT_TRUE(Database::server());
    EXPECT_EQ(Database::server()->dbname, library.server().dbname);
    EXPECT_EQ(readers(), 1);
    EXPECT_TRUE(prompter.shown.isEmpty()) << "the tests' server asks no password";

    // A database on the server that holds no library.
    ServerSettings other = library.server();
    other.dbname = "postgres";
    ASSERT_TRUE(other.writeIni(QDir(library.dir()).filePath("dat/library.ini")));
    EXPECT_FALSE(LibraryLocation::prepare(library.dir(), prompter, &error));
    EXPECT_TRUE(error.contains("缺少数据表 bookInfo")) << error.toStdString();

    // A database that does not keep its texts in UTF-8.
    other.dbname = ascii;
    ASSERT_TRUE(other.writeIni(QDir(library.dir()).filePath("dat/library.ini")));
    EXPECT_FALSE(LibraryLocation::prepare(library.dir(), prompter, &error));
    EXPECT_TRUE(error.contains("的编码是 SQL_ASCII, 不是 UTF-8")) << error.toStdString();
    ASSERT_TRUE(library.reopen(&error)) << error.toStdString();
    library.exec(QString("DROP DATABASE %1 WITH (FORCE)").arg(ascii));
}

// A role that must give a password, with no password file: asked once,
// masked, before sign-in; a wrong or no password ends there; the right one
// serves the connections opened later without asking again. The role may
// only read and write the library's tables, and the desk's writes work.
TEST_F(Location, APasswordIsAskedOnceWhenThePasswordFileHasNone)
{
    if (!TempLibrary::onServer())
        GTEST_SKIP() << "needs the tests' server";
    library.exec("DO $$ BEGIN CREATE ROLE shelfmark_password LOGIN PASSWORD 'geheim';"
                 " EXCEPTION WHEN duplicate_object THEN NULL; END $$");
    library.exec("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO shelfmark_password");
    ServerSettings desk = library.server();
    desk.user = "shelfmark_password";
    ASSERT_TRUE(desk.writeIni(QDir(library.dir()).filePath("dat/library.ini")));
    Database::close();
    qputenv("PGPASSFILE", QFile::encodeName(library.path("no-such-pgpass")));

    QString error;
    prompter.inputAnswers << "wrong" << QString() << "geheim";
    EXPECT_FALSE(LibraryLocation::prepare(library.dir(), prompter, &error));
    EXPECT_TRUE(error.startsWith("无法连接数据库服务器 shelfmark_password@")) << error.toStdString();
    EXPECT_FALSE(LibraryLocation::prepare(library.dir(), prompter, &error));
    EXPECT_TRUE(error.endsWith("没有输入密码")) << error.toStdString();
    ASSERT_TRUE(LibraryLocation::prepare(library.dir(), prompter, &error)) << error.toStdString();
    ASSERT_EQ(prompter.shown.size(), 3);
    EXPECT_EQ(prompter.shown[0].text, "请输入数据库服务器 " + desk.describe() + " 的密码:");

    ASSERT_TRUE(LibraryLocation::open(library.dir(), &error)) << error.toStdString();
    EXPECT_EQ(prompter.shown.size(), 3);
    {
        Transaction transaction("登记读者");
        Sql::run("INSERT INTO readerInfo (读者编号, 读者姓名) VALUES ('009', '周九')", {}, "登记读者");
        transaction.commit();
    }
    EXPECT_EQ(readers(), 1);
    EXPECT_THROW(Sql::execute("CREATE TABLE mine (x integer)", "建表"), StoreError);
    qunsetenv("PGPASSFILE");
    // The shared connection goes before the library's database is dropped.
    Database::close();
}

// The server restarting under an open program (here: its session ended from
// outside): the next action is told the server was lost, and the one after
// works again on a new connection, without opening the library anew.
TEST_F(Location, AServerLostUnderTheProgramIsToldOnceThenWorksAgain)
{
    if (!TempLibrary::onServer())
        GTEST_SKIP() << "needs the tests' server";
    library.addReader("001", "张三");
    EXPECT_EQ(readers(), 1);
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QPSQL", "shelfmark-test-other");
        other.setHostName(library.server().host);
        other.setPort(library.server().port);
        other.setUserName(library.server().user);
        other.setDatabaseName(library.server().dbname);
        ASSERT_TRUE(other.open());
        QSqlQuery end(other);
        ASSERT_TRUE(end.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                             " WHERE datname = current_database() AND pid <> pg_backend_pid()"));
    }
    QSqlDatabase::removeDatabase("shelfmark-test-other");
    try {
        readers();
        FAIL() << "the session was ended";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.cause(), StoreError::Cause::ServerLost);
        EXPECT_TRUE(e.message().contains("无法连接数据库服务器")) << e.message().toStdString();
    }
    EXPECT_EQ(readers(), 1);
    Transaction transaction("登记读者");
    Sql::run("INSERT INTO readerInfo (读者编号, 读者姓名) VALUES ('002', '李四')", {}, "登记读者");
    transaction.commit();
    EXPECT_EQ(readers(), 2);
}
