#include "export/logic/XlsxTableWriter.h"

#include <QFile>
#include <QRegularExpression>
#include <xlsxwriter.h>

#include "core/logic/Conversions.h"
#include "export/logic/ExportError.h"

namespace {
// A column is never set narrower or wider than these (in widths of a digit).
constexpr int kNarrowest = 6;
constexpr int kWidest = 80;

// How many digit widths a character takes: two for the wide characters of
// Chinese, Japanese and Korean (and the full-width forms), one otherwise.
int charWidth(char32_t c)
{
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3)
                      || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
                      || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

// The width of a text's longest line, counted no further than kWidest.
int textWidth(const QString& text)
{
    int widest = 0;
    int width = 0;
    for (char32_t c : text.toUcs4()) {
        if (c == U'\n') {
            width = 0;
            continue;
        }
        width += charWidth(c);
        widest = std::max(widest, width);
        if (widest >= kWidest)
            break;
    }
    return widest;
}

// The workbook format reads "_xHHHH_" in a text as the character HHHH; a
// title that holds those very characters has its "_" written as "_x005F_" so
// that it reads back as written.
QString escapeCodes(const QString& text)
{
    static const QRegularExpression code(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString escaped = text;
    escaped.replace(code, QStringLiteral("_x005F_\\1"));
    return escaped;
}

// The sheet's name as the format allows it: none of []:*?/\, at most 31 characters.
QString sheetName(const QString& wanted, int number)
{
    QString name = wanted;
    static const QRegularExpression banned(QStringLiteral("[\\[\\]:*?/\\\\]"));
    name.replace(banned, QStringLiteral("_"));
    if (name.trimmed().isEmpty())
        name = QStringLiteral("Sheet");
    const QString suffix = number > 1 ? QStringLiteral(" (%1)").arg(number) : QString();
    return Conversions::leadingCharacters(name, 31 - int(suffix.size())) + suffix;
}
}  // namespace

XlsxTableWriter::XlsxTableWriter(const ExportTarget& target, const ExportColumns& columns)
    : m_file(target.path), m_columns(columns), m_sheetName(target.sheetName)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;  // a million rows of long titles may pass 4 GB unpacked
    m_book = workbook_new_opt(QFile::encodeName(m_file.scratchPath()).constData(), &options);
    if (!m_book)
        throw ExportError(QStringLiteral("无法写入文件 %1").arg(target.path));
    m_bold = workbook_add_format(m_book);
    format_set_bold(m_bold);
    m_date = workbook_add_format(m_book);
    format_set_num_format(m_date, "yyyy/m/d");
    addSheet();
}

XlsxTableWriter::~XlsxTableWriter()
{
    if (m_book)
        lxw_workbook_free(m_book);  // drops the rows written, without writing the file
}

void XlsxTableWriter::addSheet()
{
    if (m_sheet)
        setWidths();
    ++m_sheets;
    m_sheet = workbook_add_worksheet(m_book, sheetName(m_sheetName, m_sheets).toUtf8().constData());
    if (!m_sheet)
        throw ExportError(QStringLiteral("无法写入文件 %1：工作表名称无效").arg(m_file.target()));
    m_row = 0;
    m_widths = QList<int>(m_columns.size(), 0);
    for (int c = 0; c < m_columns.size(); ++c)
        writeText(c, m_columns.at(c).heading, m_bold);
    ++m_row;
}

void XlsxTableWriter::writeText(int column, const QString& text, lxw_format* format)
{
    if (text.isEmpty())
        return;
    const QString kept = text.size() > kCellChars ? Conversions::leadingCharacters(text, kCellChars) : text;
    m_widths[column] = std::max(m_widths[column], textWidth(kept));
    check(worksheet_write_string(m_sheet, lxw_row_t(m_row), lxw_col_t(column), escapeCodes(kept).toUtf8().constData(),
                                 format));
}

void XlsxTableWriter::writeRow(const QStringList& cells)
{
    if (m_row >= kSheetRows)
        addSheet();
    const int count = int(std::min(cells.size(), m_columns.size()));
    for (int c = 0; c < count; ++c) {
        const QString& text = cells.at(c);
        if (text.isEmpty())
            continue;
        switch (m_columns.at(c).kind) {
        case CellKind::Number:
            if (const std::optional<double> number = Conversions::textToNumber(text)) {
                m_widths[c] = std::max(m_widths[c], textWidth(text));
                check(worksheet_write_number(m_sheet, lxw_row_t(m_row), lxw_col_t(c), *number, nullptr));
                continue;
            }
            break;
        case CellKind::Date:
            if (const std::optional<QDate> date = Conversions::parseShortDate(text);
                date && date->year() >= 1900 && date->year() <= 9999) {
                lxw_datetime when = {date->year(), date->month(), date->day(), 0, 0, 0.0};
                m_widths[c] = std::max(m_widths[c], 10);
                check(worksheet_write_datetime(m_sheet, lxw_row_t(m_row), lxw_col_t(c), &when, m_date));
                continue;
            }
            break;
        case CellKind::Text:
            break;
        }
        writeText(c, text, nullptr);
    }
    ++m_row;
}

void XlsxTableWriter::setWidths()
{
    for (int c = 0; c < m_columns.size(); ++c) {
        const int width = std::clamp(m_widths.at(c) + 2, kNarrowest, kWidest);
        worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr);
    }
}

void XlsxTableWriter::finish()
{
    setWidths();
    lxw_workbook* book = m_book;
    m_book = nullptr;  // closed (and freed) below, whatever it returns
    check(workbook_close(book));
    m_file.commit();
}

void XlsxTableWriter::check(int error)
{
    if (error != LXW_NO_ERROR)
        throw ExportError(QStringLiteral("无法写入文件 %1：%2")
                              .arg(m_file.target(), QString::fromUtf8(lxw_strerror(lxw_error(error)))));
}
