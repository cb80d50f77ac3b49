#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/TextFile.h"
#include "core/ui/Frmmain.h"
#include "look/logic/StyleSetting.h"
#include "look/ui/FrmAbout.h"
#include "look/ui/FrmHelp.h"
#include "look/ui/SkinControl.h"

namespace {

// Two small skins that are told apart by their text.
const QString kTypeSheet = QStringLiteral("QMainWindow { background-color: rgb(90, 40, 20); }");
const QString kLightSheet = QStringLiteral("QMainWindow { background-color: rgb(230, 245, 255); }");

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Deletes windows closed with WA_DeleteOnClose.
void flushClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct StyleFixture : ::testing::Test {
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;

    QString settingFile() const { return library.path(AppInfo::kSettingFile); }
    void writeSetting(const QByteArray& bytes) { writeBytes(settingFile(), bytes); }
    void installSkins(bool type = true, bool light = true)
    {
        QDir(library.dir()).mkpath(QStringLiteral("style"));
        if (type)
            writeBytes(library.path(AppInfo::kTypeStyleFile), kTypeSheet.toUtf8());
        if (light)
            writeBytes(library.path(AppInfo::kLightStyleFile), kLightSheet.toUtf8());
    }
    // The marks of "Windows默认", "经典传奇", "轻松一刻".
    static std::array<bool, 3> marks(const Frmmain& window)
    {
        return {window.meuWinStyle->isChecked(), window.meuTypeStyle->isChecked(),
                window.meuLight->isChecked()};
    }
};

using Marks = std::array<bool, 3>;
constexpr Marks kSystemMarked{true, false, false};
constexpr Marks kTypeMarked{false, true, false};
constexpr Marks kLightMarked{false, false, true};

}  // namespace

TEST_F(StyleFixture, StoredValueIsReadAsANumber)
{
    struct Case {
        const char* file;
        int expected;
    };
    const Case cases[] = {
        {"LoadStyle=2\r\n", 2},
        {"LoadStyle= 1\r\n", 1},       // blanks before the number are passed over
        {"LoadStyle=2abc\r\n", 2},     // only the leading number counts
        {"LoadStyle=abc\r\n", 0},
        {"LoadStyle=\r\n", 0},
        {"loadstyle=2\r\n", 0},        // the key is matched with exact case
        {"LoadStyle=1.5\r\n", StyleSetting::kNoStyle},
        {"LoadStyle=5\r\n", 5},
    };
    EXPECT_EQ(StyleSetting::read(library.dir()), 0) << "no file";
    for (const Case& c : cases) {
        writeSetting(c.file);
        EXPECT_EQ(StyleSetting::read(library.dir()), c.expected) << c.file;
    }
}

TEST_F(StyleFixture, LoadSettingMarksTheSavedStyle)
{
    struct Case {
        const char* file;  // nullptr: no style file
        Marks expected;
    };
    const Case cases[] = {
        {nullptr, kSystemMarked},
        {"LoadStyle=0\r\n", kSystemMarked},
        {"LoadStyle=1\r\n", kTypeMarked},
        {"LoadStyle=2\r\n", kLightMarked},
        {"LoadStyle=5\r\n", kSystemMarked},    // names no style: the design marks stay
        {"LoadStyle=abc\r\n", kSystemMarked},  // no number: counts as 0
        {"LoadStyle=1.5\r\n", kSystemMarked},
    };
    for (const Case& c : cases) {
        QFile::remove(settingFile());
        if (c.file)
            writeSetting(c.file);
        Frmmain window(prompter, clock, library.dir());
        window.LoadSetting();
        EXPECT_EQ(marks(window), c.expected) << (c.file ? c.file : "no file");
    }
}

TEST_F(StyleFixture, ValueNamingNoStyleLeavesTheCurrentMarks)
{
    Frmmain window(prompter, clock, library.dir());
    writeSetting("LoadStyle=2\r\n");
    window.LoadSetting();
    writeSetting("LoadStyle=5\r\n");
    window.LoadSetting();
    EXPECT_EQ(marks(window), kLightMarked);
}

