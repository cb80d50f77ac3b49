#pragma once

#include "core/logic/Clock.h"

// A clock whose today is whatever the test sets.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDate day = QDate(2026, 3, 20)) : m_day(day) {}
    QDate today() const override;
    void setToday(QDate day) { m_day = day; }

private:
    QDate m_day;
};
