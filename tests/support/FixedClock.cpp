#include "FixedClock.h"

QDate FixedClock::today() const
{
    return m_day;
}
