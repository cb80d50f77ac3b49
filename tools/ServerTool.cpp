#include "ServerTool.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <functional>
#include <stdexcept>

#include "DbTool.h"
#include "DemoLibrary.h"
#include "RawStatement.h"
#include "SearchIndex.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

namespace ServerTool {

namespace {

// The six tables and their columns, in the order a library lays them out:
// the same on a file and on a server (the server's rowid is its own).
const QList<QPair<QString, QStringList>> kTables = {
    {QStringLiteral("bookType"), {QStringLiteral("类别代码"), QStringLiteral("书籍类别"), QStringLiteral("借出天数")}},
    {QStringLiteral("bookInfo"),
     {QStringLiteral("书籍编号"), QStringLiteral("书籍名称"), QStringLiteral("书籍价格"), QStringLiteral("出版社"),
      QStringLiteral("书籍页码"), QStringLiteral("类别代码"), QStringLiteral("作者姓名"), QStringLiteral("登记日期"),
      QStringLiteral("是否借出")}},
    {QStringLiteral("lentInfo"),
     {QStringLiteral("读者编号"), QStringLiteral("书籍编号"), QStringLiteral("借书日期"), QStringLiteral("还书日期"),
      QStringLiteral("超出天数"), QStringLiteral("罚款金额")}},
    {QStringLiteral("readerInfo"),
     {QStringLiteral("读者编号"), QStringLiteral("读者姓名"), QStringLiteral("读者性别"), QStringLiteral("联系电话"),
      QStringLiteral("所在部门")}},
    {QStringLiteral("basicSet"), {QStringLiteral("借出册数"), QStringLiteral("罚款")}},
    {QStringLiteral("bookconcernList"), {QStringLiteral("出版社")}},
};

// What a failed run takes away again, so that the next run finds the
// database as empty as this one did.
const QStringList kTakeAway = {
    QStringLiteral("DROP TABLE IF EXISTS bookType, bookInfo, lentInfo, readerInfo, basicSet, bookconcernList,"
                   " shelfmark_library"),
    QStringLiteral("DROP FUNCTION IF EXISTS shelfmark_words(text)"),
    QStringLiteral("DROP FUNCTION IF EXISTS shelfmark_fold(text)"),
};

QString iniPath(const QString& programDir)
{
    return QDir(programDir).filePath(LibraryLocation::kServerFile);
}

QString fileOf(const QString& programDir)
{
    return QDir(programDir).filePath(AppInfo::kDatabaseFile);
}

QString nativeName(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Runs `fill` on the server's database, which must hold no table yet; on
// failure takes away what it made. Then writes DIR/dat/library.ini.
int make(const QString& programDir, const ServerSettings& server, const std::function<void()>& fill,
         QString* message)
{
    if (!Database::connectServer(server, message))
        return 1;
    QString failure;
    bool made = false;
    try {
        QSqlQuery tables = Sql::run(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()"),
                                    {}, QStringLiteral("查看数据库"));
        if (tables.next() && tables.value(0).toInt() > 0) {
            failure = QStringLiteral("数据库 %1 中已经有数据表,不会覆盖。").arg(server.dbname);
        } else {
            made = true;
            fill();
        }
    } catch (const StoreError& e) {
        failure = e.message();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    if (!failure.isEmpty() && made) {
        QSqlQuery rollback(Database::connection());
        rollback.exec(QStringLiteral("ROLLBACK"));
        for (const QString& statement : kTakeAway)
            rollback.exec(statement);
    }
    Database::close();
    if (failure.isEmpty() && !server.writeIni(iniPath(programDir)))
        failure = QStringLiteral("无法写入 %1").arg(nativeName(iniPath(programDir)));
    if (!failure.isEmpty()) {
        *message = QStringLiteral("无法在数据库服务器 %1 上建立图书馆\n%2").arg(server.describe(), failure);
        return 1;
    }
    return 0;
}

// libpq's connection under the shared connection, for COPY.
PGconn* serverHandle()
{
    const QVariant handle = Database::connection().driver()->handle();
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        throw std::runtime_error("no PostgreSQL handle");
    return *static_cast<PGconn* const*>(handle.data());
}

// A value in COPY's text form: \N for null; backslash, tab, line breaks escaped.
void appendCopyValue(QByteArray& line, sqlite3_stmt* row, int column)
{
    if (sqlite3_column_type(row, column) == SQLITE_NULL) {
        line += "\\N";
        return;
    }
    if (sqlite3_column_type(row, column) == SQLITE_FLOAT) {  // every digit the number has
        line += QByteArray::number(sqlite3_column_double(row, column), 'g', 17);
        return;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    const int size = sqlite3_column_bytes(row, column);
    for (int i = 0; i < size; ++i) {
        switch (text[i]) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += text[i];
        }
    }
}

void copyFailed(PGconn* server, const QString& table)
{
    throw std::runtime_error(QStringLiteral("复制数据表 %1 失败: %2")
                                 .arg(table, QString::fromUtf8(PQerrorMessage(server)).trimmed())
                                 .toStdString());
}

// Every row of one table of the file, in its rowid order, into the server's
// table through COPY: the server gives each its own row id in that order.
qint64 copyTable(sqlite3* file, PGconn* server, const QString& table, const QStringList& columns)
{
    const QByteArray select =
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns.join(QLatin1Char(',')), table).toUtf8();
    RawStatement rows(file, select.constData());
    PGresult* started =
        PQexec(server, QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(QLatin1Char(','))).toUtf8());
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    PQclear(started);
    if (!copying)
        copyFailed(server, table);
    qint64 copied = 0;
    QByteArray chunk;
    while (rows.step()) {
        for (int c = 0; c < columns.size(); ++c) {
            if (c > 0)
                chunk += '\t';
            appendCopyValue(chunk, rows.handle(), c);
        }
        chunk += '\n';
        ++copied;
        if (chunk.size() > (1 << 20)) {
            if (PQputCopyData(server, chunk.constData(), int(chunk.size())) != 1)
                copyFailed(server, table);
            chunk.clear();
        }
    }
    if ((!chunk.isEmpty() && PQputCopyData(server, chunk.constData(), int(chunk.size())) != 1)
        || PQputCopyEnd(server, nullptr) != 1)
        copyFailed(server, table);
    PGresult* ended = PQgetResult(server);
    const bool done = PQresultStatus(ended) == PGRES_COMMAND_OK;
    PQclear(ended);
    while (PGresult* more = PQgetResult(server))
        PQclear(more);
    if (!done)
        copyFailed(server, table);
    return copied;
}

// The number of rows of a table on the shared connection.
qint64 countOf(const QString& table)
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT count(*) FROM %1").arg(table), {}, QStringLiteral("核对行数"));
    return query.next() ? query.value(0).toLongLong() : -1;
}

void checkCount(const QString& table, qint64 expected)
{
    const qint64 found = countOf(table);
    if (found != expected)
        throw std::runtime_error(QStringLiteral("数据表 %1 复制后有 %2 行, 应有 %3 行")
                                     .arg(table)
                                     .arg(found)
                                     .arg(expected)
                                     .toStdString());
}

// The file's library onto the shared connection's server: tables first, the
// rows, the indexes over them, then each table's count checked.
void copyFile(const QString& file)
{
    sqlite3* source = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(sqlite3_errmsg(source));
        sqlite3_close(source);
        throw std::runtime_error(QStringLiteral("无法打开 %1: %2").arg(nativeName(file), reason).toStdString());
    }
    try {
        LibrarySchema::createTables();
        Sql::execute(QStringLiteral("DELETE FROM basicSet"), QStringLiteral("复制借阅规则"));
        PGconn* server = serverHandle();
        QList<QPair<QString, qint64>> counts;
        for (const auto& [table, columns] : kTables)
            counts.append({table, copyTable(source, server, table, columns)});
        LibrarySchema::createIndexes();
        Sql::execute(QStringLiteral("ANALYZE"), QStringLiteral("统计数据"));
        for (const auto& [table, count] : counts)
            checkCount(table, count);
    } catch (...) {
        sqlite3_close(source);
        throw;
    }
    sqlite3_close(source);
}

}  // namespace

