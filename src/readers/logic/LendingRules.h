#pragma once

#include <QString>

// The one row of lending rules (basicSet): the most books one reader may have
// out at once and the fine per overdue day. The desk reads the row whenever it
// needs a rule, so a saved change counts from the desk's next operation.
namespace LendingRules {

// Both rules as the rules window shows and takes them.
struct Texts {
    QString quota;  // 借出册数
    QString fine;   // 罚款
};

enum class Outcome {
    Saved,
    BadQuota,  // not a whole number from 0 to 32767
    BadFine,   // not a number, or below 0
};

// The message the rules window shows for an outcome.
QString message(Outcome outcome);

// The stored rules as text ("" for a value never set). Throws StoreError,
// also when basicSet holds no row.
Texts LoadLendingRules();

// Checks both texts and writes them into the rules row; a refused text leaves
// the row with its values. Throws StoreError when the store refuses or holds
// no rules row.
Outcome SaveLendingRules(const QString& quotaText, const QString& fineText);

}  // namespace LendingRules
