#pragma once

#include <QString>
#include <QTemporaryDir>

#include "core/logic/ProgramFolders.h"
#include "core/logic/ServerSettings.h"

// A fresh library database in a temporary program directory, laid out by the
// same code as our database tool, opened as the shared connection. Closed and
// removed when the object goes.
//
// When SHELFMARK_TEST_SERVER holds libpq's words for a PostgreSQL server
// (host=… port=… user=…, as the test command's own server gives them), the
// library is a database of its own on that server instead, dropped when the
// object goes, and dir() holds the dat/library.ini that names it: the same
// suites then try the server's engine.
class TempLibrary {
public:
    TempLibrary();
    ~TempLibrary();

    // Whether the tests run on a server; a test of what only a file has
    // (its path, its journal) skips itself there.
    static bool onServer();
    // The server the library lives on, when onServer().
    ServerSettings server() const { return m_server; }

    QString dir() const { return m_dir.path(); }
    // dir() as the program directory the windows are given.
    ProgramFolders folders() const { return ProgramFolders::programDirectory(dir()); }
    QString databasePath() const;
    // A path inside the temporary program directory.
    QString path(const QString& relative) const;

    // Runs a statement with named values; fails the test if the store refuses.
    void exec(const QString& statement, const QVariantMap& values = {});
    // The first column of the first row of a query (null when no row).
    QVariant scalar(const QString& statement, const QVariantMap& values = {});

    // The first column of every row of a query, as texts (null reads "").
    QStringList column(const QString& statement, const QVariantMap& values = {});
    // Closes the shared connection and opens it again on the same library, as
    // the program opens it. False and *error when it cannot.
    bool reopen(QString* error);
    // The table's own indexes, each as "name:statement", in name order (the
    // server spells the names in lower case).
    QString indexesOf(const QString& table);
    // Makes the store refuse every `event` (INSERT, UPDATE or DELETE) on
    // `table`, or only where `when` holds (a condition on old or new), until
    // allow(table): a refusal of the store itself, whatever the engine.
    void refuse(const QString& table, const QString& event, const QString& when = QString());
    void allow(const QString& table);

    // Shorthands for filling the store in tests.
    void addCategory(const QString& code, const QString& name, int loanDays);
    void addBook(const QString& number, const QString& title, const QString& categoryCode,
                 bool lent = false);
    void addReader(const QString& number, const QString& name);
    void addLoan(const QString& reader, const QString& book, const QString& lendDateIso,
                 const QVariant& returnDateIso = QVariant());
    void setRules(int quota, double finePerDay);

    // Categories A 文学 (14 days) and B 历史 (30 days), readers 001 张三 and
    // 002 李四, a quota of 3 and a fine of 0.1 a day.
    void addBasics();
    // The small library of the reader and bad-input tests: the basics, books
    // B001 红楼梦 and B004 边城 (both A), reader 002 holding B004 since
    // 1 March 2026.
    void addSmallLibrary();

private:
    QTemporaryDir m_dir;
    ServerSettings m_server;
};

// An empty database of its own on the tests' server (see TempLibrary), for
// what makes a library there; dropped when the object goes.
class TempServerDatabase {
public:
    TempServerDatabase();
    ~TempServerDatabase();
    const ServerSettings& server() const { return m_server; }

private:
    ServerSettings m_server;
};
