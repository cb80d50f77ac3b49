#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/AppState.h"
#include "core/logic/Database.h"
#include "core/ui/Frmmain.h"

namespace {

// One entry of a menu as the clerk sees it: its caption, or "-" for a separator.
QStringList entries(const QMenu* menu)
{
    QStringList result;
    for (const QAction* action : menu->actions())
        result.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

struct MainWindowFixture : ::testing::Test {
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;
};

}  // namespace

TEST_F(MainWindowFixture, LoadShowsTheVersionInTheTitleAndOpensTheDatabase)
{
    Frmmain window(prompter, clock, library.dir());
    Database::close();  // the window opens its own shared connection
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("澄岳图书管理系统 Ver 2.01 Build:0147"));
    EXPECT_TRUE(Database::isOpen());
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();
}

TEST_F(MainWindowFixture, MenuBarHasEveryCaptionInOrderWithItsSeparators)
{
    Frmmain window(prompter, clock, library.dir());
    QStringList top;
    for (const QAction* action : window.menuBar()->actions())
        top.append(action->text());
    EXPECT_EQ(top, (QStringList{"书库管理", "系统查询", "系统设置", "帮助(&H)"}));
    EXPECT_EQ(entries(window.meuBookM), (QStringList{"添加新书", "书库管理", "-", "退出系统"}));
    EXPECT_EQ(entries(window.mnuSysQuery),
              (QStringList{"书库查询", "-", "借阅查询", "-", "读者查询"}));
    EXPECT_EQ(entries(window.mnuSetSys),
              (QStringList{"基本设置", "-", "图书类别", "读者管理", "-", "界面风格"}));
    EXPECT_EQ(entries(window.meuFormStyle), (QStringList{"Windows默认", "-", "经典传奇", "轻松一刻"}));
    EXPECT_EQ(entries(window.meuHelp), (QStringList{"使用帮助", "每日小技巧", "-", "关于..."}));

    // No item has a shortcut key; every named item can be found by its name.
    for (QAction* action : window.findChildren<QAction*>())
        EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
    for (const char* name : {"meuAddNewBook", "mnuShelfmark", "bar0", "meuExit", "mnuBookQuery", "dd",
                             "mnuLendQuery", "barReader", "meuReaderSort", "mnuSetBasic", "barBaseSet",
                             "mnuSetBook", "meuReaderSet", "barStyle", "meuWinStyle", "barWindows",
                             "meuTypeStyle", "meuLight", "meuUseHelper", "meuHowToUse", "barHelp",
                             "meuAbout"})
        EXPECT_NE(window.findChild<QAction*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_TRUE(window.meuWinStyle->isChecked());
}

TEST_F(MainWindowFixture, DeskHasThreeTabsAndTheWindowKeepsItsSize)
{
    Frmmain window(prompter, clock, library.dir());
    ASSERT_EQ(window.SSTab1->count(), 3);
    EXPECT_EQ(window.SSTab1->tabText(0), QStringLiteral("正常借书"));
    EXPECT_EQ(window.SSTab1->tabText(1), QStringLiteral("续借图书"));
    EXPECT_EQ(window.SSTab1->tabText(2), QStringLiteral("还  书"));

    window.show();
    const QSize designed = window.size();
    EXPECT_EQ(designed.width(), 10095 / 15);
    EXPECT_EQ(window.centralWidget()->height(), 6510 / 15);
    window.resize(designed + QSize(200, 150));
    EXPECT_EQ(window.size(), designed);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST_F(MainWindowFixture, ReaderMenuItemsSetTheReaderWindowMode)
{
    Frmmain window(prompter, clock, library.dir());
    window.meuReaderSet->trigger();
    EXPECT_EQ(AppState::ReaderFormMode, 2);
    window.meuReaderSort->trigger();
    EXPECT_EQ(AppState::ReaderFormMode, 0);
}

TEST_F(MainWindowFixture, MissingHelpFileIsReportedUnderTheApplicationTitle)
{
    Frmmain window(prompter, clock, library.dir());
    window.meuUseHelper->trigger();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("帮助文件 readme.txt 未找到!"));
    EXPECT_EQ(prompter.shown[0].title, QStringLiteral("澄岳图书管理系统"));
}

TEST_F(MainWindowFixture, HelpFileIsShownInAViewerOnlyOnce)
{
    QFile help(library.path("readme.txt"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.write("\xbd\xe8\xca\xe9\r\n");  // "借书" in GB18030
    help.close();
    Frmmain window(prompter, clock, library.dir());
    window.meuUseHelper->trigger();
    window.meuUseHelper->trigger();
    EXPECT_TRUE(prompter.shown.isEmpty());
    const auto viewers = window.findChildren<QWidget*>(QStringLiteral("HelpViewer"));
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_TRUE(viewers[0]->isVisible());
    const auto* text = viewers[0]->findChild<QObject*>(QStringLiteral("txtHelp"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->property("plainText").toString().startsWith(QStringLiteral("借书")));
}

TEST_F(MainWindowFixture, UnloadClosesTheSharedConnection)
{
    Frmmain window(prompter, clock, library.dir());
    ASSERT_TRUE(window.Form_Load());
    window.show();
    window.close();
    EXPECT_FALSE(Database::isOpen());
}

// The database missing or unreadable at load: the clerk is told which file
// and why, the title stays as designed, and the load reports failure.
struct BrokenDatabase {
    const char* name;
    QByteArray content;  // empty: no file at all
    const char* engineWords;
};

class MainWindowWithoutDatabase : public ::testing::TestWithParam<BrokenDatabase> {};

TEST_P(MainWindowWithoutDatabase, LoadNamesTheFileAndFails)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("mdb");
    const QString file = QDir(dir.path()).filePath("mdb/Shelfmark.mdb");
    if (!GetParam().content.isEmpty()) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(GetParam().content);
    }
    ScriptedPrompter prompter;
    FixedClock clock;
    Frmmain window(prompter, clock, dir.path());
    EXPECT_FALSE(window.Form_Load());
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].text.contains(QDir::toNativeSeparators(file)))
        << prompter.shown[0].text.toStdString();
    EXPECT_TRUE(prompter.shown[0].text.contains(QString::fromUtf8(GetParam().engineWords)))
        << prompter.shown[0].text.toStdString();
    EXPECT_EQ(prompter.shown[0].title, QStringLiteral("澄岳图书管理系统"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("澄岳图书管理系统"));
    EXPECT_FALSE(Database::isOpen());
    EXPECT_EQ(QFileInfo(file).exists(), !GetParam().content.isEmpty()) << "the program never creates it";
}

INSTANTIATE_TEST_SUITE_P(
    Files, MainWindowWithoutDatabase,
    ::testing::Values(BrokenDatabase{"Missing", {}, "文件不存在"},
                      BrokenDatabase{"NotADatabase", QByteArray(4096, 'x'), "not a database"}),
    [](const auto& info) { return std::string(info.param.name); });
