#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The number and date conversions of the desk, kept in one place: whole
// numbers are 16-bit and rounded half to even, numbers are shown with up to
// 15 significant digits and no trailing zeros, dates in the short form
// yyyy/M/d.
namespace Conversions {

// Rounds to the nearest whole number, halves to the even neighbour; nullopt
// when the result does not fit in 16 bits (the old "overflow" error) or the
// value is not a finite number.
std::optional<qint16> toInteger16(double value);
// Reads a number text (as a clerk types it, blanks around allowed); nullopt
// for text that is not wholly a finite number.
std::optional<double> textToNumber(const QString& text);
// Reads a number text as above and rounds it as above; nullopt for text that
// is not a number or out of range.
std::optional<qint16> textToInteger16(const QString& text);

// A number as the system shows it: up to 15 significant digits, no trailing
// zeros, no exponent for ordinary sizes ("0.3" for 0.1 * 3, "5", "-1").
QString numberText(double value);

// A sum of fines as money: without the noise that adding binary fractions
// leaves (0.1 x 3 added 1,000 times is 300.000000000006), never losing a
// fine's own digits.
double moneySum(double sum);

// A text as the store compares texts: A-Z folded to a-z, nothing else
// (as SQLite's NOCASE and the server's shelfmark_fold()). A text without
// such a letter is returned shared, without a copy.
QString foldedAZ(const QString& text);

// The numeric value of a text's leading number, as the old Val() read it:
// blanks skipped, digits with an optional sign and decimal point; a text
// without a leading number gives 0 ("12abc" -> 12, "abc" -> 0, "" -> 0).
double leadingNumber(const QString& text);

// The first `count` characters of a text, a character outside the basic
// plane (two UTF-16 units) counting as one and never cut in half.
QString leadingCharacters(const QString& text, int count);

// A date in the short form yyyy/M/d ("2026/3/1"); "" for an invalid date.
QString shortDate(const QDate& date);
// Reads a short date back (also accepts yyyy-M-d); nullopt when not a date.
std::optional<QDate> parseShortDate(const QString& text);

}  // namespace Conversions
