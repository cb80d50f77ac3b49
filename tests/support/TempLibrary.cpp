#include "TempLibrary.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/LibrarySchema.h"

namespace {

const char* const kServerVariable = "SHELFMARK_TEST_SERVER";
const QString kAdminConnection = QStringLiteral("shelfmark-test-admin");

// Runs a statement on the server's own database (postgres), where databases
// are made and dropped, over a connection of its own.
bool onAdmin(const ServerSettings& server, const QString& statement, QString* error)
{
    bool done = false;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kAdminConnection);
        admin.setHostName(server.host);
        admin.setPort(server.port);
        admin.setUserName(server.user);
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open()) {
            *error = admin.lastError().text();
        } else {
            QSqlQuery query(admin);
            done = query.exec(statement);
            if (!done)
                *error = query.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(kAdminConnection);
    return done;
}

// A database name no other library of this run or of another suite running
// at the same time takes.
QString freshDatabaseName()
{
    static int made = 0;
    return QStringLiteral("shelfmark_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
}

// Makes a fresh database on the tests' server; false and *error when it cannot.
bool makeServerDatabase(ServerSettings* made, QString* error)
{
    const std::optional<ServerSettings> server = ServerSettings::fromWords(qEnvironmentVariable(kServerVariable), error);
    if (!server)
        return false;
    *made = *server;
    made->dbname = freshDatabaseName();
    return onAdmin(*made, QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(made->dbname),
                   error);
}

void dropServerDatabase(const ServerSettings& server)
{
    QString error;
    if (!server.dbname.isEmpty()
        && !onAdmin(server, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(server.dbname), &error))
        ADD_FAILURE() << error.toStdString();
}

}  // namespace

bool TempLibrary::onServer()
{
    return !qEnvironmentVariableIsEmpty(kServerVariable);
}

TempServerDatabase::TempServerDatabase()
{
    QString error;
    if (!makeServerDatabase(&m_server, &error))
        ADD_FAILURE() << kServerVariable << ": " << error.toStdString();
}

TempServerDatabase::~TempServerDatabase()
{
    Database::close();
    dropServerDatabase(m_server);
}

TempLibrary::TempLibrary()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("mdb"));
    QString error;
    if (onServer()) {
        if (!makeServerDatabase(&m_server, &error) || !Database::connectServer(m_server, &error)) {
            ADD_FAILURE() << kServerVariable << ": " << error.toStdString();
            return;
        }
        // So that a program started on dir() finds the library there too.
        m_server.writeIni(path(LibraryLocation::kServerFile));
    } else if (!Database::create(databasePath(), &error)) {
        ADD_FAILURE() << error.toStdString();
    }
    LibrarySchema::create();
}

TempLibrary::~TempLibrary()
{
    Database::close();
    dropServerDatabase(m_server);
}

QString TempLibrary::databasePath() const
{
    return path(QStringLiteral("mdb/Shelfmark.mdb"));
}

QString TempLibrary::path(const QString& relative) const
{
    return QDir(m_dir.path()).filePath(relative);
}