TEST_F(StyleFixture, EachChoiceMarksItsItemSkinsTheWindowAndSavesTheValue)
{
    installSkins();
    Frmmain window(prompter, clock, library.dir());
    struct Step {
        QAction* item;
        Marks expected;
        QString sheet;
        QByteArray saved;
    };
    const Step steps[] = {
        {window.meuTypeStyle, kTypeMarked, kTypeSheet, "LoadStyle=1\r\n"},
        {window.meuLight, kLightMarked, kLightSheet, "LoadStyle=2\r\n"},
        {window.meuLight, kLightMarked, kLightSheet, "LoadStyle=2\r\n"},  // the same again
        {window.meuWinStyle, kSystemMarked, QString(), "LoadStyle=0\r\n"},
        {window.meuWinStyle, kSystemMarked, QString(), "LoadStyle=0\r\n"},
        {window.meuTypeStyle, kTypeMarked, kTypeSheet, "LoadStyle=1\r\n"},
    };
    for (const Step& step : steps) {
        step.item->trigger();  // as from the menu
        const std::string label = step.item->text().toStdString();
        EXPECT_EQ(marks(window), step.expected) << label;
        EXPECT_EQ(window.styleSheet(), step.sheet) << label;
        EXPECT_EQ(window.Skin1->styleSheet(), step.sheet) << label;
        // The style file holds the one entry, rewritten in place.
        EXPECT_EQ(bytesOf(settingFile()), step.saved) << label;
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(library.path(QStringLiteral("temp.ini"))));
}

TEST_F(StyleFixture, ChoiceCalledDirectlyActsAsFromTheMenu)
{
    installSkins();
    Frmmain window(prompter, clock, library.dir());
    window.meuLight_Click();
    EXPECT_EQ(marks(window), kLightMarked);
    window.meuWinStyle_Click();
    EXPECT_EQ(marks(window), kSystemMarked);
    EXPECT_EQ(bytesOf(settingFile()), QByteArray("LoadStyle=0\r\n"));
}

TEST_F(StyleFixture, ChoiceKeepsTheOtherLinesOfTheStyleFile)
{
    installSkins();
    writeSetting("Other=x\r\nLoadStyle=0\r\n");
    Frmmain window(prompter, clock, library.dir());
    window.meuLight->trigger();
    EXPECT_EQ(bytesOf(settingFile()), QByteArray("Other=x\r\nLoadStyle=2\r\n"));
}

TEST_F(StyleFixture, MissingSkinFileIsReportedAndChangesNothing)
{
    struct Case {
        bool typeMissing;
        QString message;
    };
    const Case cases[] = {
        {true, QStringLiteral("文件 .\\style\\type-style.skn 不存在!")},
        {false, QStringLiteral("文件 \\style\\light-hearted.skn 不存在!")},
    };
    for (const Case& c : cases) {
        QDir(library.path(QStringLiteral("style"))).removeRecursively();
        installSkins(!c.typeMissing, c.typeMissing);
        QFile::remove(settingFile());
        prompter.clear();
        Frmmain window(prompter, clock, library.dir());

        // From the system look, with no style file yet.
        QAction* missing = c.typeMissing ? window.meuTypeStyle : window.meuLight;
        missing->trigger();
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(prompter.shown[0].text, c.message);
        EXPECT_EQ(prompter.shown[0].title, AppInfo::kAppTitle);
        EXPECT_EQ(marks(window), kSystemMarked);
        EXPECT_FALSE(QFile::exists(settingFile()));
        EXPECT_TRUE(window.styleSheet().isEmpty());

        // From the other skin: it stays, and so does the file.
        QAction* present = c.typeMissing ? window.meuLight : window.meuTypeStyle;
        present->trigger();
        const QByteArray saved = bytesOf(settingFile());
        const QString sheet = window.styleSheet();
        const Marks before = marks(window);
        missing->trigger();
        EXPECT_EQ(prompter.shown.size(), 2);
        EXPECT_EQ(prompter.lastText(), c.message);
        EXPECT_EQ(marks(window), before);
        EXPECT_EQ(bytesOf(settingFile()), saved);
        EXPECT_EQ(window.styleSheet(), sheet);
        EXPECT_FALSE(sheet.isEmpty());
    }
}

