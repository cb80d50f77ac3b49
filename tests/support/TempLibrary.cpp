#include "TempLibrary.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

#include "core/logic/Database.h"
#include "core/logic/LibrarySchema.h"

TempLibrary::TempLibrary()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("mdb"));
    QString error;
    if (!Database::create(databasePath(), &error))
        ADD_FAILURE() << error.toStdString();
    LibrarySchema::create();
}

TempLibrary::~TempLibrary()
{
    Database::close();
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
