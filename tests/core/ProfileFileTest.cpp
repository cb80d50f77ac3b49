#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Probes.h"
#include "ScriptedPrompter.h"
#include "core/logic/ProfileFile.h"
#include "core/logic/TextFile.h"

namespace {

// "借书" in GB18030 (the same bytes as in GBK / code page 936).
const QByteArray kJieShu = QByteArray::fromHex("bde8cae9");

struct Files : ::testing::Test {
    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QString readTip(const QString& sect, const QString& key) { return ReadTipEntry(tips, sect, key, prompter); }
    QString writeTip(const QString& s, const QString& k, const QString& v) { return WriteTipEntry(tips, s, k, v, prompter); }

    QTemporaryDir dir;
    QString text = dir.filePath("out.txt");
    QString setting = dir.filePath("setting.ini");
    QString tips = dir.filePath("QUICKTIP.INI");
    ScriptedPrompter prompter;
};

}  // namespace

// ---- GB18030 text files -------------------------------------------------------

TEST_F(Files, TextIsGb18030WithAnyLineEndReadAndCrLfWritten)
{
    const struct { QByteArray bytes; QStringList lines; } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}}, {"a\nb", {"a", "b"}}, {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb\n", {"a", "", "b"}}, {"a\r\r\nb", {"a", "", "b"}}, {"", {}},
        {"[TIP]\r\n1=" + kJieShu, {"[TIP]", QStringLiteral("1=借书")}},
    };
    for (const auto& c : cases) {
        putBytes(text, c.bytes);
        EXPECT_EQ(TextFile::readLines(text), c.lines) << c.bytes.toStdString();
    }
    EXPECT_FALSE(TextFile::readLines(dir.filePath("missing.txt")).has_value());
    EXPECT_FALSE(TextFile::readLines(dir.path()).has_value());

    putBytes(text, "old content that is longer than the new one\r\n");
    ASSERT_TRUE(TextFile::writeLines(text, {QStringLiteral("借书"), "", "x=1"}));
    EXPECT_EQ(bytesOf(text), kJieShu + "\r\n\r\nx=1\r\n");
    EXPECT_EQ(filesInDir(), QStringList({"out.txt"}));  // no work files left behind
}

// ---- Plain key=value files ------------------------------------------------------

TEST_F(Files, ReadSettingTakesTheRestOfTheFirstLineHoldingKeyAndEquals)
{
    const struct { QByteArray content; /* null: no file */ QString key, expected; } cases[] = {
        {"LoadStyle=1\r\n", "LoadStyle", "1"}, {"LoadStyle=1\r\n", "loadstyle", ""}, {{}, "LoadStyle", ""},
        {"OldLoadStyle=5\r\nLoadStyle=2\r\n", "LoadStyle", "5"}, {"LoadStyle 1\r\n", "LoadStyle", ""},
        {"A=1\nLoadStyle=a=b \nLoadStyle=3\n", "LoadStyle", "a=b "},
        {"UserName=" + kJieShu + "\r\n", "UserName", QStringLiteral("借书")},
    };
    for (const auto& c : cases) {
        putBytes(setting, c.content);
        EXPECT_EQ(ReadSetting(setting, c.key), c.expected) << c.content.toStdString();
    }
}

