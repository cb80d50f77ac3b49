#include "core/logic/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>

#include "core/logic/Sql.h"

namespace Database {

namespace {

// The default connection, so grids and statements find it without a name.
const QString kConnectionName = QString::fromLatin1(QSqlDatabase::defaultConnection);
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
bool connect(const QString& filePath, const QString& mode, QString* error)
{
    close();
    QUrl uri = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=") + mode);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnectionName);
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    QString engineText;
    bool ok = db.open();
    if (!ok)
        engineText = db.lastError().text();
    ok = ok && runPragma(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), &engineText);
    if (!ok) {
        if (error)
            *error = failure(filePath, engineText);
        db = QSqlDatabase();
        close();
        return false;
    }
    return true;
}

// WAL journal and synchronous=FULL: a change the clerk was told is done
// survives a power cut, and an open grid never blocks the desk's writes.
bool configure(const QString& filePath, QString* error)
{
    QSqlDatabase db = connection();
    QString engineText;
    if (runPragma(db, QStringLiteral("PRAGMA journal_mode=WAL"), &engineText)
        && runPragma(db, QStringLiteral("PRAGMA synchronous=FULL"), &engineText))
        return true;
    if (error)
        *error = failure(filePath, engineText);
    db = QSqlDatabase();
    close();
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
    return configure(filePath, error);
}

bool create(const QString& filePath, QString* error)
{
    return connect(filePath, QStringLiteral("rwc"), error) && configure(filePath, error);
}

void close()
{
    Sql::releaseKept();
    if (!QSqlDatabase::contains(kConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
}

bool isOpen()
{
    return QSqlDatabase::contains(kConnectionName)
           && QSqlDatabase::database(kConnectionName, false).isOpen();
}

QSqlDatabase connection()
{
    return QSqlDatabase::database(kConnectionName, false);
}

}  // namespace Database
