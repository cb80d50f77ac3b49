#include "readers/logic/ReaderRegistry.h"

#include <cmath>

#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"

namespace ReaderRegistry {

namespace {

QVariantMap columns(const Reader& reader)
{
    return {{QStringLiteral("number"), reader.number},
            {QStringLiteral("name"), reader.name},
            {QStringLiteral("sex"), reader.sex},
            {QStringLiteral("telephone"), reader.telephone},
            {QStringLiteral("department"), reader.department}};
}

// The reader number is the one bound as :number.
QString sameNumber()
{
    return Sql::sameText(QStringLiteral("读者编号"), QStringLiteral(":number"));
}

QString text(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

}  // namespace

QString reason(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        break;
    case Outcome::EmptyNumber:
        return QStringLiteral("请输入读者编号!");
    case Outcome::NumberTaken:
        return QStringLiteral("该读者编号已经存在!");
    case Outcome::NoSuchReader:
        return QStringLiteral("没有该读者信息!");
    }
    return QString();
}

std::optional<Reader> FindReader(const QString& number)
{
    QSqlQuery query = Sql::run(
        QStringLiteral("SELECT 读者编号, 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo WHERE ")
            + sameNumber() + QStringLiteral(" LIMIT 1"),
        {{QStringLiteral("number"), number}}, QStringLiteral("查找读者"));
    if (!query.next())
        return std::nullopt;
    return Reader{text(query.value(0)), text(query.value(1)), text(query.value(2)),
                  text(query.value(3)), text(query.value(4))};
}

Outcome AddReader(const Reader& reader)
{
    // A row without a number could never be found, changed or deleted again.
    if (reader.number.isEmpty())
        return Outcome::EmptyNumber;
    if (FindReader(reader.number))
        return Outcome::NumberTaken;
    Sql::run(QStringLiteral("INSERT INTO readerInfo (读者编号, 读者姓名, 读者性别, 联系电话, 所在部门)"
                            " VALUES (:number, :name, :sex, :telephone, :department)"),
             columns(reader), QStringLiteral("添加读者"));
    return Outcome::Done;
}

Outcome UpdateReader(const Reader& reader)
{
    QSqlQuery query = Sql::run(
        QStringLiteral("UPDATE readerInfo SET 读者编号 = :number, 读者姓名 = :name, 读者性别 = :sex,"
                       " 联系电话 = :telephone, 所在部门 = :department WHERE ")
            + sameNumber(),
        columns(reader), QStringLiteral("修改读者"));
    return query.numRowsAffected() > 0 ? Outcome::Done : Outcome::NoSuchReader;
}

Outcome DeleteReader(const QString& number)
{
    QSqlQuery query = Sql::run(QStringLiteral("DELETE FROM readerInfo WHERE ") + sameNumber(),
                               {{QStringLiteral("number"), number}}, QStringLiteral("删除读者"));
    return query.numRowsAffected() > 0 ? Outcome::Done : Outcome::NoSuchReader;
}

int LoansOutstanding(const QString& number)
{
    QSqlQuery query = Sql::run(
        QStringLiteral("SELECT count(*) FROM lentInfo WHERE ") + sameNumber()
            + QStringLiteral(" AND 还书日期 IS NULL"),
        {{QStringLiteral("number"), number}}, QStringLiteral("查找读者的借阅"));
    return query.next() ? query.value(0).toInt() : 0;
}

QString StepReaderNumber(const QString& text, int step)
{
    // Whole numbers round half away from zero, as the "000" pattern does.
    const double value = std::round(Conversions::leadingNumber(text) + step);
    const QString digits = QString::number(std::fabs(value), 'f', 0);
    return (value < 0 ? QStringLiteral("-") : QString()) + digits.rightJustified(3, QLatin1Char('0'));
}

}  // namespace ReaderRegistry
