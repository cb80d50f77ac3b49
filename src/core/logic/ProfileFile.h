#pragma once

#include <QString>

class Prompter;

// The small settings-file helpers.
//
// Plain key=value files (setting.ini, the account file): a line matches a
// key when it contains key + "=" anywhere (exact case); the value is the rest
// of that line. Files are GB18030 text with CR LF line ends.
//
// The sectioned tip file (QUICKTIP.INI): "[SECTION]" lines followed by
// key=value lines; section and key names match without regard to case;
// values come back without the blanks around them; writing creates the file,
// the section and the key as needed and replaces a value in place.

// The value of the first line that matches key; "" when the file does not
// exist or no line matches.
QString ReadSetting(const QString& fileName, const QString& key);

// Sets key to value: replaces every matching line, or appends the entry when
// none matches, or creates the file with that one line. The file is rewritten
// through the work file "temp.ini" in the same directory, started afresh on
// every call; a read-only file is left unchanged, silently.
void WriteSetting(const QString& fileName, const QString& key, const QString& value);

// The version text for the title: " 2.01 Build:0147" for 2.1.147 (a leading
// blank, minor with two digits, revision with four).
QString VersionText(int major, int minor, int revision);
// The version text of this program.
QString VersionText();

// The entry's value; "unknown" when the file, section or key does not exist.
// An entry present with an empty value shows the stop box
// "非法条目> SECTION/KEY" titled "找不到所需字段" and yields "". A value longer
// than 999 bytes in the file encoding is cut to at most 999 bytes, never in
// the middle of a character.
QString ReadTipEntry(const QString& fileName, const QString& section, const QString& key,
                     Prompter& prompter);

// Writes the entry; when the file cannot be written (or is read-only) shows
// the stop box "非法条目> SECTION/KEY" titled "读取时出错". The file is replaced
// as a whole, so an interrupted write keeps the old tips. Always returns "".
QString WriteTipEntry(const QString& fileName, const QString& section, const QString& key,
                      const QString& value, Prompter& prompter);
