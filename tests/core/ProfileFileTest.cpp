#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/logic/ProfileFile.h"
#include "core/logic/TextFile.h"
#include "ScriptedPrompter.h"

namespace {

QByteArray gb(const QString& text)
{
    return TextFile::encode(text);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void putBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Read-only by its permission bits; the tests may run with rights that would
// let a plain access check pass.
void makeReadOnly(const QString& path)
{
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther));
}

QStringList filesIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString setting = dir.filePath("setting.ini");
    QString tips = dir.filePath("QUICKTIP.INI");
    QString workFile = dir.filePath("temp.ini");
    ScriptedPrompter prompter;

    QString readTip(const QString& section, const QString& key)
    {
        return ReadTipEntry(tips, section, key, prompter);
    }
    QString writeTip(const QString& section, const QString& key, const QString& value)
    {
        return WriteTipEntry(tips, section, key, value, prompter);
    }
};

}  // namespace

// ---- ReadSetting ------------------------------------------------------------

TEST_F(ProfileFileTest, ReadSettingFindsKeyPlusEqualsAnywhereInALine)
{
    const struct {
        QByteArray content;
        QString key;
        QString expected;
    } cases[] = {
        {"LoadStyle=1\r\n", "LoadStyle", "1"},
        {"LoadStyle=1\r\n", "loadstyle", ""},
        {"LoadStyle=\r\n", "LoadStyle", ""},
        {"LoadStyle=2", "LoadStyle", "2"},
        {"OldLoadStyle=5\r\nLoadStyle=2\r\n", "LoadStyle", "5"},
        {"A=1\r\nLoadStyle=2\r\nLoadStyle=3\r\n", "LoadStyle", "2"},
        {"LoadStyle=a=b \r\n", "LoadStyle", "a=b "},
        {"LoadStyle 1\r\n", "LoadStyle", ""},
        {"x\nLoadStyle=1\n", "LoadStyle", "1"},
        {"", "LoadStyle", ""},
        {"Password=dcb\r\nUserName=" + gb("员馆") + "\r\n", "UserName", QStringLiteral("员馆")},
    };
    for (const auto& c : cases) {
        putBytes(setting, c.content);
        EXPECT_EQ(ReadSetting(setting, c.key), c.expected) << c.content.toStdString();
    }
}

TEST_F(ProfileFileTest, ReadSettingOfMissingFileIsEmpty)
{
    EXPECT_EQ(ReadSetting(setting, "LoadStyle"), "");
    EXPECT_FALSE(QFile::exists(setting));
}

// ---- WriteSetting -----------------------------------------------------------

TEST_F(ProfileFileTest, WriteSettingRewritesMatchingLinesOrAppends)
{
    const struct {
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"LoadStyle=2\r\nOther=x\r\n", "LoadStyle=0\r\nOther=x\r\n"},
        {"Other=x\r\n", "Other=x\r\nLoadStyle=0\r\n"},
        {"", "LoadStyle=0\r\n"},
        {"LoadStyle=1\r\nA=1\r\nOldLoadStyle=5\r\nLoadStyle=2",
         "LoadStyle=0\r\nA=1\r\nLoadStyle=0\r\nLoadStyle=0\r\n"},
        {"loadstyle=1\r\n", "loadstyle=1\r\nLoadStyle=0\r\n"},
        {"A=1\nLoadStyle=2\n\nB=2\n", "A=1\r\nLoadStyle=0\r\n\r\nB=2\r\n"},
    };
    for (const auto& c : cases) {
        putBytes(setting, c.before);
        WriteSetting(setting, "LoadStyle", "0");
        EXPECT_EQ(fileBytes(setting), c.after) << c.before.toStdString();
        EXPECT_EQ(filesIn(dir), QStringList({"setting.ini"}));
    }
}

TEST_F(ProfileFileTest, WriteSettingCreatesMissingFileWithOneLine)
{
    WriteSetting(setting, "LoadStyle", "0");
    EXPECT_EQ(fileBytes(setting), "LoadStyle=0\r\n");
    EXPECT_EQ(filesIn(dir), QStringList({"setting.ini"}));
}

TEST_F(ProfileFileTest, WriteSettingIgnoresALeftoverWorkFile)
{
    putBytes(workFile, "Garbage=1\r\nLoadStyle=9\r\n");
    putBytes(setting, "LoadStyle=2\r\n");
    WriteSetting(setting, "LoadStyle", "1");
    EXPECT_EQ(fileBytes(setting), "LoadStyle=1\r\n");
    EXPECT_FALSE(QFile::exists(workFile));
}

