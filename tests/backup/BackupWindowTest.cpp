#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

#include "AccessibleTable.h"
#include "MainWindowTest.h"
#include "Probes.h"
#include "backup/logic/Backups.h"
#include "backup/ui/FrmBackup.h"
#include "core/ui/SkinControl.h"
#include "core/ui/WindowStyler.h"
#include "queries/ui/FrmBookQuery.h"

namespace {

QDateTime at(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

// The small library, with snapshots taken on the 18th and, after 王五 borrowed
// a book, on the 19th.
class BackupWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        if (TempLibrary::onServer())
            GTEST_SKIP() << "snapshots are of a file library";
        library.addSmallLibrary();
        ASSERT_TRUE(Backups::takeSnapshot(library.dir(), at("2026-03-18T17:05:00")).ok());
        library.addReader("003", "王五");
        library.addBook("B020", "数据库系统概论", "B", true);
        library.addLoan("003", "B020", "2026-03-19");
        ASSERT_TRUE(Backups::takeSnapshot(library.dir(), at("2026-03-19T09:30:00")).ok());
        openMain();
        w = open<FrmBackup>(window.findChild<QAction*>("mnuBackup"));
        ASSERT_TRUE(w);
    }
    QStringList rows() { return visibleRows(w->snapshotGrid).mid(1); }
    FrmBackup* w = nullptr;
};

TEST_F(BackupWindow, ShowsTheSnapshotsAndAddsABackupAndACopyElsewhere)
{
    EXPECT_EQ(w->windowTitle(), "数据备份与恢复");
    EXPECT_EQ(w->lblCurrent->text(), "当前的图书馆: 图书 3 册, 读者 3 人, 借出未还 2 册");
    EXPECT_EQ(accessibleRows(w->snapshotGrid), QStringList({"备份时间|图书|读者|借出未还", "2026/3/19 09:30:00|3|3|2",
                                                            "2026/3/18 17:05:00|2|2|1"}));
    EXPECT_EQ(textsOf({w->spnKeepDays, w->lblElsewhere}), "30 天|还没有另存到别处过");
    EXPECT_FALSE(w->lblServer->isVisible());

    library.addReader("004", "赵六");
    QTest::mouseClick(w->cmdBackupNow, Qt::LeftButton);
    EXPECT_EQ(prompter.lastText(), "已备份: 图书 3 册, 读者 4 人, 借出未还 2 册");
    const QStringList shown = rows();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[0].startsWith("2026/3/20 ") && shown[0].endsWith("|3|4|2")) << shown[0].toStdString();

    QTemporaryDir stick;
    w->setPickFolder([&](QWidget*) { return stick.path(); });
    QTest::mouseClick(w->cmdSaveElsewhere, Qt::LeftButton);
    const QStringList saved = QDir(stick.path()).entryList(QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(saved[0].startsWith("Shelfmark-2026-03-20-")) << saved[0].toStdString();
    EXPECT_EQ(w->lblElsewhere->text(), "上次另存到别处: 2026/3/20");
    EXPECT_EQ(rows().size(), 3);  // a copy elsewhere is not a snapshot here
}