TEST_F(StyleFixture, ReadOnlyStyleFileTakesTheChoiceForThisRunOnly)
{
    installSkins();
    writeSetting("LoadStyle=0\r\n");
    QFile::setPermissions(settingFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    Frmmain window(prompter, clock, library.dir());
    window.meuTypeStyle->trigger();
    EXPECT_EQ(marks(window), kTypeMarked);
    EXPECT_EQ(window.styleSheet(), kTypeSheet);
    EXPECT_EQ(bytesOf(settingFile()), QByteArray("LoadStyle=0\r\n"));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(StyleFixture, LoadAppliesTheSavedSkin)
{
    struct Case {
        const char* file;
        bool skinsPresent;
        Marks expected;
        QString sheet;
    };
    const Case cases[] = {
        {"LoadStyle=1\r\n", true, kTypeMarked, kTypeSheet},
        {"LoadStyle=2\r\n", true, kLightMarked, kLightSheet},
        // Marked, but the skin file is missing: skipped silently, no skin held.
        {"LoadStyle=1\r\n", false, kTypeMarked, QString()},
        {"LoadStyle=2\r\n", false, kLightMarked, QString()},
        {"LoadStyle=5\r\n", true, kSystemMarked, QString()},
    };
    for (const Case& c : cases) {
        QDir(library.path(QStringLiteral("style"))).removeRecursively();
        if (c.skinsPresent)
            installSkins();
        writeSetting(c.file);
        Frmmain window(prompter, clock, library.dir());
        Database::close();  // the window opens its own shared connection
        ASSERT_TRUE(window.Form_Load());
        EXPECT_EQ(marks(window), c.expected) << c.file;
        EXPECT_EQ(window.styleSheet(), c.sheet) << c.file;
        EXPECT_EQ(window.Skin1->styleSheet(), c.sheet) << c.file;
        EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();
        window.Skin1->remove();
    }
}

TEST_F(StyleFixture, WindowsOpenedLaterTakeTheStyleOfTheMoment)
{
    installSkins();
    Frmmain window(prompter, clock, library.dir());
    window.meuTypeStyle->trigger();
    window.meuAbout_Click();
    window.meuHowToUse_Click();
    auto* about = window.findChild<FrmAbout*>();
    auto* tips = window.findChild<FrmHelp*>();
    ASSERT_TRUE(about && tips);
    EXPECT_EQ(about->styleSheet(), kTypeSheet);
    EXPECT_EQ(tips->styleSheet(), kTypeSheet);

    // A new choice re-skins the main window only; the open windows keep theirs.
    window.meuLight->trigger();
    EXPECT_EQ(window.styleSheet(), kLightSheet);
    EXPECT_EQ(about->styleSheet(), kTypeSheet);
    window.meuWinStyle->trigger();
    EXPECT_EQ(about->styleSheet(), kTypeSheet);

    // Closed and opened again, they take the style of that moment.
    about->close();
    tips->close();
    flushClosedWindows();
    window.meuLight->trigger();
    window.meuAbout_Click();
    about = window.findChild<FrmAbout*>();
    ASSERT_TRUE(about);
    EXPECT_EQ(about->styleSheet(), kLightSheet);
    about->close();
    flushClosedWindows();
    window.meuWinStyle->trigger();
    window.meuAbout_Click();
    about = window.findChild<FrmAbout*>();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->styleSheet().isEmpty());
    EXPECT_TRUE(window.styleSheet().isEmpty());
}

TEST_F(StyleFixture, WindowOpenedUnderAMarkedSkinWithoutItsFileHasTheSystemLook)
{
    writeSetting("LoadStyle=1\r\n");
    Frmmain window(prompter, clock, library.dir());
    Database::close();
    ASSERT_TRUE(window.Form_Load());
    window.meuAbout_Click();
    auto* about = window.findChild<FrmAbout*>();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->styleSheet().isEmpty());
}

TEST(SkinControl, UnreadableFileKeepsTheHeldSkin)
{
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("a.skn"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("QLabel { color: rgb(1, 2, 3); } /* 经典 */").toUtf8());
    }
    QWidget owner;
    SkinControl skin(&owner);
    ASSERT_TRUE(skin.load(file));
    EXPECT_EQ(skin.styleSheet(), QStringLiteral("QLabel { color: rgb(1, 2, 3); } /* 经典 */"));
    EXPECT_FALSE(skin.load(QDir(dir.path()).filePath(QStringLiteral("missing.skn"))));
    EXPECT_FALSE(skin.styleSheet().isEmpty());

    // Removing the skin returns the control's own window to the system look,
    // not the windows it skinned elsewhere.
    QWidget other;
    skin.apply(&owner);
    skin.apply(&other);
    skin.remove();
    EXPECT_TRUE(skin.styleSheet().isEmpty());
    EXPECT_TRUE(owner.styleSheet().isEmpty());
    EXPECT_FALSE(other.styleSheet().isEmpty());
}
