#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "FixedClock.h"
#include "OpenWindows.h"
#include "Probes.h"
#include "QtPrinters.h"
#include "TempLibrary.h"
#include "core/logic/AccountFile.h"
#include "core/logic/AppInfo.h"
#include "ScriptedPrompter.h"
#include "core/logic/TextFile.h"
#include "core/ui/HelpViewer.h"
#include "app/FrmLogon.h"
#include "app/Frmmain.h"
#include "app/Startup.h"
#include "look/ui/FrmHelp.h"

namespace {

const QString kTitle = QStringLiteral("澄岳图书管理系统");
const QString kNoSuchAccount = QStringLiteral("帐号不存在!|") + kTitle;
const QString kOldPrompt = QStringLiteral("请输入旧的帐号密码:|旧的密码确认|");
const QString kNamePrompt = QStringLiteral("请输入您要更改的用户名:|添加用户|desk");
const QString kPasswordPrompt = QStringLiteral("请输入您的密码:|输入密码|");
const QString kEmptyPassword = QStringLiteral("密码不可以为空,请再输入!|") + kTitle;

// A notice as ScriptedPrompter::boxes() gives it.
QString box(const QString& text) { return text + '|' + kTitle; }

// The captions of a menu or menu bar as the clerk sees them, "-" for a separator.
QStringList entries(const QWidget* menu)
{
    QStringList result;
    for (const QAction* action : menu->actions())
        result.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

// The program directory is a library, so that signing in can open the main window.
struct Windows : ::testing::Test {
    Windows() { QDir(library.dir()).mkpath("dat"); }

    QString accountFile() const { return library.path("dat/userdata.dat"); }
    std::unique_ptr<FrmLogon> load()
    {
        prompter.clear();
        auto window = std::make_unique<FrmLogon>(prompter, library.folders());
        window->Form_Load();
        window->show();
        return window;
    }
    static void signIn(FrmLogon& window, const QString& name, const QString& password)
    {
        window.txtUserName->setText(name);
        window.txtPassword->setText(password);
        QTest::mouseClick(window.cmdOK, Qt::LeftButton);
    }
    void changeAccount(FrmLogon& window, const QStringList& answers)
    {
        prompter.inputAnswers.append(answers);
        window.meuAddUser->trigger();
        EXPECT_TRUE(prompter.inputAnswers.isEmpty());
    }

    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock;
};

}  // namespace

// The name and the password are stored reversed, each character of the password
// one code up, as valid GB18030 text; every account comes back exactly.
TEST(AccountFile, EveryAccountComesBackThroughTheFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("userdata.dat");
    TextFile::writeLines(file, {"[x]", "Password=:48", "UserName=ksed"});  // desk / 739, lines swapped
    EXPECT_EQ(AccountFile::read(file).name + "/" + AccountFile::read(file).password, "desk/739");

    const auto gb = [](const char* hex) { return TextFile::decode(QByteArray::fromHex(hex)); };
    const struct { QString name, password; QByteArray stored; /* after "Password=", if given */ } cases[] = {
        {"desk", "a b~", QByteArray::fromHex("7f632162")},  // ~ becomes DEL
        {"desk", QString(QChar(0x7F)), " "},                // DEL wraps round to the blank
        {"desk", gb("817e"), QByteArray::fromHex("8180")},  // there is no trail byte 7F
        {"desk", gb("81fe"), QByteArray::fromHex("8240")},  // on to the next lead byte
        {"desk", gb("fefe"), QByteArray::fromHex("8140")},  // the last code wraps round
        {"管理员", "中文", QByteArray::fromHex("cec5d6d1")},
        {"a😀𠀀b", "Bär😀\t", {}},  // four-byte codes and control characters kept
        {QString(10000, QChar(0x4E66)), QString(10000, QChar(0x4E66)), {}},  // a pasted page
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password.toStdString());
        ASSERT_TRUE(AccountFile::write(file, {c.name, c.password}));
        const QByteArray bytes = bytesOf(file);
        const QByteArray stored = bytes.mid(bytes.indexOf("\r\nPassword=") + 11).chopped(2);
        if (!c.stored.isNull())
            EXPECT_EQ(stored.toHex(), c.stored.toHex());
        EXPECT_EQ(TextFile::encode(TextFile::decode(stored)), stored);
        EXPECT_EQ(AccountFile::read(file).name + "/" + AccountFile::read(file).password, c.name + "/" + c.password);
    }
}

