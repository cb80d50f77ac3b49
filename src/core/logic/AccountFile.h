#pragma once

#include <QString>
#include <QStringList>

// The clerk account file dat/userdata.dat: GB18030 text, CR LF line ends, the
// two lines "UserName=" + the name with its characters in reverse order and
// "Password=" + the scrambled password. A missing file stands for the default
// account desk / 739.
//
// Scrambling raises every character's code in the file encoding by one and
// reverses the order of the characters (abc is stored as "dcb"); unscrambling
// undoes it. A code is raised as one number within its own kind of code, and
// the step wraps around inside that kind, so that every password comes back
// exactly and every stored character is valid text:
//   - blank to DEL (0x20..0x7F): the next byte, DEL wraps to the blank;
//   - two-byte codes: the next two-byte code (trail bytes 0x7F and 0xFF do
//     not exist and are stepped over; FEFE wraps to 8140), so 中 (D6D0)
//     becomes D6D1;
//   - control characters and four-byte codes (characters the old code page
//     936 did not have): kept as they are.
namespace AccountFile {

struct Account {
    QString name;
    QString password;
};

inline const QString kDefaultName = QStringLiteral("desk");
inline const QString kDefaultPassword = QStringLiteral("739");
inline const QString kNameKey = QStringLiteral("UserName");
inline const QString kPasswordKey = QStringLiteral("Password");

// The account in the file; the default account when the file does not exist.
// A file without one of the lines gives "" for that part.
Account read(const QString& fileName);

// The file's two lines (without line ends), name line first.
QStringList lines(const Account& account);

// Replaces the file as a whole with the account's two lines; the old file
// stays as it was when this fails. False when the file cannot be written.
bool write(const QString& fileName, const Account& account);

// Why the file could not be written now (its folder is missing, it is
// read-only, the folder cannot be written); "" when nothing stands in the way.
QString writeProblem(const QString& fileName);

// The text with its characters (code points) in reverse order.
QString reversed(const QString& text);

QString scramble(const QString& password);
QString unscramble(const QString& stored);

}  // namespace AccountFile
