#pragma once

#include <QDate>

// Where "today" comes from, so that tests can fix the date.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

// The machine's own calendar.
class SystemClock final : public Clock {
public:
    QDate today() const override;
};