TEST_F(ProfileFileTest, WriteSettingLeavesReadOnlyFileAlone)
{
    putBytes(setting, "LoadStyle=2\r\n");
    makeReadOnly(setting);
    putBytes(workFile, "Garbage=1\r\n");
    WriteSetting(setting, "LoadStyle", "0");
    EXPECT_EQ(fileBytes(setting), "LoadStyle=2\r\n");
    EXPECT_FALSE(QFile::exists(workFile));
    EXPECT_FALSE(QFile::permissions(setting) & QFileDevice::WriteOwner);
}

TEST_F(ProfileFileTest, WriteSettingKeepsTheFilesPermissions)
{
    putBytes(setting, "LoadStyle=2\r\n");
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(setting, permissions));
    WriteSetting(setting, "LoadStyle", "1");
    EXPECT_EQ(fileBytes(setting), "LoadStyle=1\r\n");
    const auto ownerGroupOther = QFileDevice::Permissions(0x7077);  // not the "user" bits
    EXPECT_EQ(QFile::permissions(setting) & ownerGroupOther, permissions);
}

TEST_F(ProfileFileTest, WriteSettingStoresChineseAsGb18030)
{
    putBytes(setting, "UserName=ksed\r\n");
    WriteSetting(setting, "UserName", QStringLiteral("员馆"));
    EXPECT_EQ(fileBytes(setting), "UserName=" + gb(QStringLiteral("员馆")) + "\r\n");
    EXPECT_EQ(ReadSetting(setting, "UserName"), QStringLiteral("员馆"));
}

// ---- VersionText ------------------------------------------------------------

