#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/ProfileFile.h"
#include "core/logic/TextFile.h"
#include "core/ui/Frmmain.h"
#include "look/ui/FrmHelp.h"
#include "look/ui/SkinControl.h"
#include "look/ui/WindowStyler.h"

namespace {

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct TipsFixture : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    QAction systemLook;
    SkinControl skin;
    WindowStyler styler{skin, &systemLook};

    TipsFixture()
    {
        systemLook.setCheckable(true);
        systemLook.setChecked(true);
    }

    QString tipFile() const { return QDir(dir.path()).filePath(AppInfo::kTipFile); }
    void writeTips(const QStringList& lines) { ASSERT_TRUE(TextFile::writeLines(tipFile(), lines)); }
    QString entry(const QString& key)
    {
        ScriptedPrompter quiet;
        return ReadTipEntry(tipFile(), QStringLiteral("TIP"), key, quiet);
    }
    // Opens the window as the main window does.
    std::unique_ptr<FrmHelp> open()
    {
        auto window = std::make_unique<FrmHelp>(prompter, styler, dir.path());
        window->Form_Load();
        return window;
    }
};

const QStringList kThreeTips = {QStringLiteral("1=借书先输读者编号"), QStringLiteral("2=还书看罚款"),
                                QStringLiteral("3=续借改日期")};

QStringList tipFileWith(const QStringList& head)
{
    return QStringList{QStringLiteral("[TIP]")} + head + kThreeTips;
}

}  // namespace

