#include "core/logic/AccountFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

#include "core/logic/ProfileFile.h"
#include "core/logic/TextFile.h"

namespace {

constexpr char32_t kFirstSingleByte = 0x20;  // the blank
constexpr char32_t kLastSingleByte = 0x7F;   // DEL
constexpr int kFirstLead = 0x81;
constexpr int kLastLead = 0xFE;
constexpr int kFirstTrail = 0x40;
constexpr int kLastTrail = 0xFE;
constexpr int kMissingTrail = 0x7F;
constexpr int kTwoByteCodes = (kLastLead - kFirstLead + 1) * (kLastTrail - kFirstTrail);

QString fromCodePoint(char32_t codePoint)
{
    return QString::fromUcs4(&codePoint, 1);
}

// The neighbouring two-byte code (lead byte * 256 + trail byte) in the given
// direction, wrapping from the last code to the first and back.
int stepTwoByte(int code, int direction)
{
    int lead = code >> 8;
    int trail = (code & 0xFF) + direction;
    if (trail == kMissingTrail)
        trail += direction;
    if (trail > kLastTrail) {
        trail = kFirstTrail;
        ++lead;
    } else if (trail < kFirstTrail) {
        trail = kLastTrail;
        --lead;
    }
    if (lead > kLastLead)
        lead = kFirstLead;
    else if (lead < kFirstLead)
        lead = kLastLead;
    return (lead << 8) | trail;
}

// The one character a two-byte code stands for, when it stands for exactly
// one character that is written back as the same code.
std::optional<char32_t> twoByteCharacter(int code)
{
    QByteArray bytes;
    bytes.append(char(code >> 8)).append(char(code & 0xFF));
    const QString text = TextFile::decode(bytes);
    const QList<uint> points = text.toUcs4();
    if (points.size() != 1 || TextFile::encode(text) != bytes)
        return std::nullopt;
    return char32_t(points.first());
}

// The two-byte code of a character, when it has one and it leads back to
// the same character.
std::optional<int> twoByteCode(char32_t codePoint)
{
    const QByteArray bytes = TextFile::encode(fromCodePoint(codePoint));
    if (bytes.size() != 2)
        return std::nullopt;
    const int code = (uchar(bytes.at(0)) << 8) | uchar(bytes.at(1));
    if (twoByteCharacter(code) != codePoint)
        return std::nullopt;
    return code;
}

// The character whose code is one higher (direction +1) or lower (-1).
char32_t shifted(char32_t codePoint, int direction)
{
    if (codePoint >= kFirstSingleByte && codePoint <= kLastSingleByte) {
        char32_t next = codePoint + direction;
        if (next > kLastSingleByte)
            next = kFirstSingleByte;
        else if (next < kFirstSingleByte)
            next = kLastSingleByte;
        return next;
    }
    if (codePoint < kFirstSingleByte)
        return codePoint;
    const std::optional<int> code = twoByteCode(codePoint);
    if (!code)
        return codePoint;
    int next = *code;
    for (int tries = 0; tries < kTwoByteCodes; ++tries) {
        next = stepTwoByte(next, direction);
        if (const std::optional<char32_t> character = twoByteCharacter(next))
            return *character;
    }
    return codePoint;
}

QString shiftedText(const QString& text, int direction)
{
    QList<uint> points = text.toUcs4();
    for (uint& point : points)
        point = shifted(point, direction);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()),
                             points.size());
}

}  // namespace

namespace AccountFile {

QString reversed(const QString& text)
{
    QList<uint> points = text.toUcs4();
    std::reverse(points.begin(), points.end());
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()),
                             points.size());
}

QString scramble(const QString& password)
{
    return reversed(shiftedText(password, +1));
}

QString unscramble(const QString& stored)
{
    return shiftedText(reversed(stored), -1);
}

Account read(const QString& fileName)
{
    if (!QFileInfo::exists(fileName))
        return {kDefaultName, kDefaultPassword};
    return {reversed(ReadSetting(fileName, kNameKey)),
            unscramble(ReadSetting(fileName, kPasswordKey))};
}

QStringList lines(const Account& account)
{
    return {kNameKey + QLatin1Char('=') + reversed(account.name),
            kPasswordKey + QLatin1Char('=') + scramble(account.password)};
}

bool write(const QString& fileName, const Account& account)
{
    return TextFile::writeLines(fileName, lines(account));
}

QString writeProblem(const QString& fileName)
{
    const QFileInfo file(fileName);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(folder));
    if (file.exists() && !file.isDir() && TextFile::isReadOnly(fileName))
        return QStringLiteral("文件 %1 是只读的").arg(QDir::toNativeSeparators(fileName));
    if (file.isDir())
        return QStringLiteral("文件 %1 不能写入").arg(QDir::toNativeSeparators(fileName));
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("文件夹 %1 不能写入").arg(QDir::toNativeSeparators(folder));
    return QString();
}

}  // namespace AccountFile