// A rewrite starts the work file temp.ini afresh, whatever an interrupted
// earlier write left there, and leaves only the settings file behind.
TEST_F(Files, WriteSettingReplacesEveryMatchingLineOrAppendsOrCreates)
{
    const struct { QByteArray before; /* null: no file */ QByteArray after; } cases[] = {
        {"LoadStyle=2\r\nOther=x\r\n", "LoadStyle=0\r\nOther=x\r\n"}, {"Other=x\r\n", "Other=x\r\nLoadStyle=0\r\n"},
        {{}, "LoadStyle=0\r\n"},
        {"LoadStyle=1\r\nA=1\r\nOldLoadStyle=5\r\nLoadStyle=2",
         "LoadStyle=0\r\nA=1\r\nLoadStyle=0\r\nLoadStyle=0\r\n"},
        {"A=1\nloadstyle=2\n\nB=2\n", "A=1\r\nloadstyle=2\r\n\r\nB=2\r\nLoadStyle=0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        putBytes(setting, c.before);
        putBytes(dir.filePath("temp.ini"), c.before.isNull() ? QByteArray() : "Garbage=1\r\nLoadStyle=9\r\n");
        WriteSetting(setting, "LoadStyle", "0");
        EXPECT_EQ(bytesOf(setting), c.after);
        EXPECT_EQ(filesInDir(), QStringList({"setting.ini"}));
    }
}

// ---- The sectioned tip file -------------------------------------------------------

// Section and key match without case and the value comes back trimmed; one
// longer than 999 bytes is cut, never inside a character; an entry with an
// empty value shows the stop box.
TEST_F(Files, ReadTipEntryMatchesWithoutCaseAndTrimsAndCutsTheValue)
{
    const QString rare = QString::fromUcs4(U"\U00020000");  // four bytes; 借 takes two
    putBytes(tips, "[OTHER]\r\nCURRENT=9\r\n[TIP]\r\n  START = 1  \r\ncurrent=3\r\n1=" + kJieShu
                       + "\r\nEMPTY=\r\nBLANK=   \r\nA=" + QByteArray(1200, 'a') + "\r\nB="
                       + TextFile::encode(QString(600, u'借')) + "\r\nC=ab" + TextFile::encode(rare.repeated(300))
                       + "\r\n\r\n[ Last ]\r\nK=\tv w\t\r\n");
    const struct { QString section, key, expected; } cases[] = {
        {"tip", "start", "1"}, {"Tip", "Current", "3"}, {"TIP", "1", QStringLiteral("借书")},
        {"last", "k", "v w"}, {"TIP", "K", "unknown"}, {"NONE", "START", "unknown"},
        {"OTHER", "START", "unknown"}, {"TIP", "A", QString(999, 'a')}, {"TIP", "B", QString(499, u'借')},
        {"TIP", "C", "ab" + rare.repeated(249)}, {"TIP", "EMPTY", ""}, {"tip", "Blank", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readTip(c.section, c.key), c.expected) << qPrintable(c.section + "/" + c.key);
    QFile::remove(tips);
    EXPECT_EQ(readTip("TIP", "START"), "unknown");
    EXPECT_EQ(prompter.texts(), QStringList({"非法条目> TIP/EMPTY", "非法条目> tip/Blank"}));
    EXPECT_EQ(prompter.shown.value(0).title, "找不到所需字段");
    EXPECT_EQ(prompter.shown.value(0).icon, Prompter::Icon::Stop);
}

TEST_F(Files, WriteTipEntryReplacesInPlaceOrAddsAtTheEndOfTheSectionOrFile)
{
    EXPECT_EQ(writeTip("TIP", "START", "1"), "");
    EXPECT_EQ(bytesOf(tips), "[TIP]\r\nSTART=1\r\n");

    const QString tip = QStringLiteral("借书前请先输入读者编号，再按回车");
    putBytes(tips, "; tips\r\n[TIP]\r\n Current = 3 \r\n\r\n[X]\r\nCURRENT=8\r\n");
    writeTip("tip", "CURRENT", "4");
    writeTip("TIP", "7", tip);
    writeTip("MORE", "X", "y");
    EXPECT_EQ(bytesOf(tips), "; tips\r\n[TIP]\r\nCurrent=4\r\n7=" + TextFile::encode(tip)
                                   + "\r\n\r\n[X]\r\nCURRENT=8\r\n[MORE]\r\nX=y\r\n");
    EXPECT_EQ(readTip("tip", "7"), tip);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(filesInDir(), QStringList({"QUICKTIP.INI"}));
}