TEST(VersionText, FormatsMajorMinorAndBuild)
{
    const struct {
        int major, minor, revision;
        const char* expected;
    } cases[] = {
        {2, 1, 147, " 2.01 Build:0147"},   {3, 12, 5, " 3.12 Build:0005"},
        {0, 0, 0, " 0.00 Build:0000"},     {10, 100, 12345, " 10.100 Build:12345"},
        {-1, 2, 3, "-1.02 Build:0003"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionText(c.major, c.minor, c.revision), c.expected) << c.expected;
}

TEST(VersionText, ThisRelease)
{
    // The release number comes from the build (project version 2.1.147).
    EXPECT_EQ(VersionText(), " 2.01 Build:0147");
}

// ---- ReadTipEntry -----------------------------------------------------------

TEST_F(ProfileFileTest, ReadTipEntryMatchesSectionsAndKeysWithoutCase)
{
    putBytes(tips, "[OTHER]\r\nCURRENT=9\r\n"
                   "[TIP]\r\n  START = 1  \r\ncurrent=3\r\n1=" + gb(QStringLiteral("欢迎使用")) + "\r\n"
                   "\r\n[ Last ]\r\nK=\tv w\t\r\nCURRENT=7\r\n");
    const struct {
        QString section, key, expected;
    } cases[] = {
        {"TIP", "START", "1"},        {"tip", "start", "1"},
        {"TIP", "CURRENT", "3"},      {"Tip", "Current", "3"},
        {"TIP", "1", QStringLiteral("欢迎使用")},
        {"last", "k", "v w"},         {"LAST", "CURRENT", "7"},
        {"TIP", "K", "unknown"},      {"TIP", "2", "unknown"},
        {"NONE", "START", "unknown"}, {"OTHER", "START", "unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readTip(c.section, c.key), c.expected) << c.section.toStdString() << "/"
                                                          << c.key.toStdString();
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(ProfileFileTest, ReadTipEntryOfMissingFileIsUnknownWithoutABox)
{
    EXPECT_EQ(readTip("TIP", "START"), "unknown");
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(tips));
}

TEST_F(ProfileFileTest, ReadTipEntryOfEmptyValueShowsTheStopBox)
{
    putBytes(tips, "[TIP]\r\nSTART=\r\nCURRENT=   \r\n");
    EXPECT_EQ(readTip("TIP", "START"), "");
    EXPECT_EQ(readTip("tip", "Current"), "");
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("非法条目> TIP/START"));
    EXPECT_EQ(prompter.shown[0].title, QStringLiteral("找不到所需字段"));
    EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Stop);
    EXPECT_EQ(prompter.shown[1].text, QStringLiteral("非法条目> tip/Current"));
}

TEST_F(ProfileFileTest, ReadTipEntryCutsLongValuesTo999BytesWithoutSplittingACharacter)
{
    const QString chinese = QString(600, QChar(0x501F));  // 借, two bytes each
    const QString rare = QString::fromUcs4(U"\U00020000");  // four bytes
    const struct {
        QString stored, expected;
    } cases[] = {
        {QString(1200, 'a'), QString(999, 'a')},
        {QString(999, 'a'), QString(999, 'a')},
        {chinese, chinese.left(499)},
        {"a" + chinese, "a" + chinese.left(499)},
        {"abc" + rare.repeated(300), "abc" + rare.repeated(249)},
        {"ab" + rare.repeated(300), "ab" + rare.repeated(249)},
    };
    for (const auto& c : cases) {
        putBytes(tips, "[TIP]\r\n1=" + gb(c.stored) + "\r\n");
        const QString value = readTip("TIP", "1");
        EXPECT_EQ(value, c.expected) << gb(c.stored).size();
        EXPECT_LE(gb(value).size(), 999);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

// ---- WriteTipEntry ----------------------------------------------------------

TEST_F(ProfileFileTest, WriteTipEntryCreatesFileSectionAndKey)
{
    EXPECT_EQ(writeTip("TIP", "START", "1"), "");
    EXPECT_EQ(fileBytes(tips), "[TIP]\r\nSTART=1\r\n");
    EXPECT_EQ(writeTip("TIP", "CURRENT", "2"), "");
    EXPECT_EQ(writeTip("MORE", "X", "y"), "");
    EXPECT_EQ(fileBytes(tips), "[TIP]\r\nSTART=1\r\nCURRENT=2\r\n[MORE]\r\nX=y\r\n");
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(filesIn(dir), QStringList({"QUICKTIP.INI"}));
}

TEST_F(ProfileFileTest, WriteTipEntryReplacesInPlaceKeepingOtherLines)
{
    const QByteArray tip1 = gb(QStringLiteral("1=按回车键查找读者"));
    putBytes(tips, "; tips\r\n[TIP]\r\nSTART=1\r\n Current = 3 \r\n" + tip1 + "\r\n\r\n[X]\r\nCURRENT=8\r\n");
    writeTip("tip", "CURRENT", "4");
    EXPECT_EQ(fileBytes(tips),
              "; tips\r\n[TIP]\r\nSTART=1\r\nCurrent=4\r\n" + tip1 + "\r\n\r\n[X]\r\nCURRENT=8\r\n");
    EXPECT_EQ(readTip("TIP", "CURRENT"), "4");
    EXPECT_EQ(readTip("X", "CURRENT"), "8");
}

TEST_F(ProfileFileTest, WriteTipEntryAddsKeyAtTheEndOfItsSection)
{
    putBytes(tips, "[TIP]\r\nSTART=1\r\n\r\n[X]\r\nA=1\r\n");
    writeTip("TIP", "CURRENT", "2");
    EXPECT_EQ(fileBytes(tips), "[TIP]\r\nSTART=1\r\nCURRENT=2\r\n\r\n[X]\r\nA=1\r\n");
}

TEST_F(ProfileFileTest, WriteTipEntryRoundTripsChineseThroughGb18030)
{
    const QString tip = QStringLiteral("借书前请先输入读者编号，再按回车");
    writeTip("TIP", "7", tip);
    EXPECT_EQ(fileBytes(tips), "[TIP]\r\n7=" + gb(tip) + "\r\n");
    EXPECT_EQ(readTip("tip", "7"), tip);
    writeTip("TIP", "8", "  padded  ");
    EXPECT_EQ(readTip("TIP", "8"), "padded");
}

TEST_F(ProfileFileTest, WriteTipEntryFailureShowsTheStopBoxAndKeepsTheFile)
{
    putBytes(tips, "[TIP]\r\nCURRENT=3\r\n");
    makeReadOnly(tips);
    EXPECT_EQ(writeTip("TIP", "CURRENT", "4"), "");
    EXPECT_EQ(fileBytes(tips), "[TIP]\r\nCURRENT=3\r\n");
    EXPECT_EQ(WriteTipEntry(dir.filePath("no/such/dir/QUICKTIP.INI"), "TIP", "START", "0", prompter),
              "");
    ASSERT_EQ(prompter.shown.size(), 2);
    for (const auto& box : prompter.shown) {
        EXPECT_EQ(box.title, QStringLiteral("读取时出错"));
        EXPECT_EQ(box.icon, Prompter::Icon::Stop);
    }
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("非法条目> TIP/CURRENT"));
    EXPECT_EQ(prompter.shown[1].text, QStringLiteral("非法条目> TIP/START"));
}
