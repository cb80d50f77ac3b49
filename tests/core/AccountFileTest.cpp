#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include "core/logic/AccountFile.h"
#include "core/logic/TextFile.h"

namespace {

QByteArray readBytes(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeBytes(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The character a two-byte GB18030 code stands for.
QString gb(int code)
{
    QByteArray bytes;
    bytes.append(char(code >> 8)).append(char(code & 0xFF));
    return TextFile::decode(bytes);
}

QByteArray hex(const char* digits)
{
    return QByteArray::fromHex(digits);
}

class AccountFileTest : public ::testing::Test {
protected:
    QString file() const { return m_dir.filePath(QStringLiteral("userdata.dat")); }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(AccountFileTest, WritesReversedNameAndScrambledPasswordAsCrLfLines)
{
    ASSERT_TRUE(AccountFile::write(file(), {QStringLiteral("abc"), QStringLiteral("abc")}));
    EXPECT_EQ(readBytes(file()), QByteArray("UserName=cba\r\nPassword=dcb\r\n"));
}

TEST_F(AccountFileTest, ChineseNameAndPasswordAreGb18030Codes)
{
    // 管理员 reversed; 中 (D6D0) and 文 (CEC4) each raised by one and reversed.
    ASSERT_TRUE(AccountFile::write(file(), {QStringLiteral("管理员"), QStringLiteral("中文")}));
    const QByteArray expected = "UserName=" + TextFile::encode(QStringLiteral("员理管")) + "\r\n"
                                + "Password=" + hex("cec5d6d1") + "\r\n";
    EXPECT_EQ(readBytes(file()), expected);
    const AccountFile::Account back = AccountFile::read(file());
    EXPECT_EQ(back.name, QStringLiteral("管理员"));
    EXPECT_EQ(back.password, QStringLiteral("中文"));
}

TEST_F(AccountFileTest, ReadsAFileWrittenBeforeByteForByte)
{
    // desk / 739 as the old program left them, with a stray line and the
    // password line first.
    writeBytes(file(), "[x]\r\nPassword=:48\r\nUserName=ksed\r\n");
    const AccountFile::Account account = AccountFile::read(file());
    EXPECT_EQ(account.name, QStringLiteral("desk"));
    EXPECT_EQ(account.password, QStringLiteral("739"));
}

TEST_F(AccountFileTest, MissingFileGivesTheDefaultAccount)
{
    const AccountFile::Account account = AccountFile::read(file());
    EXPECT_EQ(account.name, QStringLiteral("desk"));
    EXPECT_EQ(account.password, QStringLiteral("739"));
}

TEST_F(AccountFileTest, MissingLinesAndKeysInAnotherCaseGiveEmptyParts)
{
    writeBytes(file(), "username=cba\r\nPassword=dcb\r\n");
    AccountFile::Account account = AccountFile::read(file());
    EXPECT_EQ(account.name, QString());
    EXPECT_EQ(account.password, QStringLiteral("abc"));

    writeBytes(file(), "UserName=cba\r\n");
    account = AccountFile::read(file());
    EXPECT_EQ(account.name, QStringLiteral("abc"));
    EXPECT_EQ(account.password, QString());
}

// Each password is written, read back from the bytes, and the stored value
// checked where the step leaves the plain "+1".
TEST_F(AccountFileTest, PasswordsComeBackExactlyThroughTheFile)
{
    struct Case {
        QString password;
        QByteArray stored;  // the bytes after "Password=", when checked
    };
    const QList<Case> cases = {
        {QStringLiteral("739"), ":48"},
        {QStringLiteral("a b~"), hex("7f632162")},  // ~ becomes DEL, as before
        {QString(QChar(0x7F)), " "},                     // DEL wraps round to the blank
        {QStringLiteral("中文密码"), {}},
        {QStringLiteral("图书馆2024!"), {}},
        {gb(0x817E), hex("8180")},  // trail 7F does not exist
        {gb(0x81FE), hex("8240")},  // next lead byte
        {gb(0xFEFE), hex("8140")},  // the last two-byte code wraps round
        {gb(0xA1A1) + gb(0xAAA1), hex("aaa2a1a2")},  // full-width blank, user area
        {QStringLiteral("Bär😀"), {}},  // four-byte codes stay as they are
        {QStringLiteral("a\tb"), {}},  // a control character stays as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password.toStdString());
        ASSERT_TRUE(AccountFile::write(file(), {QStringLiteral("desk"), c.password}));
        const QByteArray bytes = readBytes(file());
        const qsizetype start = bytes.indexOf("\r\nPassword=") + 11;
        const QByteArray stored = bytes.mid(start, bytes.size() - start - 2);
        if (!c.stored.isNull())
            EXPECT_EQ(stored.toHex(), c.stored.toHex());
        // Whatever was stored is valid text in the file encoding.
        EXPECT_EQ(TextFile::encode(TextFile::decode(stored)), stored);
        EXPECT_EQ(AccountFile::read(file()).password, c.password);
    }
}

TEST_F(AccountFileTest, FourByteCharactersInTheNameKeepTheirPairsWhenReversed)
{
    const QString name = QStringLiteral("a😀𠀀b");
    EXPECT_EQ(AccountFile::reversed(name), QStringLiteral("b𠀀😀a"));
    ASSERT_TRUE(AccountFile::write(file(), {name, QStringLiteral("x")}));
    EXPECT_EQ(AccountFile::read(file()).name, name);
}

// Raising is a one-to-one step on the single-byte and on the two-byte codes:
// every character comes back, and no two characters are stored alike.
TEST(AccountScramble, EverySingleAndTwoByteCharacterComesBack)
{
    QStringList characters;
    for (int c = 0; c < 0x80; ++c)
        characters.append(QString(QChar(c)));
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                characters.append(gb((lead << 8) | trail));
        }
    }
    QSet<QString> stored;
    int unchanged = 0;
    for (const QString& c : characters) {
        const QString scrambled = AccountFile::scramble(c);
        ASSERT_EQ(AccountFile::unscramble(scrambled), c) << c.toStdString();
        ASSERT_EQ(TextFile::encode(scrambled).size(), TextFile::encode(c).size());
        stored.insert(scrambled);
        unchanged += scrambled == c ? 1 : 0;
    }
    EXPECT_EQ(stored.size(), characters.size());
    EXPECT_EQ(unchanged, 0x20);  // only the control characters
}

TEST(AccountScramble, RaisesEachCharacterAndReverses)
{
    EXPECT_EQ(AccountFile::scramble(QStringLiteral("abc")), QStringLiteral("dcb"));
    EXPECT_EQ(AccountFile::unscramble(QStringLiteral("dcb")), QStringLiteral("abc"));
    EXPECT_EQ(AccountFile::scramble(QString()), QString());
}

TEST_F(AccountFileTest, WriteProblemNamesAMissingFolderOrAReadOnlyFile)
{
    const QString inMissing = m_dir.filePath(QStringLiteral("dat/userdata.dat"));
    EXPECT_TRUE(AccountFile::writeProblem(inMissing).contains(QStringLiteral("不存在")));
    EXPECT_FALSE(AccountFile::write(inMissing, {QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_FALSE(QFile::exists(inMissing));

    EXPECT_EQ(AccountFile::writeProblem(file()), QString());
    ASSERT_TRUE(AccountFile::write(file(), {QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(AccountFile::writeProblem(file()), QString());

    const QByteArray before = readBytes(file());
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_TRUE(AccountFile::writeProblem(file()).contains(QStringLiteral("只读")));
    EXPECT_FALSE(AccountFile::write(file(), {QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(readBytes(file()), before);
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner);
}
