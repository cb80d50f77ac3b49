#include "export/logic/CsvTableWriter.h"

#include "core/logic/Csv.h"
#include "export/logic/ExportError.h"

namespace {
// Lines are gathered to about this many characters before they are encoded
// and written.
constexpr qsizetype kFlushChars = 1 << 20;
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
    if (cells.size() == m_columns) {
        m_pending += Csv::lineText(cells);
    } else {
        QStringList fields = cells.mid(0, m_columns);
        fields.resize(m_columns);
        m_pending += Csv::lineText(fields);
    }
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
