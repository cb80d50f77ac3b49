#include "export/logic/CsvTableWriter.h"

#include "export/logic/ExportError.h"

namespace {
// Lines are gathered to about this many characters before they are encoded
// and written.
constexpr qsizetype kFlushChars = 1 << 20;

void appendField(QString& line, const QString& text)
{
    bool quote = false;
    for (QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            quote = true;
            break;
        }
    }
    if (!quote) {
        line += text;
        return;
    }
    line += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            line += QLatin1Char('"');
        line += c;
    }
    line += QLatin1Char('"');
}
}  // namespace

CsvTableWriter::CsvTableWriter(const ExportTarget& target, const ExportColumns& columns)
    : m_file(target.path),
      m_out(m_file.scratchPath()),
      m_encoder(target.encoding == CsvEncoding::Gb18030 ? "GB18030" : "UTF-8"),
      m_columns(columns.size())
{
    if (!m_encoder.isValid())
        throw ExportError(QStringLiteral("无法写入文件 %1：没有 GB18030 编码").arg(target.path));
    if (!m_out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail();
    if (target.encoding == CsvEncoding::Utf8WithBom && m_out.write("\xEF\xBB\xBF") != 3)
        fail();
    QStringList headings;
    for (const ExportColumn& column : columns)
        headings << column.heading;
    writeRow(headings);
}

void CsvTableWriter::writeRow(const QStringList& cells)
{
    for (qsizetype i = 0; i < m_columns; ++i) {
        if (i > 0)
            m_pending += QLatin1Char(',');
        if (i < cells.size())
            appendField(m_pending, cells.at(i));
    }
    m_pending += QLatin1String("\r\n");
    if (m_pending.size() >= kFlushChars)
        flush();
}

void CsvTableWriter::flush()
{
    const QByteArray bytes = m_encoder.encode(m_pending);
    m_pending.clear();
    if (m_out.write(bytes) != bytes.size())
        fail();
}

void CsvTableWriter::finish()
{
    flush();
    if (!m_out.flush())
        fail();
    m_out.close();
    m_file.commit();
}

void CsvTableWriter::fail()
{
    throw ExportError(QStringLiteral("无法写入文件 %1：%2").arg(m_file.target(), m_out.errorString()));
}
