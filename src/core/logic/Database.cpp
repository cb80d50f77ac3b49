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

#include "core/logic/Sql.h"

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
    const QStringList present = connection().tables();
    for (const QString& table : kTables) {
        if (!present.contains(table, Qt::CaseInsensitive)) {
            if (error)
                *error = failure(filePath, QStringLiteral("缺少数据表 %1").arg(table));
            close();
            return false;
        }
    }
    return configure(kConnectionName, filePath, error);
}

bool create(const QString& filePath, QString* error)
{
    return connect(filePath, QStringLiteral("rwc"), error) && configure(kConnectionName, filePath, error);
}

void close()
{
    Sql::releaseKept();
    removeConnection(kConnectionName);
    QMutexLocker lock(&s_openedMutex);
    s_openedUri.clear();
    s_openedPath.clear();
}

bool openOnThisThread(QString* error)
{
    QString uri, filePath;
    {
        QMutexLocker lock(&s_openedMutex);
        uri = s_openedUri;
        filePath = s_openedPath;
    }
    closeOnThisThread();
    if (uri.isEmpty()) {
        if (error)
            *error = QStringLiteral("数据库没有打开");
        return false;
    }
    // The thread's address names its connection; the name is let go when
    // the thread closes it, before another thread could take the address.
    const QString name = QStringLiteral("shelfmark-thread-%1")
                             .arg(reinterpret_cast<quintptr>(QThread::currentThread()), 0, 16);
    if (!connectAs(name, uri, filePath, error) || !configure(name, filePath, error))
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
