#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/AppState.h"
#include "core/logic/Database.h"
#include "core/logic/TextFile.h"
#include "core/ui/Frmmain.h"

namespace {

const QString kTitle = QStringLiteral("澄岳图书管理系统");

// The captions of a menu as the clerk sees them, "-" for a separator.
QStringList entries(const QMenu* menu)
{
    QStringList result;
    for (const QAction* action : menu->actions())
        result.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

struct MainWindow : ::testing::Test {
    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;
};

}  // namespace

TEST_F(MainWindow, LoadOpensTheConnectionAndShowsTheVersionAndUnloadClosesIt)
{
    Frmmain window(prompter, clock, library.dir());
    Database::close();  // the window opens its own shared connection
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.windowTitle(), kTitle + QStringLiteral(" Ver 2.01 Build:0147"));
    EXPECT_TRUE(Database::isOpen());
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();

    window.show();
    window.close();
    EXPECT_FALSE(Database::isOpen());
}

TEST_F(MainWindow, MenusTabsSizeAndReaderModesAreAsDesigned)
{
    Frmmain window(prompter, clock, library.dir());
    QStringList top;
    for (const QAction* action : window.menuBar()->actions())
        top.append(action->text());
    EXPECT_EQ(top, (QStringList{"书库管理", "系统查询", "系统设置", "帮助(&H)"}));
    EXPECT_EQ(entries(window.meuBookM), (QStringList{"添加新书", "书库管理", "-", "退出系统"}));
    EXPECT_EQ(entries(window.mnuSysQuery), (QStringList{"书库查询", "-", "借阅查询", "-", "读者查询"}));
    EXPECT_EQ(entries(window.mnuSetSys),
              (QStringList{"基本设置", "-", "图书类别", "读者管理", "-", "界面风格"}));
    EXPECT_EQ(entries(window.meuFormStyle), (QStringList{"Windows默认", "-", "经典传奇", "轻松一刻"}));
    EXPECT_EQ(entries(window.meuHelp), (QStringList{"使用帮助", "每日小技巧", "-", "关于..."}));

    QStringList tabs;
    for (int i = 0; i < window.SSTab1->count(); ++i)
        tabs.append(window.SSTab1->tabText(i));
    EXPECT_EQ(tabs, (QStringList{"正常借书", "续借图书", "还  书"}));

    // Dragging the border: the window springs back.
    window.show();
    const QSize designed = window.size();
    window.resize(designed + QSize(200, 150));
    EXPECT_EQ(window.size(), designed);

    // The reader window's mode: 2 from "读者管理", 0 from "读者查询".
    window.meuReaderSet->trigger();
    EXPECT_EQ(AppState::ReaderFormMode, 2);
    window.meuReaderSort->trigger();
    EXPECT_EQ(AppState::ReaderFormMode, 0);
}

TEST_F(MainWindow, HelpIsReportedMissingOrShownInOneViewer)
{
    Frmmain window(prompter, clock, library.dir());
    window.meuUseHelper->trigger();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("帮助文件 readme.txt 未找到!"));
    EXPECT_EQ(prompter.shown[0].title, kTitle);
    EXPECT_TRUE(window.findChildren<QWidget*>(QStringLiteral("HelpViewer")).isEmpty());

    prompter.clear();
    TextFile::writeLines(library.path("readme.txt"), {"借书"});
    window.meuUseHelper->trigger();
    window.meuUseHelper->trigger();
    EXPECT_TRUE(prompter.shown.isEmpty());
    const auto viewers = window.findChildren<QWidget*>(QStringLiteral("HelpViewer"));
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_TRUE(viewers[0]->isVisible());
    const QObject* text = viewers[0]->findChild<QObject*>(QStringLiteral("txtHelp"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->property("plainText").toString().startsWith(QStringLiteral("借书")));
}

// A missing or unreadable database: the message names the file and the
// engine's reason, the load fails, and the program never creates the file.
TEST(MainWindowWithoutDatabase, LoadNamesTheFileAndTheReasonAndFails)
{
    const struct {
        const char* content;  // empty: no file at all
        const char* reason;
    } cases[] = {{"", "文件不存在"}, {"Not a database, but a text file of some length.", "not a database"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("mdb");
        const QString file = QDir(dir.path()).filePath("mdb/Shelfmark.mdb");
        if (*c.content)
            TextFile::writeLines(file, {c.content});
        ScriptedPrompter prompter;
        FixedClock clock;
        Frmmain window(prompter, clock, dir.path());
        EXPECT_FALSE(window.Form_Load());
        ASSERT_EQ(prompter.shown.size(), 1);
        const QString message = prompter.shown[0].text;
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << message.toStdString();
        EXPECT_EQ(prompter.shown[0].title, kTitle);
        EXPECT_EQ(window.windowTitle(), kTitle);
        EXPECT_FALSE(Database::isOpen());
        EXPECT_EQ(QFileInfo::exists(file), *c.content != 0);
    }
}
