#include "core/logic/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <optional>
#include <cstdlib>

#include "core/logic/Prompter.h"
#include "core/logic/TextFile.h"

namespace {

const QString kWorkFileName = QStringLiteral("temp.ini");
const QString kUnknown = QStringLiteral("unknown");
// The old reader's buffer held 1000 bytes including the terminating null.
constexpr qsizetype kMaxValueBytes = 999;

// ---- plain key=value files ----------------------------------------------

// Every line holding key + "=" becomes key=value; the entry is appended when
// no line holds it.
QStringList withSetting(const QStringList& lines, const QString& key, const QString& value)
{
    const QString match = key + QLatin1Char('=');
    const QString entry = match + value;
    QStringList result;
    bool found = false;
    for (const QString& line : lines) {
        const bool matches = line.contains(match);
        result.append(matches ? entry : line);
        found = found || matches;
    }
    if (!found)
        result.append(entry);
    return result;
}

// Puts the work file in place of the target in one step, so that the target
// is never missing, and gives it the target's permissions.
bool replaceWith(const QString& workFile, const QString& target)
{
    QFile::setPermissions(workFile, QFile::permissions(target));
    return std::rename(QFile::encodeName(workFile).constData(),
                       QFile::encodeName(target).constData()) == 0;
}

// ---- the sectioned profile file -----------------------------------------

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The section name of a "[NAME]" line (blanks around the name ignored).
std::optional<QString> sectionOf(const QString& line)
{
    const QString text = line.trimmed();
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    if (!text.startsWith(QLatin1Char('[')) || close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

bool isSectionNamed(const QString& line, const QString& section)
{
    const auto name = sectionOf(line);
    return name && sameName(*name, section);
}

struct Entry {
    QString key;
    QString value;
};

// The key and value of a "key=value" line, both without surrounding blanks.
std::optional<Entry> entryOf(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0 || sectionOf(line))
        return std::nullopt;
    return Entry{line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
}

// Where a section and key stand in the file's lines (-1: absent). insertAt is
// the line after the section's last non-blank line, where a new key goes.
struct Place {
    qsizetype section = -1;
    qsizetype key = -1;
    qsizetype insertAt = -1;
};

Place locate(const QStringList& lines, const QString& section, const QString& key)
{
    Place place;
    qsizetype i = 0;
    while (i < lines.size() && !isSectionNamed(lines[i], section))
        ++i;
    if (i == lines.size())
        return place;
    place.section = i;
    place.insertAt = i + 1;
    for (++i; i < lines.size() && !sectionOf(lines[i]); ++i) {
        const auto entry = entryOf(lines[i]);
        if (place.key < 0 && entry && sameName(entry->key, key))
            place.key = i;
        if (!lines[i].trimmed().isEmpty())
            place.insertAt = i + 1;
    }
    return place;
}

QStringList withTipEntry(QStringList lines, const QString& section, const QString& key,
                         const QString& value)
{
    const Place place = locate(lines, section, key);
    if (place.key >= 0) {
        lines[place.key] = entryOf(lines[place.key])->key + QLatin1Char('=') + value;
    } else if (place.section >= 0) {
        lines.insert(place.insertAt, key + QLatin1Char('=') + value);
    } else {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + value);
    }
    return lines;
}

// The longest start of text that takes at most maxBytes in the file
// encoding, never splitting a character.
QString cutToBytes(const QString& text, qsizetype maxBytes)
{
    if (TextFile::encode(text).size() <= maxBytes)
        return text;
    QString result;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, units);
        bytes += TextFile::encode(character).size();
        if (bytes > maxBytes)
            break;
        result += character;
        i += units;
    }
    return result;
}

QString invalidEntryText(const QString& section, const QString& key)
{
    return QStringLiteral("非法条目> ") + section + QLatin1Char('/') + key;
}

// A number with at least `width` digits, zero-padded after its sign.
QString zeroPadded(int number, int width)
{
    const QString digits = QString::number(std::abs(static_cast<qint64>(number)))
                               .rightJustified(width, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

}  // namespace

QString ReadSetting(const QString& fileName, const QString& key)
{
    const auto lines = TextFile::readLines(fileName);
    if (!lines)
        return QString();
    const QString match = key + QLatin1Char('=');
    for (const QString& line : *lines) {
        const qsizetype at = line.indexOf(match);
        if (at >= 0)
            return line.mid(at + match.size());
    }
    return QString();
}

void WriteSetting(const QString& fileName, const QString& key, const QString& value)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        TextFile::writeLines(fileName, {key + QLatin1Char('=') + value});
        return;
    }
    const auto lines = TextFile::readLines(fileName);
    if (!lines)
        return;  // a file that cannot be read is not replaced by a guess
    // The work file is started afresh: whatever an interrupted call left in it
    // must not reach the settings file.
    const QString workFile = info.absoluteDir().filePath(kWorkFileName);
    QFile::remove(workFile);
    const bool written = TextFile::writeLines(workFile, withSetting(*lines, key, value));
    if (!written || TextFile::isReadOnly(fileName) || !replaceWith(workFile, fileName))
        QFile::remove(workFile);
}

QString VersionText(int major, int minor, int revision)
{
    // The major number as the old Str() wrote it: a blank where a minus sign
    // would stand.
    const QString majorText =
        major < 0 ? QString::number(major) : QLatin1Char(' ') + QString::number(major);
    return majorText + QLatin1Char('.') + zeroPadded(minor, 2) + QStringLiteral(" Build:")
           + zeroPadded(revision, 4);
}

QString VersionText()
{
    return VersionText(SHELFMARK_VERSION_MAJOR, SHELFMARK_VERSION_MINOR, SHELFMARK_VERSION_PATCH);
}

QString ReadTipEntry(const QString& fileName, const QString& section, const QString& key,
                     Prompter& prompter)
{
    const auto lines = TextFile::readLines(fileName);
    if (!lines)
        return kUnknown;
    const Place place = locate(*lines, section, key);
    if (place.key < 0)
        return kUnknown;
    const QString value = cutToBytes(entryOf(lines->at(place.key))->value, kMaxValueBytes);
    if (value.isEmpty()) {
        prompter.notice(invalidEntryText(section, key), QStringLiteral("找不到所需字段"),
                        Prompter::Icon::Stop);
    }
    return value;
}

QString WriteTipEntry(const QString& fileName, const QString& section, const QString& key,
                      const QString& value, Prompter& prompter)
{
    const auto lines =
        QFileInfo::exists(fileName) ? TextFile::readLines(fileName) : QStringList();
    if (!lines || !TextFile::writeLines(fileName, withTipEntry(*lines, section, key, value))) {
        prompter.notice(invalidEntryText(section, key), QStringLiteral("读取时出错"),
                        Prompter::Icon::Stop);
    }
    return QString();
}
