#pragma once

#include <QList>

#include "export/logic/FileBeside.h"
#include "export/logic/TableWriter.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A table as an Excel workbook (see TableWriter), through libxlsxwriter in
// its constant-memory mode: each row is on disk once the next begins, so
// memory stays flat however long the table. The library cannot measure
// columns afterwards, so each column's widest text (a Chinese character
// counting two) is noted as the rows go by and set as the column's width
// when the sheet is done.
class XlsxTableWriter : public TableWriter {
public:
    // Rows of a sheet, its heading row included (the format's limit).
    static constexpr int kSheetRows = 1048576;
    // A cell holds at most this many characters (the format's limit); a
    // longer text is cut there.
    static constexpr int kCellChars = 32767;

    XlsxTableWriter(const ExportTarget& target, const ExportColumns& columns);
    ~XlsxTableWriter() override;

    void writeRow(const QStringList& cells) override;
    void finish() override;

private:
    void addSheet();
    void writeText(int column, const QString& text, lxw_format* format);
    void check(int error);
    void setWidths();

    FileBeside m_file;
    ExportColumns m_columns;
    QString m_sheetName;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_bold = nullptr;
    lxw_format* m_date = nullptr;
    int m_sheets = 0;
    int m_row = 0;              // the next row of the current sheet
    QList<int> m_widths;        // the widest text of each column on the current sheet
};
