#include "core/logic/SearchText.h"

#include <QSqlQuery>
#include <QStringList>
#include <algorithm>

#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"

namespace SearchText {

namespace {

QString quoted(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

// Characters the index surely keeps as a word: ASCII letters and digits and
// the Chinese characters. Others may be words or separators; a text made
// only of those is searched without the index.
bool surelyAWord(char32_t c)
{
    return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')
           || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
           || (c >= 0x20000 && c <= 0x3134F);
}

// Marks and symbols an index made with them as words surely keeps: the
// visible ASCII ones, Latin-1's (not the soft hyphen), the general
// punctuation (not the line and paragraph separators nor the blank after),
// the Chinese ones (not the ideographic blank) and the full-width forms.
bool surelyAMark(char32_t c)
{
    return (c >= 0x21 && c <= 0x7E) || (c >= 0xA1 && c <= 0xBF && c != 0xAD) || c == 0xD7 || c == 0xF7
           || (c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x205E) || (c >= 0x3001 && c <= 0x303F)
           || (c >= 0xFF01 && c <= 0xFF65);
}

}  // namespace

namespace {

// Where each character (code point) of the text starts, and where the last ends.
QList<qsizetype> characterStarts(const QString& text)
{
    QList<qsizetype> starts;
    starts.reserve(text.size() + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        starts.append(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    starts.append(text.size());
    return starts;
}

}  // namespace

QString spaced(const QString& text)
{
    const QList<qsizetype> starts = characterStarts(text);
    QString result;
    result.reserve(text.size() * 2);
    for (qsizetype c = 0; c + 1 < starts.size(); ++c) {
        if (c > 0)
            result.append(QLatin1Char(' '));
        result.append(QStringView(text).sliced(starts[c], starts[c + 1] - starts[c]));
    }
    return result;
}

QString pairs(const QString& text)
{
    const QList<qsizetype> starts = characterStarts(text);
    if (starts.size() <= 3)  // two characters or fewer
        return text;
    QString result;
    result.reserve(text.size() * 3);
    for (qsizetype c = 0; c + 2 < starts.size(); ++c) {
        if (c > 0)
            result.append(QLatin1Char(' '));
        result.append(QStringView(text).sliced(starts[c], starts[c + 2] - starts[c]));
    }
    return result;
}

QString match(const QString& column, const QString& text, bool marksIndexed)
{
    const QList<uint> characters = text.toUcs4();
    if (std::none_of(characters.cbegin(), characters.cend(),
                     [marksIndexed](uint c) { return surelyAWord(c) || (marksIndexed && surelyAMark(c)); }))
        return QString();
    if (characters.size() == 1)
        return column + QStringLiteral(" : ") + quoted(spaced(text));
    return column + QStringLiteral("Pairs : ") + quoted(pairs(text));
}

bool indexed()
{
    return Database::isOpen() && Database::dialect().searchIndexed();
}

bool marksIndexed()
{
    return Database::isOpen() && Database::dialect().searchMarksIndexed();
}

}  // namespace SearchText
