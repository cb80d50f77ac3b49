#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "Probes.h"
#include "core/logic/ProgramFolders.h"
#include "core/logic/TextFile.h"

namespace {

// A machine of folders under one temporary folder: a build's program
// directory, a program installed under a prefix, and a home.
struct Machine {
    QTemporaryDir root;
    QString path(const QString& relative) const { return QDir(root.path()).filePath(relative); }
    void folder(const QString& relative) const { QDir(root.path()).mkpath(relative); }
    QProcessEnvironment environment(const char* xdgDataHome) const
    {
        QProcessEnvironment environment;
        environment.insert("HOME", path("home"));
        if (xdgDataHome)
            environment.insert("XDG_DATA_HOME", QString::fromUtf8(xdgDataHome).replace("ROOT", root.path()));
        return environment;
    }
};

}  // namespace

// Each row: the executable's folder, the folders there are besides it, the
// XDG_DATA_HOME set (nullptr: none), and the two places found.
TEST(ProgramFolders, TheExecutablesFolderDecidesTheLayout)
{
    const struct { const char* executable; QStringList folders; const char* xdg; QString resources, data; } cases[] = {
        // As built: the skins beside the executable; nothing moves, whatever the environment.
        {"build/program", {"build/program/style"}, "ROOT/xdg", "build/program", "build/program"},
        // Installed under a prefix: share/shelfmark beside bin/, the clerk's data folder.
        {"usr/bin", {"usr/share/shelfmark/style"}, "ROOT/xdg", "usr/share/shelfmark", "xdg/shelfmark"},
        {"usr/bin", {"usr/share/shelfmark/style"}, nullptr, "usr/share/shelfmark", "home/.local/share/shelfmark"},
        {"usr/bin", {"usr/share/shelfmark/style"}, "", "usr/share/shelfmark", "home/.local/share/shelfmark"},
        // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
        {"usr/bin", {"usr/share/shelfmark/style"}, "xdg", "usr/share/shelfmark", "home/.local/share/shelfmark"},
        // Nothing to read beside it: the system's own place.
        {"opt/bin", {}, nullptr, "/usr/share/shelfmark", "home/.local/share/shelfmark"},
        // A share folder without skins is not ours.
        {"opt/bin", {"opt/share/shelfmark"}, nullptr, "/usr/share/shelfmark", "home/.local/share/shelfmark"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.executable) + " " + (c.xdg ? c.xdg : "(no XDG_DATA_HOME)"));
        Machine machine;
        machine.folder(c.executable);
        for (const QString& folder : c.folders)
            machine.folder(folder);
        const ProgramFolders found =
            ProgramFolders::forExecutable(machine.path(c.executable), machine.environment(c.xdg));
        const auto expected = [&](const QString& place) { return place.startsWith('/') ? place : machine.path(place); };
        EXPECT_EQ(found.resourceDir(), expected(c.resources));
        EXPECT_EQ(found.dataDir(), expected(c.data));
        EXPECT_EQ(found.isProgramDirectory(), c.resources == c.data);
    }
}

// An installed program's start makes the data folder and gives it its own
// tips (a later start keeps the clerk's place in them); a folder it cannot
// make is named; a program directory is left as it is.
TEST(ProgramFolders, PrepareMakesTheDataFolderOnceAndLeavesAProgramDirectory)
{
    Machine machine;
    machine.folder("share");
    machine.folder("program");
    ASSERT_TRUE(TextFile::writeLines(machine.path("share/QUICKTIP.INI"), {"[TIP]", "START=T", "1=借书"}));
    ASSERT_TRUE(TextFile::writeLines(machine.path("blocked"), {"a file where the folder should be"}));
    const ProgramFolders folders = ProgramFolders::installed(machine.path("share"), machine.path("home/shelfmark"));
    QString error;
    ASSERT_TRUE(folders.prepare(&error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(machine.path("home/shelfmark/mdb")).isDir() && QFileInfo(machine.path("home/shelfmark/dat")).isDir());
    EXPECT_EQ(bytesOf(machine.path("home/shelfmark/QUICKTIP.INI")), bytesOf(machine.path("share/QUICKTIP.INI")));
    ASSERT_TRUE(TextFile::writeLines(machine.path("home/shelfmark/QUICKTIP.INI"), {"[TIP]", "START=F"}));
    ASSERT_TRUE(folders.prepare(&error));
    EXPECT_EQ(bytesOf(machine.path("home/shelfmark/QUICKTIP.INI")), "[TIP]\r\nSTART=F\r\n");

    EXPECT_FALSE(ProgramFolders::installed(machine.path("share"), machine.path("blocked/shelfmark")).prepare(&error));
    EXPECT_EQ(error, "无法创建数据文件夹 " + QDir::toNativeSeparators(machine.path("blocked/shelfmark/mdb")));
    EXPECT_TRUE(ProgramFolders::programDirectory(machine.path("program")).prepare(&error));
    EXPECT_TRUE(QDir(machine.path("program")).isEmpty());
}
