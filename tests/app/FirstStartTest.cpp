#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>

#include "DbTool.h"
#include "FixedClock.h"
#include "Probes.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "app/FirstStart.h"
#include "app/FrmFirstStart.h"
#include "app/FrmLogon.h"
#include "app/Startup.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/Sql.h"
#include "core/logic/TextFile.h"

namespace {

// An installed program's two places under one temporary folder: its
// read-only files (with the shipped tips) and a data folder made at start.
struct Installed {
    QTemporaryDir root;
    ProgramFolders folders = ProgramFolders::installed(path("share"), path("home/shelfmark"));
    Installed()
    {
        QDir(root.path()).mkpath("share");
        TextFile::writeLines(path("share/QUICKTIP.INI"), {"[TIP]", "START=F", "1=借书先输读者编号"});
        EXPECT_TRUE(folders.prepare(nullptr));
    }
    QString path(const QString& relative) const { return QDir(root.path()).filePath(relative); }
    QString data(const QString& relative) const { return folders.dataPath(relative); }
    // What the data folder holds, file by file.
    QStringList dataFiles() const
    {
        QStringList files;
        for (const QString& folder : {QString("."), QString("mdb"), QString("dat")})
            for (const QString& name : QDir(data(folder)).entryList(QDir::Files))
                files << folder + "/" + name;
        return files;
    }
};

// The books of the library in the data folder, read through the program's own opening.
QString booksIn(const ProgramFolders& folders)
{
    QString error;
    if (!LibraryLocation::open(folders.dataDir(), &error))
        return "cannot open: " + error;
    const QString count = storeRows("SELECT COUNT(*) FROM bookInfo");
    Database::close();
    return count;
}

}  // namespace

// Each way of having a library at first start, with a good and a bad input:
// the library that results (its books), or the message and the data folder
// as it was. (The demo library: the window's test below.)
TEST(FirstStart, EachWayMakesALibraryOrLeavesTheDataFolderAsItWas)
{
    const QString notALibrary = "This is a letter, not a library.";
    enum Way { Empty, File, MissingFile, TextFile_, OtherDatabase };
    const struct { Way way; bool made; QString books, message; } cases[] = {
        {Empty, true, "0", ""},
        {File, true, "2", ""},
        {MissingFile, false, "", "文件 %1 不存在"},
        {TextFile_, false, "", "文件 %1 不是本系统的图书馆"},
        {OtherDatabase, false, "", "缺少数据表"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.way));
        Installed installed;
        FirstStart start(installed.folders);
        const QStringList before = installed.dataFiles();
        const QString source = installed.path("picked/mdb/Shelfmark.mdb");
        QDir().mkpath(QFileInfo(source).path());
        if (c.way == File) {
            QString message;
            ASSERT_EQ(DbTool::create(installed.path("picked"), &message), 0) << message.toStdString();
            ASSERT_TRUE(Database::open(source, &message));
            Sql::execute("INSERT INTO bookInfo (书籍编号, 书籍名称) VALUES ('B1', '红楼梦'), ('B2', '边城')", "");
            Database::close();
        } else if (c.way == TextFile_) {
            putBytes(source, notALibrary.toUtf8());
        } else if (c.way == OtherDatabase) {
            QString message;
            ASSERT_TRUE(Database::create(source, &message));
            Sql::execute("CREATE TABLE notes (text TEXT)", "");
            Database::close();
        }
        const QByteArray sourceBytes = bytesOf(source);
        QString error;
        const bool made = c.way == Empty ? start.makeEmpty(&error) : start.copyFile(source, &error);
        EXPECT_EQ(made, c.made) << error.toStdString();
        EXPECT_EQ(installed.folders.holdsLibrary(), c.made);
        if (c.made) {
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
            EXPECT_EQ(booksIn(installed.folders), c.books);
        } else {
            EXPECT_TRUE(error.contains(QString(c.message).arg(QDir::toNativeSeparators(source)))) << error.toStdString();
            EXPECT_EQ(installed.dataFiles(), before);
        }
        EXPECT_EQ(bytesOf(source), sourceBytes);  // the clerk's file is only read
        EXPECT_FALSE(Database::isOpen());
    }
}

