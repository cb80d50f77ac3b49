#include <gtest/gtest.h>

#include <limits>

#include "core/logic/Conversions.h"

using namespace Conversions;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(Conversions, WholeNumbersRoundHalvesToEvenAndRefuseWhatDoesNotFit16Bits)
{
    const struct { double value; std::optional<qint16> expected; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-2.6, -3}, {32767.4, 32767}, {-32768.5, -32768},
        {32767.5, {}}, {-32768.51, {}}, {kNaN, {}}, {kInfinity, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toInteger16(c.value), c.expected) << c.value;

    const struct { const char* text; std::optional<qint16> expected; } texts[] = {
        {" 14 ", 14}, {"2.5", 2}, {"3.5", 4}, {"1E+2", 100}, {"-32768", -32768},
        {"32768", {}}, {"", {}}, {"12abc", {}}, {"inf", {}}, {"nan", {}},
    };
    for (const auto& c : texts)
        EXPECT_EQ(textToInteger16(c.text), c.expected) << c.text;
}

TEST(Conversions, NumberTextHasUpTo15DigitsAndNoTrailingZeros)
{
    const struct { double value; const char* expected; } cases[] = {
        {0.1 * 3, "0.3"}, {19.0, "19"}, {-0.0, "0"}, {-2.75, "-2.75"}, {0.0001, "0.0001"}, {1e-7, "1E-07"},
        {1e15, "1E+15"}, {kNaN, ""}, {2.0 / 3.0, "0.666666666666667"}, {999999999999999.0, "999999999999999"},
        {123456789012345678.0, "1.23456789012346E+17"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberText(c.value), c.expected) << c.expected;
}

TEST(Conversions, LeadingNumberReadsTheTextsPrefix)
{
    const struct { const char* text; double expected; } cases[] = {
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"  42", 42}, {"-3.5kg", -3.5}, {".5", 0.5}, {"1.2.3", 1.2},
        {"1 2 3", 123}, {"1e3", 1000}, {"2D2", 200}, {"5e", 5}, {"12,5", 12}, {"１２", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.expected) << c.text;
}

TEST(Conversions, ShortDatesAreWrittenYearMonthDayAndReadBack)
{
    EXPECT_EQ(shortDate(QDate(2026, 3, 1)) + "," + shortDate(QDate(2026, 12, 31)) + "," + shortDate(QDate()),
              "2026/3/1,2026/12/31,");
    const struct { const char* text; QDate expected; /* invalid: not a date */ } cases[] = {
        {"2026/3/1", {2026, 3, 1}}, {"2026/03/01", {2026, 3, 1}}, {"2026-3-1", {2026, 3, 1}},
        {" 2026/12/31 ", {2026, 12, 31}}, {"2024/2/29", {2024, 2, 29}}, {"2025/2/29", {}},
        {"2026/13/1", {}}, {"2026/3-1", {}}, {"26/3/1", {}}, {"2026/3/1x", {}}, {"2026/3", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseShortDate(c.text), c.expected.isValid() ? std::optional(c.expected) : std::nullopt) << c.text;
}

