#include "core/logic/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>
#include <QUrl>
#include <atomic>

#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

namespace Database {

namespace {

// The default connection, so grids and statements find it without a name.
const QString kConnectionName = QString::fromLatin1(QSqlDatabase::defaultConnection);
const QString kConnectOptions = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000");

// The name of the calling thread's own connection, empty on a thread that
// uses the shared one.
thread_local QString t_ownConnection;

// What the shared connection was opened on, for a thread's own connection to
// open the same: a connection itself may be used only by its own thread.
QMutex s_openedMutex;
QString s_openedUri;
QString s_openedPath;
std::optional<ServerSettings> s_openedServer;
// The engine of the shared connection; threads' own connections share it.
std::atomic<const Dialect*> s_dialect{nullptr};
// The server went away under the shared connection (see markServerLost).
std::atomic<bool> s_serverLost{false};
const QString kStampTable = QStringLiteral("shelfmark_library");
const QStringList kTables = {
    QStringLiteral("bookInfo"),   QStringLiteral("bookType"), QStringLiteral("lentInfo"),
    QStringLiteral("readerInfo"), QStringLiteral("basicSet"), QStringLiteral("bookconcernList"),
};

QString failure(const QString& filePath, const QString& engineText)
{
    return QStringLiteral("无法打开数据库文件 %1\n%2").arg(QDir::toNativeSeparators(filePath), engineText);
}

bool runPragma(QSqlDatabase& db, const QString& pragma, QString* engineText)
{
    QSqlQuery query(db);
    if (query.exec(pragma))
        return true;
    *engineText = query.lastError().text();
    return false;
}

// Opens with an SQLite URI; mode "rw" fails on a missing file instead of
// creating it, mode "rwc" creates it. Reads the schema once, because the first
// statement is where SQLite notices a file that is not a database; nothing is
// written yet, so a file we go on to refuse stays as it was.
void removeConnection(const QString& name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Opens connection `name` on an SQLite URI and reads the schema once, because
// the first statement is where SQLite notices a file that is not a database;
// nothing is written yet, so a file we go on to refuse stays as it was.
bool connectAs(const QString& name, const QString& uri, const QString& filePath, QString* error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(uri);
    db.setConnectOptions(kConnectOptions);
    QString engineText;
    bool ok = db.open();
    if (!ok)
        engineText = db.lastError().text();
    ok = ok && runPragma(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), &engineText);
    if (!ok) {
        if (error)
            *error = failure(filePath, engineText);
        db = QSqlDatabase();
        removeConnection(name);
        return false;
    }
    return true;
}

// Mode "rw" fails on a missing file instead of creating it, mode "rwc"
// creates it.
bool connect(const QString& filePath, const QString& mode, QString* error)
{
    close();
    QUrl uri = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=") + mode);
    const QString text = uri.toString(QUrl::FullyEncoded);
    if (!connectAs(kConnectionName, text, filePath, error))
        return false;
    QMutexLocker lock(&s_openedMutex);
    s_openedUri = text;
    s_openedPath = filePath;
    s_dialect = &Dialects::sqlite();
    return true;
}

// WAL journal and synchronous=FULL: a change the clerk was told is done
// survives a power cut, and an open grid never blocks the desk's writes.
bool configure(const QString& name, const QString& filePath, QString* error)
{
    QSqlDatabase db = QSqlDatabase::database(name, false);
    QString engineText;
    if (runPragma(db, QStringLiteral("PRAGMA journal_mode=WAL"), &engineText)
        && runPragma(db, QStringLiteral("PRAGMA synchronous=FULL"), &engineText))
        return true;
    if (error)
        *error = failure(filePath, engineText);
    db = QSqlDatabase();
    removeConnection(name);
    return false;
}


QString serverFailure(const ServerSettings& server, const QString& reason)
{
    return QStringLiteral("无法连接数据库服务器 %1\n%2").arg(server.describe(), reason);
}

// libpq's own words for a refused connection, without the driver's tail.
QString connectionText(const QSqlError& error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text() : text;
}

// The first of the library's tables (and our stamp) the database lacks, or "".
QString missingTable(const QSqlDatabase& db, bool withStamp)
{
    const QStringList present = db.tables();
    QStringList wanted = kTables;
    if (withStamp)
        wanted << kStampTable;
    for (const QString& table : wanted)
        if (!present.contains(table, Qt::CaseInsensitive))
            return table;
    return QString();
}

// Opens connection `name` to the server; the server must keep its texts in
// UTF-8 (the driver talks UTF-8 to it whatever it keeps). With `library`,
// the database must hold the library. A refused connection leaves none open.
bool connectServerAs(const QString& name, const ServerSettings& server, bool library, QString* error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    QString reason;
    if (!db.isValid()) {
        reason = QStringLiteral("没有 PostgreSQL 数据库驱动 (Debian 软件包 libqt6sql6-psql)");
    } else {
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setDatabaseName(server.dbname);
        db.setUserName(server.user);
        db.setPassword(server.password);
        db.setConnectOptions(QStringLiteral("sslmode=%1;connect_timeout=10;application_name=shelfmark;options='%2'")
                                 .arg(server.sslmode, ServerSettings::sessionOptions()));
        if (!db.open()) {
            reason = connectionText(db.lastError());
        } else {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("SHOW server_encoding")) || !query.next())
                reason = connectionText(query.lastError());
            else if (query.value(0).toString() != QLatin1String("UTF8"))
                reason = QStringLiteral("数据库 %1 的编码是 %2, 不是 UTF-8").arg(server.dbname, query.value(0).toString());
            else if (library) {
                const QString missing = missingTable(db, true);
                if (!missing.isEmpty())
                    reason = QStringLiteral("数据库 %1 中缺少数据表 %2 (用 shelfmark-db create 程序目录 --server … 建立图书馆)")
                                 .arg(server.dbname, missing);
            }
        }
    }
    if (reason.isEmpty())
        return true;
    if (error)
        *error = serverFailure(server, reason);
    db = QSqlDatabase();
    removeConnection(name);
    return false;
}