namespace {
QSqlQuery runChecked(const QString& statement, const QVariantMap& values)
{
    QSqlQuery query(Database::connection());
    // Without values, run as it stands: the server prepares no layout statement.
    if (values.isEmpty()) {
        if (!query.exec(statement))
            ADD_FAILURE() << statement.toStdString() << ": " << query.lastError().text().toStdString();
        return query;
    }
    if (!query.prepare(statement)) {
        ADD_FAILURE() << statement.toStdString() << ": " << query.lastError().text().toStdString();
        return query;
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query.bindValue(QLatin1Char(':') + it.key(), it.value());
    if (!query.exec())
        ADD_FAILURE() << statement.toStdString() << ": " << query.lastError().text().toStdString();
    return query;
}
}  // namespace

void TempLibrary::exec(const QString& statement, const QVariantMap& values)
{
    runChecked(statement, values);
}

QVariant TempLibrary::scalar(const QString& statement, const QVariantMap& values)
{
    QSqlQuery query = runChecked(statement, values);
    return query.next() ? query.value(0) : QVariant();
}

QStringList TempLibrary::column(const QString& statement, const QVariantMap& values)
{
    QSqlQuery query = runChecked(statement, values);
    QStringList texts;
    while (query.next())
        texts << (query.value(0).isNull() ? QString() : query.value(0).toString());
    return texts;
}

bool TempLibrary::reopen(QString* error)
{
    Database::close();
    return onServer() ? Database::openServer(m_server, error) : Database::open(databasePath(), error);
}

QString TempLibrary::indexesOf(const QString& table)
{
    return column(onServer() ? QStringLiteral("SELECT indexname || ':' || indexdef FROM pg_indexes"
                                              " WHERE tablename = lower(:t) ORDER BY indexname")
                             : QStringLiteral("SELECT name || ':' || coalesce(sql, '') FROM sqlite_master"
                                              " WHERE type = 'index' AND tbl_name = :t ORDER BY name"),
                  {{QStringLiteral("t"), table}})
        .join(QLatin1Char(','));
}

void TempLibrary::refuse(const QString& table, const QString& event, const QString& when)
{
    if (onServer()) {
        exec(QStringLiteral("CREATE OR REPLACE FUNCTION shelfmark_test_refuse() RETURNS trigger LANGUAGE plpgsql"
                            " AS $$BEGIN RAISE EXCEPTION 'refused'; END$$"));
        exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %2 ON %1 FOR EACH ROW %3"
                            " EXECUTE FUNCTION shelfmark_test_refuse()")
                 .arg(table, event, when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when)));
    } else {
        exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %2 ON %1 %3 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                 .arg(table, event, when.isEmpty() ? QString() : QStringLiteral("WHEN %1").arg(when)));
    }
}

void TempLibrary::allow(const QString& table)
{
    exec(onServer() ? QStringLiteral("DROP TRIGGER refuse_%1 ON %1").arg(table)
                    : QStringLiteral("DROP TRIGGER refuse_%1").arg(table));
}

void TempLibrary::addCategory(const QString& code, const QString& name, int loanDays)
{
    exec(QStringLiteral("INSERT INTO bookType (类别代码, 书籍类别, 借出天数) VALUES (:c, :n, :d)"),
         {{"c", code}, {"n", name}, {"d", loanDays}});
}

void TempLibrary::addBook(const QString& number, const QString& title, const QString& categoryCode,
                          bool lent)
{
    exec(QStringLiteral("INSERT INTO bookInfo (书籍编号, 书籍名称, 书籍价格, 出版社, 书籍页码, 类别代码,"
                        " 作者姓名, 登记日期, 是否借出) VALUES (:b, :t, '25.00', '人民文学出版社', '320',"
                        " :c, '不详', '2026-01-05', :l)"),
         {{"b", number}, {"t", title}, {"c", categoryCode}, {"l", lent ? 1 : 0}});
}

void TempLibrary::addReader(const QString& number, const QString& name)
{
    exec(QStringLiteral("INSERT INTO readerInfo (读者编号, 读者姓名, 读者性别, 联系电话, 所在部门)"
                        " VALUES (:r, :n, '女', '0571-8888', '办公室')"),
         {{"r", number}, {"n", name}});
}

void TempLibrary::addLoan(const QString& reader, const QString& book, const QString& lendDateIso,
                          const QVariant& returnDateIso)
{
    exec(QStringLiteral("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期, 还书日期)"
                        " VALUES (:r, :b, :d, :x)"),
         {{"r", reader}, {"b", book}, {"d", lendDateIso},
          {"x", returnDateIso.isValid() ? returnDateIso : QVariant(QMetaType::fromType<QString>())}});
}

void TempLibrary::setRules(int quota, double finePerDay)
{
    exec(QStringLiteral("UPDATE basicSet SET 借出册数 = :q, 罚款 = :f"), {{"q", quota}, {"f", finePerDay}});
}

void TempLibrary::addBasics()
{
    addCategory(QStringLiteral("A"), QStringLiteral("文学"), 14);
    addCategory(QStringLiteral("B"), QStringLiteral("历史"), 30);
    addReader(QStringLiteral("001"), QStringLiteral("张三"));
    addReader(QStringLiteral("002"), QStringLiteral("李四"));
    setRules(3, 0.1);
}

void TempLibrary::addSmallLibrary()
{
    addBasics();
    addBook(QStringLiteral("B001"), QStringLiteral("红楼梦"), QStringLiteral("A"));
    addBook(QStringLiteral("B004"), QStringLiteral("边城"), QStringLiteral("A"), true);
    addLoan(QStringLiteral("002"), QStringLiteral("B004"), QStringLiteral("2026-03-01"));
}