// Without an account file desk signs in from the keyboard; the main window
// opens the shared connection, shows the version, keeps its size and closes
// the connection when it closes.
TEST_F(Windows, DeskSignsInFromTheKeyboardAndTheMainWindowOpens)
{
    Database::close();
    Startup startup(prompter, clock, library.folders());
    QSignalSpy finished(&startup, &Startup::finished);
    startup.start();
    FrmLogon* window = startup.signInWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window->txtUserName->text(), "desk");
    QApplication::setActiveWindow(window);
    ASSERT_EQ(window->focusWidget(), window->txtPassword);

    // OK only while both boxes hold text (Enter presses it).
    EXPECT_FALSE(window->cmdOK->isEnabled());
    QTest::keyClicks(window->txtPassword, "739");
    window->txtUserName->clear();
    EXPECT_FALSE(window->cmdOK->isEnabled());
    QTest::keyClicks(window->txtUserName, "desk");
    QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(prompter.boxes().isEmpty()) << prompter.boxes().join('\n').toStdString();
    EXPECT_FALSE(QFile::exists(accountFile()));

    Frmmain* main = startup.mainWindow();
    ASSERT_TRUE(main && main->isVisible());
    EXPECT_EQ(main->windowTitle(), kTitle + QStringLiteral(" Ver 2.01 Build:0147"));
    EXPECT_TRUE(Database::isOpen());
    EXPECT_EQ(entries(main->menuBar()), (QStringList{"书库管理", "系统查询", "系统设置", "数据与报表", "帮助(&H)"}));
    const QSize designed = main->size();
    main->resize(designed + QSize(200, 150));  // dragging the border: it springs back
    EXPECT_EQ(main->size(), designed);
    main->close();
    EXPECT_FALSE(Database::isOpen());
}

// Wrong names, in whatever case, are not counted and wrong passwords are
// answered. The new account is in force at once and is read back at the next
// start, where a right fourth try signs in; a second change stores its
// password scrambled on its own; a change does not reset the count of wrong
// passwords, and the fourth wrong one ends the program.
TEST_F(Windows, AChangedAccountIsInForceAtOnceAndReadBackAtTheNextStart)
{
    auto window = load();
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);
    signIn(*window, "Desk", "739");
    signIn(*window, "desk ", "739");
    signIn(*window, "desk", "1");
    signIn(*window, "desk", "2");
    EXPECT_EQ(window->txtPassword->text(), "");
    EXPECT_EQ(prompter.boxes(), QStringList(2, kNoSuchAccount) + QStringList(2, box("密码无效!请重新输入")));
    prompter.clear();
    // An empty password (or Cancel) is asked again; a pasted answer counts up
    // to its first line break, so it cannot add a line to the file.
    changeAccount(*window, {"739\nx", "abc\r\nPassword=1", QString(), "", "abc\nrest"});
    EXPECT_EQ(bytesOf(accountFile()), "UserName=cba\r\nPassword=dcb\r\n");
    EXPECT_EQ(window->txtUserName->text(), "abc");
    EXPECT_EQ(prompter.boxes(), (QStringList{kOldPrompt, kNamePrompt, kPasswordPrompt, kEmptyPassword, kPasswordPrompt,
                                           kEmptyPassword, kPasswordPrompt, box("帐号更改成功!\n你的用户名是:abc\n你的密码是:abc")}));
    signIn(*window, "desk", "739");
    EXPECT_EQ(prompter.boxes().last(), kNoSuchAccount);

    changeAccount(*window, {"abc", "abc", "xy"});
    EXPECT_EQ(bytesOf(accountFile()), "UserName=cba\r\nPassword=zy\r\n");
    signIn(*window, "abc", "3");
    EXPECT_EQ(ended.count(), 0);
    signIn(*window, "abc", "4");
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(prompter.boxes().last(), box("你尝试登入的次数太多!"));

    auto next = load();
    QSignalSpy signedIn(next.get(), &FrmLogon::signedIn);
    EXPECT_EQ(next->txtUserName->text(), "abc");
    for (const char* password : {"1", "2", "3", "xy"})
        signIn(*next, "abc", password);
    EXPECT_EQ(signedIn.count(), 1);
}

// A wrong old password, Cancel at the new name, or an account file that
// cannot be written (reported before the password is asked): neither the
// file nor the account changes, and no file is made.
TEST_F(Windows, AChangeThatStopsEarlyChangesNothing)
{
    const QString dat = QDir::toNativeSeparators(library.path("dat"));
    enum Setup { Writable, ReadOnly, NoFolder };
    const struct { Setup setup; QStringList answers; /* a null text is Cancel */ QString lastBox; } cases[] = {
        {Writable, {"abd"}, box("旧的密码确认错误,您不能更改帐号!")},
        {Writable, {"abc", QString()}, kNamePrompt},
        {ReadOnly, {"abc", "new"}, box("文件 " + dat + "/userdata.dat 是只读的,帐号没有更改!")},
        {NoFolder, {"739", "new"}, box("文件夹 " + dat + " 不存在,帐号没有更改!")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastBox.toStdString());
        if (c.setup != NoFolder)
            ASSERT_TRUE(AccountFile::write(accountFile(), {"abc", "abc"}));
        if (c.setup == ReadOnly)
            QFile::setPermissions(accountFile(), QFile::ReadOwner | QFile::ReadGroup);
        if (c.setup == NoFolder)
            QDir(library.path("dat")).removeRecursively();
        const QByteArray before = bytesOf(accountFile());
        auto window = load();
        const QString account = window->accountName() + "/" + window->accountPassword();
        changeAccount(*window, c.answers);
        EXPECT_EQ(prompter.boxes().last(), c.lastBox);
        EXPECT_EQ(bytesOf(accountFile()), before);
        EXPECT_EQ(QFile::exists(accountFile()), c.setup != NoFolder);
        EXPECT_EQ(window->accountName() + "/" + window->accountPassword(), account);
    }
}

