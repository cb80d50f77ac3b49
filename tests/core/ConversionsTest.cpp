#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/logic/Conversions.h"

using Conversions::leadingNumber;
using Conversions::numberText;
using Conversions::parseShortDate;
using Conversions::shortDate;
using Conversions::textToInteger16;
using Conversions::toInteger16;

TEST(Conversions, ToInteger16RoundsHalvesToEven)
{
    const struct {
        double value;
        int expected;
    } cases[] = {
        {0.5, 0},       {1.5, 2},     {2.5, 2},       {3.5, 4},           {-0.5, 0},
        {-1.5, -2},     {-2.5, -2},   {0.49, 0},      {0.51, 1},          {2.4999, 2},
        {-2.6, -3},     {19.0, 19},   {32767.4, 32767}, {-32768.5, -32768}, {-32767.5, -32768},
        {32766.5, 32766},
    };
    for (const auto& c : cases) {
        const auto result = toInteger16(c.value);
        ASSERT_TRUE(result.has_value()) << c.value;
        EXPECT_EQ(*result, c.expected) << c.value;
    }
}

TEST(Conversions, ToInteger16RefusesWhatDoesNotFit)
{
    const double cases[] = {32767.5, 32768.0, -32768.51, -32769.0, 1e10,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
    for (double value : cases)
        EXPECT_FALSE(toInteger16(value).has_value()) << value;
}

TEST(Conversions, TextToInteger16)
{
    const struct {
        const char* text;
        std::optional<qint16> expected;
    } cases[] = {
        {"19", 19},          {" 14 ", 14},      {"-3", -3},         {"+7", 7},
        {"2.5", 2},          {"3.5", 4},        {"1E+2", 100},      {"0", 0},
        {"", std::nullopt},  {"  ", std::nullopt}, {"12abc", std::nullopt},
        {"abc", std::nullopt}, {"32768", std::nullopt}, {"-32768", -32768},
        {"inf", std::nullopt}, {"nan", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToInteger16(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(Conversions, NumberTextAsTheDeskShowsIt)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0.1 * 3, "0.3"},
        {0.1 * 5, "0.5"},
        {19.0, "19"},
        {0.0, "0"},
        {-0.0, "0"},
        {-1.0, "-1"},
        {-2.75, "-2.75"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {12.5, "12.5"},
        {1.1 + 2.2, "3.3"},
        {0.0001, "0.0001"},
        {1e-7, "1E-07"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberText(c.value), QString::fromLatin1(c.expected)) << c.expected;
    EXPECT_EQ(numberText(std::numeric_limits<double>::quiet_NaN()), QString());
    EXPECT_EQ(numberText(std::numeric_limits<double>::infinity()), QString());
}

TEST(Conversions, NumberTextReadsBackToTheSameWholeNumber)
{
    for (int days = -400; days <= 400; ++days)
        ASSERT_EQ(textToInteger16(numberText(days)), days);
}

TEST(Conversions, LeadingNumberReadsLikeVal)
{
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"12abc", 12},     {"abc", 0},        {"", 0},          {"  42", 42},
        {"-3.5kg", -3.5},  {"+8", 8},         {".5", 0.5},      {"7.", 7},
        {"1.2.3", 1.2},    {"1 2 3", 123},    {"\t9\n9", 99},   {"1e3", 1000},
        {"2D2", 200},      {"5e", 5},         {"-", 0},         {"- 4", -4},
        {"0.1", 0.1},      {"12,5", 12},      {"１２", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(Conversions, ShortDateForm)
{
    EXPECT_EQ(shortDate(QDate(2026, 3, 1)), "2026/3/1");
    EXPECT_EQ(shortDate(QDate(2026, 12, 31)), "2026/12/31");
    EXPECT_EQ(shortDate(QDate()), "");
}

TEST(Conversions, ParseShortDate)
{
    const struct {
        const char* text;
        QDate expected;  // invalid: not a date
    } cases[] = {
        {"2026/3/1", QDate(2026, 3, 1)},     {"2026/03/01", QDate(2026, 3, 1)},
        {"2026-3-1", QDate(2026, 3, 1)},     {"2026-03-01", QDate(2026, 3, 1)},
        {" 2026/12/31 ", QDate(2026, 12, 31)}, {"2024/2/29", QDate(2024, 2, 29)},
        {"2026/2/30", QDate()},              {"2025/2/29", QDate()},
        {"2026/13/1", QDate()},              {"2026/0/1", QDate()},
        {"2026/3/0", QDate()},               {"2026/3-1", QDate()},
        {"26/3/1", QDate()},                 {"2026/3/1x", QDate()},
        {"", QDate()},                       {"2026/3", QDate()},
    };
    for (const auto& c : cases) {
        const auto parsed = parseShortDate(QString::fromUtf8(c.text));
        if (c.expected.isValid())
            EXPECT_EQ(parsed, c.expected) << c.text;
        else
            EXPECT_FALSE(parsed.has_value()) << c.text;
    }
}

TEST(Conversions, ShortDateRoundTrip)
{
    for (QDate day(2023, 12, 25); day < QDate(2025, 1, 10); day = day.addDays(1))
        ASSERT_EQ(parseShortDate(shortDate(day)), day);
}