int create(const QString& programDir, const ServerSettings& server, QString* message)
{
    const int code = make(programDir, server, [] { LibrarySchema::create(); }, message);
    if (code == 0)
        *message = QStringLiteral("已在数据库服务器 %1 上建立图书馆, 并写入 %2")
                       .arg(server.describe(), nativeName(iniPath(programDir)));
    return code;
}

int demo(const QString& programDir, const ServerSettings& server, QString* message)
{
    const int code = make(
        programDir, server,
        [] {
            LibrarySchema::create();
            DemoLibrary::fill();
        },
        message);
    if (code == 0)
        *message = QStringLiteral("已在数据库服务器 %1 上建立演示图书馆, 并写入 %2")
                       .arg(server.describe(), nativeName(iniPath(programDir)));
    return code;
}

int demo(const QString& programDir, const ServerSettings& server, const LargeLibrary::Size& size, QString* message)
{
    QTemporaryDir scratch(QDir(programDir).filePath(QStringLiteral(".shelfmark-demo-XXXXXX")));
    if (!QDir().mkpath(programDir) || !scratch.isValid()) {
        *message = QStringLiteral("无法在 %1 中建立临时目录").arg(nativeName(programDir));
        return 1;
    }
    const int made = DbTool::demo(scratch.path(), size, message);
    if (made != 0)
        return made;
    const QString file = fileOf(scratch.path());
    const int code = make(programDir, server, [&file] { copyFile(file); }, message);
    if (code == 0)
        *message = QStringLiteral("已在数据库服务器 %1 上建立演示图书馆 (%2 册图书, %3 位读者, %4 条借阅记录), 并写入 %5")
                       .arg(server.describe(), QString::number(size.books), QString::number(size.readers),
                            QString::number(size.loans), nativeName(iniPath(programDir)));
    return code;
}