// A foreign file is refused before anything is asked. For a snapshot, the
// clerk sees both libraries' counts first; a restore keeps a snapshot of the
// library, replaces it, closes the windows open on it and the desk reads anew.
TEST_F(BackupWindow, RestoreRefusesAForeignFileShowsBothLibrariesThenReplacesAndReloads)
{
    QTemporaryDir elsewhere;
    const QString sheet = elsewhere.filePath("读者.mdb");
    putBytes(sheet, "读者编号,读者姓名\n005,钱七\n");
    w->setPickFile([&](QWidget*) { return sheet; });
    QTest::mouseClick(w->cmdRestoreFile, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].kind, ScriptedPrompter::Shown::Kind::Notice);
    EXPECT_TRUE(prompter.lastText().contains("它不是数据库文件") && prompter.lastText().endsWith("当前的图书馆没有改变。"))
        << prompter.lastText().toStdString();
    EXPECT_EQ(bytesOf(sheet), QByteArray("读者编号,读者姓名\n005,钱七\n"));

    prompter.clear();
    w->snapshotGrid->selectRow(1);  // the 18th's
    answer({false});
    QTest::mouseClick(w->cmdRestore, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text,
              "当前的图书馆: 图书 3 册, 读者 3 人, 借出未还 2 册\n所选的备份:   图书 2 册, 读者 2 人, 借出未还 1 册\n\n"
              "恢复前先备份当前的图书馆, 然后用所选的备份替换整个图书馆, 其他打开的窗口将关闭。\n要恢复吗?");
    EXPECT_EQ(storeRows("SELECT 读者编号 FROM readerInfo ORDER BY 1"), "001,002,003");
    EXPECT_EQ(rows().size(), 2);

    auto* readerBox = window.findChild<QLineEdit*>("txtReaderID");
    enterText(readerBox, "003");
    QTest::keyClick(readerBox, Qt::Key_Return);
    QTableView* deskGrid = window.findChild<QTableView*>("dtgrdLendBook");
    EXPECT_EQ(accessibleRows(deskGrid).size(), 2);  // 王五's loan
    window.findChild<QAction*>("mnuBookQuery")->trigger();
    ASSERT_TRUE(openWindow<FrmBookQuery>());
    prompter.clear();
    answer({true});
    w->snapshotGrid->selectRow(1);
    QTest::mouseClick(w->cmdRestore, Qt::LeftButton);
    EXPECT_EQ(prompter.lastText(), "已恢复: 图书 2 册, 读者 2 人, 借出未还 1 册\n恢复前的图书馆已备份在列表中 (图书 3 册, 读者 3 人, 借出未还 2 册)。");
    EXPECT_EQ(storeRows("SELECT 读者编号 FROM readerInfo ORDER BY 1"), "001,002");
    EXPECT_FALSE(openWindow<FrmBookQuery>());
    EXPECT_EQ(openWindow<FrmBackup>(), w);
    EXPECT_EQ(w->lblCurrent->text(), "当前的图书馆: 图书 2 册, 读者 2 人, 借出未还 1 册");
    const QStringList shown = rows();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[0].startsWith("2026/3/20 ") && shown[0].endsWith("|3|3|2")) << shown[0].toStdString();
    EXPECT_EQ(accessibleRows(deskGrid).size(), 1);
    EXPECT_EQ(window.findChild<QLabel*>("lblLendCount")->text(), "已借图书册数:0");
}

// A library on a server: the window, backup and restore say how the server
// is backed up, and do nothing here.
TEST(BackupOnServer, TheWindowAndTheToolGiveThePgDumpLine)
{
    QTemporaryDir data;
    QDir(data.path()).mkpath("dat");
    putBytes(data.filePath("dat/library.ini"), "[library]\nengine=postgresql\nhost=db1\ndbname=library\nuser=desk\n");
    const QString line = "pg_dump -h db1 -p 5432 -U desk -Fc -f library.dump library";
    ScriptedPrompter prompter;
    FixedClock clock;
    SkinControl skin;
    WindowStyler styler(skin, nullptr);
    FrmBackup w(prompter, clock, styler, data.path());
    w.Form_Load();
    w.show();
    EXPECT_TRUE(w.lblServer->isVisible());
    EXPECT_TRUE(w.lblServer->text().endsWith(line)) << w.lblServer->text().toStdString();
    for (QWidget* hidden : std::initializer_list<QWidget*>{w.snapshotGrid, w.lblKeepDays, w.spnKeepDays, w.cmdBackupNow, w.cmdSaveElsewhere, w.cmdRestore, w.cmdRestoreFile})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    for (const QStringList& args : {QStringList{"backup", data.path()}, QStringList{"restore", data.path(), "x.mdb"}}) {
        const Ran tool = runProgram(SHELFMARK_DB, args);
        EXPECT_EQ(tool.exitCode, 1);
        EXPECT_TRUE(tool.err.contains(line)) << args[0].toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(data.filePath("backup")));
}

}  // namespace
