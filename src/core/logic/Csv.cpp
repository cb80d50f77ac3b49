#include "core/logic/Csv.h"

#include <algorithm>

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include "core/logic/TextFile.h"

namespace Csv {

namespace {

const QByteArray kMark("\xEF\xBB\xBF");

QString quoted(const QString& cell)
{
    // One look at each character: a million rows are written at a time.
    if (std::none_of(cell.begin(), cell.end(), [](QChar c) {
            return c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
        }))
        return cell;
    QString text = cell;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool blank(const QStringList& record)
{
    return record.size() == 1 && record.first().isEmpty();
}

}  // namespace

QString encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8WithMark: return QStringLiteral("UTF-8 (带 BOM)");
    case Encoding::Utf8: return QStringLiteral("UTF-8");
    case Encoding::Gb18030: return QStringLiteral("GB18030");
    }
    return QString();
}

Decoded decode(const QByteArray& bytes)
{
    if (bytes.startsWith(kMark))
        return {QString::fromUtf8(bytes.mid(kMark.size())), Encoding::Utf8WithMark};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return {text, Encoding::Utf8};
    return {TextFile::decode(bytes), Encoding::Gb18030};
}

QList<QStringList> parse(const QString& text)
{
    QList<QStringList> records;
    QStringList record;
    QString cell;
    bool inQuotes = false;
    const qsizetype size = text.size();
    auto endRecord = [&] {
        record << cell;
        cell.clear();
        if (!blank(record))
            records << record;
        record.clear();
    };
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c != QLatin1Char('"'))
                cell += c;
            else if (i + 1 < size && text.at(i + 1) == QLatin1Char('"'))
                cell += text.at(++i);
            else
                inQuotes = false;
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
        } else if (c == QLatin1Char(',')) {
            record << cell;
            cell.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRecord();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !record.isEmpty())
        endRecord();
    return records;
}

bool read(const QString& path, Table* table, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法读取文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    const Decoded decoded = decode(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("无法读取文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    table->encoding = decoded.encoding;
    table->records = parse(decoded.text);
    return true;
}

QString lineText(const QStringList& cells)
{
    QString text;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += quoted(cells.at(i));
    }
    return text + QLatin1String("\r\n");
}

QByteArray line(const QStringList& cells)
{
    return lineText(cells).toUtf8();
}

bool write(const QString& path, const QList<QStringList>& records, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法写入文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    file.write(kMark);
    for (const QStringList& record : records)
        file.write(line(record));
    if (!file.commit()) {
        *error = QStringLiteral("无法写入文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace Csv