int copyToServer(const QString& programDir, const ServerSettings& server, QString* message)
{
    const QString file = fileOf(programDir);
    // Opened as the program opens it first: a file that is not a library is refused.
    if (!Database::open(file, message))
        return 1;
    Database::close();
    const int code = make(programDir, server, [&file] { copyFile(file); }, message);
    if (code == 0)
        *message = QStringLiteral("已把 %1 复制到数据库服务器 %2, 并写入 %3")
                       .arg(nativeName(file), server.describe(), nativeName(iniPath(programDir)));
    return code;
}

namespace {

// Every row of the server's table, in its row id order, into the file.
qint64 copyRows(const QSqlDatabase& serverConnection, sqlite3* file, const QString& table, const QStringList& columns)
{
    QSqlQuery rows(serverConnection);
    rows.setForwardOnly(true);  // row by row, the only statement on that connection
    if (!rows.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns.join(QLatin1Char(',')), table)))
        throw StoreError(QStringLiteral("读取数据表 %1").arg(table), rows.lastError());
    QStringList marks;
    for (int c = 1; c <= columns.size(); ++c)
        marks << QStringLiteral("?%1").arg(c);
    const QByteArray insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                                  .toUtf8();
    RawStatement write(file, insert.constData());
    qint64 copied = 0;
    while (rows.next()) {
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = rows.value(c);
            if (value.isNull())
                write.null(c + 1);
            else if (value.typeId() == QMetaType::Double)
                write.real(c + 1, value.toDouble());
            else if (value.typeId() == QMetaType::QString)
                write.text(c + 1, value.toString());
            else
                write.integer(c + 1, value.toLongLong());
        }
        write.run();
        ++copied;
    }
    if (rows.lastError().isValid())
        throw StoreError(QStringLiteral("读取数据表 %1").arg(table), rows.lastError());
    return copied;
}

}  // namespace

int copyToFile(const QString& programDir, QString* message)
{
    QString reason;
    std::optional<ServerSettings> server = LibraryLocation::server(programDir, &reason);
    if (!server) {
        *message = reason.isEmpty() ? QStringLiteral("%1 没有指明数据库服务器").arg(nativeName(iniPath(programDir)))
                                    : reason;
        return 1;
    }
    const QString file = fileOf(programDir);
    if (QFileInfo::exists(file)) {
        *message = QStringLiteral("数据库 %1 已经存在,不会覆盖。").arg(nativeName(file));
        return 1;
    }
    const QString sourceName = QStringLiteral("shelfmark-copy-source");
    QString failure;
    {
        // The server's rows are read over a connection of their own, while
        // the shared connection writes the file.
        if (!Database::openServer(*server, message))
            return 1;
        Database::close();
        QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), sourceName);
        source.setHostName(server->host);
        source.setPort(server->port);
        source.setDatabaseName(server->dbname);
        source.setUserName(server->user);
        source.setConnectOptions(QStringLiteral("sslmode=%1").arg(server->sslmode));
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!source.open()) {
            failure = source.lastError().text();
        } else if (!Database::create(file, &failure)) {
        } else {
            try {
                LibrarySchema::createTables();
                Sql::execute(QStringLiteral("DELETE FROM basicSet"), QStringLiteral("复制借阅规则"));
                sqlite3* db = *static_cast<sqlite3* const*>(Database::connection().driver()->handle().data());
                Sql::execute(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("复制数据"));
                QList<QPair<QString, qint64>> counts;
                for (const auto& [table, columns] : kTables)
                    counts.append({table, copyRows(source, db, table, columns)});
                Sql::execute(QStringLiteral("COMMIT"), QStringLiteral("复制数据"));
                LibrarySchema::createIndexes();
                Sql::execute(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("建立检索索引"));
                SearchIndex::rewrite(db);
                Sql::execute(QStringLiteral("COMMIT"), QStringLiteral("建立检索索引"));
                for (const auto& [table, count] : counts)
                    checkCount(table, count);
            } catch (const StoreError& e) {
                failure = e.message();
            } catch (const std::exception& e) {
                failure = QString::fromUtf8(e.what());
            }
        }
        source = QSqlDatabase();
    }
    QSqlDatabase::removeDatabase(sourceName);
    Database::close();
    if (!failure.isEmpty()) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(file + QLatin1String(suffix));
        *message = QStringLiteral("无法把数据库服务器 %1 上的图书馆复制到 %2\n%3")
                       .arg(server->describe(), nativeName(file), failure);
        return 1;
    }
    QFile::remove(iniPath(programDir));
    *message = QStringLiteral("已把数据库服务器 %1 上的图书馆复制到 %2; 程序此后使用该文件")
                   .arg(server->describe(), nativeName(file));
    return 0;
}

}  // namespace ServerTool
