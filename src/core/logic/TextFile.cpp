#include "core/logic/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const char* const kEncoding = "GB18030";
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// Splits decoded text at CR LF, LF or a lone CR. A line end at the very end
// does not start another (empty) line.
QStringList splitLines(const QString& text)
{
    QStringList lines;
    QString current;
    bool open = false;  // a line has begun since the last line end
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            lines.append(current);
            current.clear();
            open = false;
        } else {
            current.append(c);
            open = true;
        }
    }
    if (open)
        lines.append(current);
    return lines;
}

QByteArray linesToBytes(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += TextFile::encode(line) + kLineEnd;
    return bytes;
}

}  // namespace

namespace TextFile {

QByteArray encode(const QString& text)
{
    QStringEncoder encoder(kEncoding);
    return encoder.encode(text);
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder(kEncoding);
    return decoder.decode(bytes);
}

bool isReadOnly(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return false;
    // The permission bits, not only access(): a file marked read-only stays
    // read-only for us even when we run with rights that could override it.
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(info.permissions() & writeBits) || !info.isWritable();
}

std::optional<QStringList> readLines(const QString& fileName)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return splitLines(decode(bytes));
}

bool writeLines(const QString& fileName, const QStringList& lines)
{
    if (isReadOnly(fileName))
        return false;
    // Written beside the file and renamed over it, so that an interrupted
    // write leaves the old file as it was.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = linesToBytes(lines);
    // The bytes reach the disk in flush(): a full disk shows there, and the
    // half-written copy must not replace the file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace TextFile
