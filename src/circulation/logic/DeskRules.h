#pragma once

#include <QVariant>

// The one row of lending rules as the desk reads it at the moment of use.
struct DeskRules {
    QVariant quota;       // 借出册数: most books one reader may hold (null when unset)
    QVariant finePerDay;  // 罚款: fine per overdue day (null when unset)

    // Reads basicSet's first row; throws StoreError when the store refuses or
    // holds no rules at all.
    static DeskRules read(const QString& action);
};
