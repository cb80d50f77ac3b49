#include "readers/logic/LendingRules.h"

#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

namespace LendingRules {

namespace {
const QString kNoRow = QStringLiteral("借阅规则 (basicSet) 中没有记录");
}

QString message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Saved:
        return QStringLiteral("设置完毕!");
    case Outcome::BadQuota:
        return QStringLiteral("每人最多允许借出的册数须是 0 到 32767 之间的整数!");
    case Outcome::BadFine:
        return QStringLiteral("超出一天的罚款须是不小于 0 的数!");
    }
    return QString();
}

Texts LoadLendingRules()
{
    const QString action = QStringLiteral("读取借阅规则");
    QSqlQuery query = Sql::run(QStringLiteral("SELECT 借出册数, 罚款 FROM basicSet ORDER BY rowid LIMIT 1"), {}, action);
    if (!query.next())
        throw StoreError(action, kNoRow);
    auto text = [](const QVariant& value) {
        return value.isNull() ? QString() : Conversions::numberText(value.toDouble());
    };
    return {text(query.value(0)), text(query.value(1))};
}

Outcome SaveLendingRules(const QString& quotaText, const QString& fineText)
{
    // The quota is a 16-bit whole number, rounded as the store always took it.
    const std::optional<qint16> quota = Conversions::textToInteger16(quotaText);
    if (!quota || *quota < 0)
        return Outcome::BadQuota;
    const std::optional<double> fine = Conversions::textToNumber(fineText);
    if (!fine || *fine < 0)
        return Outcome::BadFine;

    const QString action = QStringLiteral("保存借阅规则");
    QSqlQuery update = Sql::run(
        QStringLiteral("UPDATE basicSet SET 借出册数 = :quota, 罚款 = :fine"
                       " WHERE rowid = (SELECT rowid FROM basicSet ORDER BY rowid LIMIT 1)"),
        {{QStringLiteral("quota"), static_cast<int>(*quota)}, {QStringLiteral("fine"), *fine + 0.0}},
        action);
    if (update.numRowsAffected() != 1)
        throw StoreError(action, kNoRow);
    return Outcome::Saved;
}

}  // namespace LendingRules