// A server that cannot be reached is told and no dat/library.ini stays; a
// server holding the library (the test command's own) is named in it.
TEST(FirstStart, AServerLibraryIsWrittenOnlyOnceItIsReached)
{
    Installed installed;
    ScriptedPrompter prompter;
    ServerSettings nowhere;
    nowhere.host = "127.0.0.1";
    nowhere.port = 1;  // nothing listens there
    nowhere.dbname = "library";
    nowhere.user = "desk";
    const QStringList before = installed.dataFiles();
    QString error;
    EXPECT_FALSE(FirstStart(installed.folders).useServer(nowhere, prompter, &error));
    EXPECT_TRUE(error.contains("desk@127.0.0.1:1/library")) << error.toStdString();
    EXPECT_EQ(installed.dataFiles(), before);
    EXPECT_FALSE(Database::isOpen());

    if (!TempLibrary::onServer())
        GTEST_SKIP() << "a server library needs the test command's server";
    TempLibrary library;
    Database::close();
    error.clear();
    ASSERT_TRUE(FirstStart(installed.folders).useServer(library.server(), prompter, &error)) << error.toStdString();
    const auto named = LibraryLocation::server(installed.folders.dataDir(), &error);
    ASSERT_TRUE(named.has_value()) << error.toStdString();
    EXPECT_EQ(named->describe(), library.server().describe());
    EXPECT_TRUE(installed.folders.holdsLibrary());
    EXPECT_EQ(booksIn(installed.folders), "0");
}

// The data folder becomes a link to a shared folder: one holding a library is
// used at once; the data folder with files of the clerk's own in it is not
// given up.
TEST(FirstStart, ASharedFolderTakesThePlaceOfAnUntouchedDataFolderOnly)
{
    Installed installed;
    QString error;
    ASSERT_EQ(DbTool::create(installed.path("shared"), &error), 0);
    const QString data = installed.folders.dataDir();

    ASSERT_TRUE(TextFile::writeLines(installed.data("setting.ini"), {"LoadStyle=1"}));
    const QStringList kept = installed.dataFiles();
    EXPECT_FALSE(FirstStart(installed.folders).useSharedFolder(installed.path("shared"), &error));
    EXPECT_TRUE(error.contains("已有其他文件")) << error.toStdString();
    EXPECT_EQ(installed.dataFiles(), kept);
    EXPECT_FALSE(QFileInfo(data).isSymLink());

    QFile::remove(installed.data("setting.ini"));
    ASSERT_TRUE(FirstStart(installed.folders).useSharedFolder(installed.path("shared"), &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(data).symLinkTarget(), installed.path("shared"));
    EXPECT_TRUE(installed.folders.holdsLibrary());
    EXPECT_EQ(bytesOf(installed.path("shared/QUICKTIP.INI")), bytesOf(installed.path("share/QUICKTIP.INI")));
}

// The program's start for an installed program without a library: the
// first-start window, not the sign-in; 退出 ends the program having made
// nothing; a bad choice is told and the window stays; the demo library then
// leads on to the sign-in window.
TEST(FirstStartWindow, ComesBeforeTheSignInUntilTheDataFolderHoldsALibrary)
{
    Installed installed;
    ScriptedPrompter prompter;
    FixedClock clock;
    {
        Startup startup(prompter, clock, installed.folders);
        QSignalSpy finished(&startup, &Startup::finished);
        startup.start();
        FrmFirstStart* window = startup.firstStartWindow();
        ASSERT_TRUE(window && window->isVisible());
        EXPECT_EQ(startup.signInWindow(), nullptr);
        QTest::mouseClick(window->cmdExit, Qt::LeftButton);
        ASSERT_EQ(finished.count(), 1);
        EXPECT_EQ(finished.first().first().toInt(), 0);
        EXPECT_FALSE(installed.folders.holdsLibrary());
    }

    Startup startup(prompter, clock, installed.folders);
    startup.start();
    FrmFirstStart* window = startup.firstStartWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->lblFolder->text().contains(QDir::toNativeSeparators(installed.folders.dataDir())));
    QTest::keyClicks(window->txtFile, installed.path("share/QUICKTIP.INI"));
    EXPECT_TRUE(window->optFile->isChecked());  // typing a file chooses the file
    QTest::mouseClick(window->cmdOK, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.lastText().contains("不是本系统的图书馆")) << prompter.lastText().toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(startup.signInWindow(), nullptr);

    prompter.clear();
    QTest::mouseClick(window->optDemo, Qt::LeftButton);
    QTest::mouseClick(window->cmdOK, Qt::LeftButton);
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.lastText().toStdString();
    EXPECT_FALSE(window->isVisible());
    ASSERT_NE(startup.signInWindow(), nullptr);
    EXPECT_TRUE(startup.signInWindow()->isVisible());
    EXPECT_GT(booksIn(installed.folders).toInt(), 100);
}
