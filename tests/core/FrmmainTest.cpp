#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "FixedClock.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "core/logic/AppState.h"
#include "core/logic/Database.h"
#include "core/logic/TextFile.h"
#include "core/ui/FrmLogon.h"
#include "core/ui/Frmmain.h"
#include "core/ui/Startup.h"

namespace {

const QString kTitle = QStringLiteral("澄岳图书管理系统");

// The captions of a menu or menu bar as the clerk sees them, "-" for a separator.
QStringList entries(const QWidget* menu)
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

// The window opens the shared connection, shows the version, keeps its size
// and closes the connection when it closes.
TEST_F(MainWindow, LoadOpensTheConnectionAndShowsTheVersionAndUnloadClosesIt)
{
    Frmmain window(prompter, clock, library.dir());
    Database::close();  // the window opens its own shared connection
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.windowTitle(), kTitle + QStringLiteral(" Ver 2.01 Build:0147"));
    EXPECT_TRUE(Database::isOpen());
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();
    EXPECT_EQ(entries(window.menuBar()), (QStringList{"书库管理", "系统查询", "系统设置", "帮助(&H)"}));
    EXPECT_EQ(entries(window.meuFormStyle), (QStringList{"Windows默认", "-", "经典传奇", "轻松一刻"}));

    window.show();
    const QSize designed = window.size();
    window.resize(designed + QSize(200, 150));  // dragging the border: it springs back
    EXPECT_EQ(window.size(), designed);

    // The reader window's mode: 2 from "读者管理", 0 from "读者查询".
    window.meuReaderSet->trigger();
    EXPECT_EQ(AppState::ReaderFormMode, 2);
    window.meuReaderSort->trigger();
    EXPECT_EQ(AppState::ReaderFormMode, 0);

    window.close();
    EXPECT_FALSE(Database::isOpen());
}

TEST_F(MainWindow, HelpIsReportedMissingOrShownInOneViewer)
{
    Frmmain window(prompter, clock, library.dir());
    window.meuUseHelper->trigger();
    EXPECT_EQ(prompter.texts(), QStringList{"帮助文件 readme.txt 未找到!"});
    EXPECT_EQ(prompter.shown.value(0).title, kTitle);
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

// A missing or unreadable database: after signing in, the message names the
// file and the engine's reason, the program ends with code 1, and it never
// creates the file.
TEST(MainWindowWithoutDatabase, LoadNamesTheFileAndTheReasonAndTheProgramEndsWithCodeOne)
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
        Startup startup(prompter, clock, dir.path());
        QSignalSpy finished(&startup, &Startup::finished);
        startup.start();
        QTest::keyClicks(startup.signInWindow()->txtPassword, "739");
        QTest::mouseClick(startup.signInWindow()->cmdOK, Qt::LeftButton);
        ASSERT_EQ(finished.count(), 1);
        EXPECT_EQ(finished.first().first().toInt(), 1);
        ASSERT_EQ(prompter.shown.size(), 1);
        const QString message = prompter.shown[0].text;
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << message.toStdString();
        EXPECT_EQ(prompter.shown[0].title, kTitle);
        ASSERT_NE(startup.mainWindow(), nullptr);
        EXPECT_FALSE(startup.mainWindow()->isVisible());
        EXPECT_EQ(startup.mainWindow()->windowTitle(), kTitle);
        EXPECT_FALSE(Database::isOpen());
        EXPECT_EQ(QFileInfo::exists(file), *c.content != 0);
    }
}
