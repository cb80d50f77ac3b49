#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// CSV files as Chinese spreadsheets write and read them: comma-separated
// cells, quoted where they hold a comma, a quote or a line break (a quote
// inside doubled), lines ended by CR LF. We write UTF-8 with a byte-order
// mark; we read that, UTF-8 without the mark, or GB18030, whichever the bytes are.
namespace Csv {

enum class Encoding { Utf8WithMark, Utf8, Gb18030 };

// The encoding's name as the clerk reads it ("UTF-8 (带 BOM)", "GB18030").
QString encodingName(Encoding encoding);

struct Decoded {
    QString text;
    Encoding encoding;
};
// The bytes as text: UTF-8 when they start with its mark or are all valid
// UTF-8, otherwise GB18030 (which takes any bytes).
Decoded decode(const QByteArray& bytes);

// The records of a CSV text, each a list of cells. A quoted cell may hold
// commas, doubled quotes and line breaks; blank lines are left out.
QList<QStringList> parse(const QString& text);

struct Table {
    Encoding encoding = Encoding::Utf8;
    QList<QStringList> records;  // the heading first
};
// Reads and parses a file; false, with *error, when it cannot be read.
bool read(const QString& path, Table* table, QString* error);

// One record as a line of the file (CR LF at its end), as text to be
// encoded, and in UTF-8.
QString lineText(const QStringList& cells);
QByteArray line(const QStringList& cells);
// Writes the records as a file in UTF-8 with a byte-order mark, beside the
// target first and then moved over it, so a failed write leaves no half
// file. False, with *error, when it cannot be written.
bool write(const QString& path, const QList<QStringList>& records, QString* error);

}  // namespace Csv