bool connectToServer(const ServerSettings& server, bool library, QString* error)
{
    close();
    if (!connectServerAs(kConnectionName, server, library, error))
        return false;
    QMutexLocker lock(&s_openedMutex);
    s_openedServer = server;
    s_dialect = &Dialects::postgres();
    s_serverLost = false;
    return true;
}

}  // namespace

bool open(const QString& filePath, QString* error)
{
    if (!QFileInfo(filePath).isFile()) {
        if (error)
            *error = failure(filePath, QStringLiteral("文件不存在"));
        return false;
    }
    if (!connect(filePath, QStringLiteral("rw"), error))
        return false;
    // A file of another program: name the first table we cannot find.
    const QString missing = missingTable(connection(), false);
    if (!missing.isEmpty()) {
        if (error)
            *error = failure(filePath, QStringLiteral("缺少数据表 %1").arg(missing));
        close();
        return false;
    }
    return configure(kConnectionName, filePath, error);
}

bool create(const QString& filePath, QString* error)
{
    return connect(filePath, QStringLiteral("rwc"), error) && configure(kConnectionName, filePath, error);
}

bool openServer(const ServerSettings& server, QString* error)
{
    return connectToServer(server, true, error);
}

bool connectServer(const ServerSettings& server, QString* error)
{
    return connectToServer(server, false, error);
}

std::optional<ServerSettings> server()
{
    QMutexLocker lock(&s_openedMutex);
    return s_openedServer;
}

void markServerLost()
{
    if (t_ownConnection.isEmpty())
        s_serverLost = true;
}

void reconnectIfLost(const QString& action)
{
    if (!s_serverLost || !t_ownConnection.isEmpty())
        return;
    std::optional<ServerSettings> opened = server();
    if (!opened)
        return;
    // The statements kept on the broken connection go with it.
    Sql::releaseKept();
    removeConnection(kConnectionName);
    QString error;
    if (!connectServerAs(kConnectionName, *opened, true, &error))
        throw StoreError(action, error, StoreError::Cause::ServerLost);
    s_serverLost = false;
}

const Dialect& dialect()
{
    const Dialect* current = s_dialect;
    return current ? *current : Dialects::sqlite();
}

void close()
{
    Sql::releaseKept();
    removeConnection(kConnectionName);
    QMutexLocker lock(&s_openedMutex);
    s_openedUri.clear();
    s_openedPath.clear();
    s_openedServer.reset();
    s_dialect = nullptr;
    s_serverLost = false;
}

bool openOnThisThread(QString* error)
{
    QString uri, filePath;
    std::optional<ServerSettings> openedServer;
    {
        QMutexLocker lock(&s_openedMutex);
        uri = s_openedUri;
        filePath = s_openedPath;
        openedServer = s_openedServer;
    }
    closeOnThisThread();
    if (uri.isEmpty() && !openedServer) {
        if (error)
            *error = QStringLiteral("数据库没有打开");
        return false;
    }
    // The thread's address names its connection; the name is let go when
    // the thread closes it, before another thread could take the address.
    const QString name = QStringLiteral("shelfmark-thread-%1")
                             .arg(reinterpret_cast<quintptr>(QThread::currentThread()), 0, 16);
    const bool opened = openedServer ? connectServerAs(name, *openedServer, false, error)
                                     : connectAs(name, uri, filePath, error) && configure(name, filePath, error);
    if (!opened)
        return false;
    t_ownConnection = name;
    return true;
}

void closeOnThisThread()
{
    if (t_ownConnection.isEmpty())
        return;
    Sql::releaseKept();
    removeConnection(t_ownConnection);
    t_ownConnection.clear();
}

bool isOpen()
{
    const QString& name = t_ownConnection.isEmpty() ? kConnectionName : t_ownConnection;
    return QSqlDatabase::contains(name) && QSqlDatabase::database(name, false).isOpen();
}

QSqlDatabase connection()
{
    return QSqlDatabase::database(t_ownConnection.isEmpty() ? kConnectionName : t_ownConnection, false);
}

}  // namespace Database
