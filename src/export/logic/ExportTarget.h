#pragma once

#include <QString>

// Where and how a table is written out.
enum class ExportFormat {
    Csv,   // comma-separated text, CR LF line ends, quoted where needed
    Xlsx,  // an Excel workbook
};

// The bytes of a CSV file: UTF-8 with a byte-order mark (the spreadsheets
// Chinese offices use then read it as UTF-8), or GB18030 (what they read
// without a mark; it holds every character, those outside the basic plane too).
enum class CsvEncoding { Utf8WithBom, Gb18030 };

struct ExportTarget {
    QString path;
    ExportFormat format = ExportFormat::Csv;
    CsvEncoding encoding = CsvEncoding::Utf8WithBom;  // CSV only
    // XLSX only: the first sheet's name (at most 31 characters, none of
    // []:*?/\ ; "" gives "Sheet1"); the sheets after it add " (2)", " (3)".
    QString sheetName;
};
