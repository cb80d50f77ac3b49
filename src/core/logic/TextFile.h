#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Text files in the old "ANSI code page": GB18030 on disk (a superset of
// GBK, code page 936), lines ended by CR LF. Converted at the file boundary.
namespace TextFile {

// The file's lines without their line ends (CR LF, LF or CR); nullopt when
// the file does not exist or cannot be read.
std::optional<QStringList> readLines(const QString& fileName);
// Writes the lines, each followed by CR LF, replacing the file as a whole (an
// interrupted write leaves the old file); false when the file cannot be
// written or is read-only.
bool writeLines(const QString& fileName, const QStringList& lines);

// True when the file exists and carries no write permission (for anyone), or
// cannot be written by this process. writeLines refuses such a file,
// whatever rights the process has.
bool isReadOnly(const QString& fileName);

// Text <-> bytes in the file encoding.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

}  // namespace TextFile
