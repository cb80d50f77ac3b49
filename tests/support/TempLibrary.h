#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh library database in a temporary program directory, laid out by the
// same code as our database tool, opened as the shared connection. Closed and
// removed when the object goes.
class TempLibrary {
public:
    TempLibrary();
    ~TempLibrary();

    QString dir() const { return m_dir.path(); }
    QString databasePath() const;
    // A path inside the temporary program directory.
    QString path(const QString& relative) const;

    // Runs a statement with named values; fails the test if the store refuses.
    void exec(const QString& statement, const QVariantMap& values = {});
    // The first column of the first row of a query (null when no row).
    QVariant scalar(const QString& statement, const QVariantMap& values = {});

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
};
