#include "core/logic/Conversions.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rounds half to even, independent of the floating-point rounding mode.
double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5)
        return floor;
    if (fraction > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

bool isIgnoredBlank(QChar c)
{
    // Val() passes over blanks, tabs and line feeds wherever they stand.
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// The text without the characters Val() ignores, cut at the first character
// that cannot belong to a number.
QString numberPrefix(const QString& text)
{
    QString compact;
    for (const QChar c : text) {
        if (!isIgnoredBlank(c))
            compact.append(c);
    }
    static const QRegularExpression prefix(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?"));
    const QRegularExpressionMatch match = prefix.match(compact);
    if (!match.hasMatch())
        return QString();
    QString number = match.captured(0);
    number.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    return number;
}

}  // namespace

namespace Conversions {

std::optional<qint16> toInteger16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

std::optional<double> textToNumber(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint16> textToInteger16(const QString& text)
{
    const std::optional<double> value = textToNumber(text);
    if (!value)
        return std::nullopt;
    return toInteger16(*value);
}

QString numberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0.0)
        return QStringLiteral("0");  // also for -0
    // 'G' with 15 digits: trailing zeros dropped, an exponent only below
    // 0.0001 or from 15 whole digits on ("1E-05", "1.23456789012346E+17").
    return QString::number(value, 'G', 15);
}

QString leadingCharacters(const QString& text, int count)
{
    qsizetype units = 0;
    for (int n = 0; n < count && units < text.size(); ++n) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size()
                          && text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units);
}

double moneySum(double sum)
{
    // A ten-thousandth of a yuan is finer than any fine per day a library sets.
    return std::round(sum * 10000.0) / 10000.0;
}

QString foldedAZ(const QString& text)
{
    const auto upper = [](QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); };
    const auto first = std::find_if(text.cbegin(), text.cend(), upper);
    if (first == text.cend())
        return text;
    QString result = text;
    for (auto c = result.begin() + (first - text.cbegin()); c != result.end(); ++c)
        if (upper(*c))
            *c = QChar(c->unicode() + ('a' - 'A'));
    return result;
}

double leadingNumber(const QString& text)
{
    const QString number = numberPrefix(text);
    if (number.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    return ok ? value : 0.0;
}

QString shortDate(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy/M/d")) : QString();
}

std::optional<QDate> parseShortDate(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})([/-])(\\d{1,2})\\2(\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(3).toInt(),
                     match.captured(4).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

}  // namespace Conversions