TEST_F(TipsFixture, ShowsTipCurrentAndWrapsAfterTheLast)
{
    writeTips(tipFileWith({QStringLiteral("START=T"), QStringLiteral("CURRENT=3")}));
    auto window = open();
    EXPECT_EQ(window->tip_text->text(), QStringLiteral("续借改日期"));
    EXPECT_EQ(entry(QStringLiteral("CURRENT")), QStringLiteral("1"));

    struct Step {
        QString shown;
        QString next;
    };
    const Step steps[] = {{QStringLiteral("借书先输读者编号"), QStringLiteral("2")},
                          {QStringLiteral("还书看罚款"), QStringLiteral("3")},
                          {QStringLiteral("续借改日期"), QStringLiteral("1")}};
    for (const Step& step : steps) {
        QTest::mouseClick(window->Next_Tip_Button, Qt::LeftButton);
        EXPECT_EQ(window->tip_text->text(), step.shown);
        EXPECT_EQ(entry(QStringLiteral("CURRENT")), step.next);
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(TipsFixture, CurrentNamingNoTipShowsUnknownAndStartsAgainAtOne)
{
    const QList<QStringList> heads = {
        {QStringLiteral("START=T")},                                // CURRENT missing
        {QStringLiteral("START=T"), QStringLiteral("CURRENT=9")},   // beyond the last tip
        {QStringLiteral("START=T"), QStringLiteral("CURRENT=abc")}, // no number: tip "abc", then 1
    };
    for (const QStringList& head : heads) {
        writeTips(tipFileWith(head));
        auto window = open();
        EXPECT_EQ(window->tip_text->text(), QStringLiteral("unknown")) << head.join(' ').toStdString();
        EXPECT_EQ(entry(QStringLiteral("CURRENT")), QStringLiteral("1"));
        window->Next_Tip_Button_Click();
        EXPECT_EQ(window->tip_text->text(), QStringLiteral("借书先输读者编号"));
    }
}

TEST_F(TipsFixture, WithoutATipFileTheFirstStepStartsOne)
{
    auto window = open();
    EXPECT_EQ(window->tip_text->text(), QStringLiteral("unknown"));
    EXPECT_FALSE(window->show_tip->isChecked());
    const auto lines = TextFile::readLines(tipFile());
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (QStringList{QStringLiteral("[TIP]"), QStringLiteral("CURRENT=1")}));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(TipsFixture, StartFlagIsTickedOnlyForExactlyT)
{
    const struct {
        const char* line;
        bool ticked;
    } cases[] = {{"START=T", true}, {"START=  T  ", true}, {"START=t", false},
                 {"START=F", false}, {"START=TRUE", false}};
    for (const auto& c : cases) {
        writeTips(tipFileWith({QString::fromLatin1(c.line), QStringLiteral("CURRENT=1")}));
        auto window = open();
        EXPECT_EQ(window->show_tip->isChecked(), c.ticked) << c.line;
    }
}

TEST_F(TipsFixture, ExitSavesTheStartFlagAndCloses)
{
    const struct {
        const char* before;
        bool tick;
        const char* after;
    } cases[] = {{"START=T", false, "F"}, {"START=F", true, "T"}, {"START=T", true, "T"}};
    for (const auto& c : cases) {
        writeTips(tipFileWith({QString::fromLatin1(c.before), QStringLiteral("CURRENT=1")}));
        auto window = open();
        window->show();
        window->show_tip->setChecked(c.tick);
        QTest::mouseClick(window->Quick_Tip_OK_Button, Qt::LeftButton);
        EXPECT_EQ(entry(QStringLiteral("START")), QString::fromLatin1(c.after)) << c.before;
        EXPECT_FALSE(window->isVisible());
        // The tips and the place in them are kept.
        EXPECT_EQ(entry(QStringLiteral("3")), QStringLiteral("续借改日期"));
        EXPECT_EQ(entry(QStringLiteral("CURRENT")), QStringLiteral("2"));
    }
}

TEST_F(TipsFixture, EnterPressesExitAndTheCloseBoxSavesNothing)
{
    writeTips(tipFileWith({QStringLiteral("START=T"), QStringLiteral("CURRENT=1")}));
    {
        auto window = open();
        window->show();
        window->show_tip->setChecked(false);
        const QByteArray before = bytesOf(tipFile());
        window->close();  // the close box
        EXPECT_EQ(bytesOf(tipFile()), before);
    }
    auto window = open();
    window->show();
    window->show_tip->setChecked(false);
    window->Quick_Tip_OK_Button->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_EQ(entry(QStringLiteral("START")), QStringLiteral("F"));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TipsFixture, EmptyCurrentIsReportedAndTheTipsStartAgain)
{
    writeTips(tipFileWith({QStringLiteral("START=T"), QStringLiteral("CURRENT=")}));
    auto window = open();
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("非法条目> TIP/CURRENT"));
    EXPECT_EQ(prompter.shown[0].title, QStringLiteral("找不到所需字段"));
    EXPECT_EQ(entry(QStringLiteral("CURRENT")), QStringLiteral("1"));
}

// ---- the main window's start step and menu item --------------------------

namespace {

struct MainWindowTipsFixture : ::testing::Test {
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;

    void writeTips(const QStringList& lines)
    {
        ASSERT_TRUE(TextFile::writeLines(library.path(AppInfo::kTipFile), lines));
    }
};

}  // namespace

TEST_F(MainWindowTipsFixture, StartShowsTheTipsWhenTheFileAsksForThem)
{
    const struct {
        const char* start;
        bool shown;
    } cases[] = {{"START= T ", true}, {"START=T", true}, {"START=t", false}, {"START=F", false}};
    for (const auto& c : cases) {
        writeTips({QStringLiteral("[TIP]"), QString::fromLatin1(c.start), QStringLiteral("CURRENT=2"),
                   QStringLiteral("1=第一条"), QStringLiteral("2=第二条")});
        Frmmain window(prompter, clock, library.dir());
        Database::close();  // the window opens its own shared connection
        ASSERT_TRUE(window.Form_Load());
        auto* tips = window.findChild<FrmHelp*>();
        EXPECT_EQ(tips != nullptr, c.shown) << c.start;
        if (tips) {
            EXPECT_TRUE(tips->isVisible());
            EXPECT_EQ(tips->tip_text->text(), QStringLiteral("第二条"));
            EXPECT_TRUE(tips->show_tip->isChecked());
        }
    }
}

TEST_F(MainWindowTipsFixture, MissingTipFileShowsNothingAtStart)
{
    Frmmain window(prompter, clock, library.dir());
    Database::close();
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.findChild<FrmHelp*>(), nullptr);
    EXPECT_FALSE(QFile::exists(library.path(AppInfo::kTipFile)));
}

TEST_F(MainWindowTipsFixture, MenuWhileOpenOnlyBringsItToTheFront)
{
    writeTips({QStringLiteral("[TIP]"), QStringLiteral("START=F"), QStringLiteral("CURRENT=1"),
               QStringLiteral("1=第一条"), QStringLiteral("2=第二条"), QStringLiteral("3=第三条")});
    Frmmain window(prompter, clock, library.dir());
    window.meuHowToUse->trigger();
    window.meuHowToUse->trigger();
    EXPECT_EQ(window.findChildren<FrmHelp*>().size(), 1);
    EXPECT_EQ(window.findChild<FrmHelp*>()->tip_text->text(), QStringLiteral("第一条"));
    ScriptedPrompter quiet;
    EXPECT_EQ(ReadTipEntry(library.path(AppInfo::kTipFile), QStringLiteral("TIP"),
                           QStringLiteral("CURRENT"), quiet),
              QStringLiteral("2"));
}