TEST_F(Windows, CancelEscapeAndClosingEndTheProgram)
{
    auto window = load();
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);
    QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
    QTest::keyClick(window->txtPassword, Qt::Key_Escape);
    window->close();
    EXPECT_EQ(ended.count(), 3);
    EXPECT_TRUE(prompter.boxes().isEmpty());
}

// (A help file that is there is shown in one viewer: the installed program, below.)
TEST_F(Windows, AMissingHelpFileIsReported)
{
    Frmmain window(prompter, clock, library.folders());
    window.meuUseHelper->trigger();
    EXPECT_EQ(prompter.boxes(), QStringList{box("帮助文件 readme.txt 未找到!")});
    EXPECT_TRUE(openWindows<HelpViewer>().isEmpty());

}

// A missing database: after signing in, the message names the file and the
// engine's reason, the program ends with code 1, and it never creates the
// file (the reasons for other files: DbToolTest).
TEST(MainWindowWithoutDatabase, LoadNamesTheFileAndTheReasonAndTheProgramEndsWithCodeOne)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("mdb");
    const QString file = QDir(dir.path()).filePath("mdb/Shelfmark.mdb");
    ScriptedPrompter prompter;
    FixedClock clock;
    Startup startup(prompter, clock, ProgramFolders::programDirectory(dir.path()));
    QSignalSpy finished(&startup, &Startup::finished);
    startup.start();
    QTest::keyClicks(startup.signInWindow()->txtPassword, "739");
    QTest::mouseClick(startup.signInWindow()->cmdOK, Qt::LeftButton);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 1);
    ASSERT_EQ(prompter.boxes().size(), 1);
    const QString message = prompter.boxes()[0];
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file)) && message.contains("文件不存在")
                && message.endsWith('|' + kTitle)) << message.toStdString();
    EXPECT_FALSE(startup.mainWindow() && startup.mainWindow()->isVisible());
    EXPECT_FALSE(Database::isOpen());
    EXPECT_FALSE(QFileInfo::exists(file));
}

// An installed program: the skins, the help text and the first tips come from
// the read-only folder, and everything the clerk's work writes (style, the
// tips' place, the account) goes to the data folder, the read-only folder
// left byte for byte as it was.
TEST_F(Windows, AnInstalledProgramReadsItsOwnFilesAndWritesOnlyIntoTheDataFolder)
{
    QTemporaryDir share;
    const auto shared = [&](const QString& relative) { return QDir(share.path()).filePath(relative); };
    QDir(share.path()).mkpath("style");
    const QString sheet = "QMainWindow { background-color: rgb(90, 40, 20); }";
    ASSERT_TRUE(TextFile::writeLines(shared(AppInfo::kTypeStyleFile), {sheet}));
    ASSERT_TRUE(TextFile::writeLines(shared(AppInfo::kLightStyleFile), {sheet}));
    ASSERT_TRUE(TextFile::writeLines(shared(AppInfo::kHelpFile), {"还书先扫条码"}));
    ASSERT_TRUE(TextFile::writeLines(shared(AppInfo::kTipFile), {"[TIP]", "START=T", "CURRENT=1", "1=借书先输读者编号", "2=还书看罚款"}));
    const auto shipped = [&] {
        QStringList files;
        for (const QString& f : {AppInfo::kTypeStyleFile, AppInfo::kHelpFile, AppInfo::kTipFile})
            files << f + ":" + bytesOf(shared(f)).toHex();
        return files << QDir(share.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    };
    const QStringList before = shipped();

    Database::close();
    Startup startup(prompter, clock, ProgramFolders::installed(share.path(), library.dir()));
    startup.start();
    changeAccount(*startup.signInWindow(), {"739", "管理员", "新密码"});
    prompter.clear();
    signIn(*startup.signInWindow(), "管理员", "新密码");
    Frmmain* main = startup.mainWindow();
    ASSERT_TRUE(main && main->isVisible());
    auto* tips = openWindow<FrmHelp>();
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->tip_text->text(), "借书先输读者编号\n");
    main->meuTypeStyle->trigger();
    EXPECT_EQ(main->styleSheet(), sheet + "\r\n");
    main->meuUseHelper->trigger();
    main->meuUseHelper->trigger();  // the one viewer comes forward again
    const auto viewers = openWindows<HelpViewer>();
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_EQ(viewers[0]->findChild<QObject*>("txtHelp")->property("plainText").toString().trimmed(), "还书先扫条码");

    EXPECT_EQ(bytesOf(library.path(AppInfo::kSettingFile)), "LoadStyle=1\r\n");
    EXPECT_TRUE(bytesOf(library.path(AppInfo::kTipFile)).contains("CURRENT=2"));
    EXPECT_EQ(AccountFile::read(accountFile()).name, "管理员");
    EXPECT_EQ(shipped(), before);
    EXPECT_TRUE(prompter.boxes().isEmpty()) << prompter.boxes().join('\n').toStdString();
}
