#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QQueue>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "core/logic/AccountFile.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Prompter.h"
#include "core/logic/TextFile.h"
#include "core/ui/FrmLogon.h"
#include "look/ui/BalloonWindow.h"
#include "look/ui/clsToolTip.h"

namespace {

const QString kTitle = QStringLiteral("澄岳图书管理系统");
const QString kNoSuchAccount = QStringLiteral("帐号不存在!");
const QString kWrongPassword = QStringLiteral("密码无效!请重新输入");
const QString kTooMany = QStringLiteral("你尝试登入的次数太多!");
const QString kOldPrompt = QStringLiteral("请输入旧的帐号密码:");
const QString kNamePrompt = QStringLiteral("请输入您要更改的用户名:");
const QString kPasswordPrompt = QStringLiteral("请输入您的密码:");
const QString kEmptyPassword = QStringLiteral("密码不可以为空,请再输入!");

QString changed(const QString& name, const QString& password)
{
    return QStringLiteral("帐号更改成功!\n你的用户名是:") + name + QStringLiteral("\n你的密码是:")
           + password;
}

// Records every box with its title and default text, answers input boxes
// from a queue (a null text stands for Cancel) and fails the test when an
// input box comes that the test did not expect.
class SignInPrompter final : public Prompter {
public:
    struct Box {
        QString text;
        QString title;
        QString defaultText;
        bool input = false;
    };

    void notice(const QString& text, const QString& title, Icon icon) override
    {
        EXPECT_EQ(icon, Icon::None);
        boxes.append({text, title, QString(), false});
    }
    bool question(const QString& text, const QString& title) override
    {
        ADD_FAILURE() << "unexpected question " << text.toStdString();
        boxes.append({text, title, QString(), false});
        return false;
    }
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override
    {
        boxes.append({prompt, title, defaultText, true});
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected input box " << prompt.toStdString();
            return QStringLiteral("unscripted");
        }
        return answers.dequeue();
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Box& box : boxes)
            result.append(box.text);
        return result;
    }

    QQueue<QString> answers;
    QList<Box> boxes;
};

QByteArray readBytes(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FrmLogonTest : public ::testing::Test {
protected:
    FrmLogonTest() { QDir(m_dir.path()).mkpath(QStringLiteral("dat")); }

    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    QString accountFile() const { return path(QStringLiteral("dat/userdata.dat")); }

    std::unique_ptr<FrmLogon> load()
    {
        auto window = std::make_unique<FrmLogon>(prompter, m_dir.path());
        window->Form_Load();
        window->show();
        return window;
    }

    // Types into the box as the keyboard would, Chinese characters included.
    static void type(QLineEdit* box, const QString& text)
    {
        box->clear();
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        EXPECT_EQ(box->text(), text);
    }

    // Types name and password and presses OK (when OK can be pressed).
    static void signIn(FrmLogon& window, const QString& name, const QString& password)
    {
        type(window.txtUserName, name);
        type(window.txtPassword, password);
        QTest::mouseClick(window.cmdOK, Qt::LeftButton);
    }

    void changeAccount(FrmLogon& window, const QStringList& answers)
    {
        for (const QString& answer : answers)
            prompter.answers.enqueue(answer);
        window.meuAddUser->trigger();
        EXPECT_TRUE(prompter.answers.isEmpty());
    }

    SignInPrompter prompter;
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(FrmLogonTest, ShowsTheDesignedControls)
{
    auto window = load();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("登录"));
    EXPECT_EQ(window->size(), QSize(312, 206));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);

    EXPECT_EQ(window->SkinLabel1->text(), QStringLiteral("请输入帐号与密码!"));
    EXPECT_EQ(window->SkinLblUserName->text(), QStringLiteral("帐号:"));
    EXPECT_EQ(window->SkinLblUserName->buddy(), window->txtUserName);
    EXPECT_EQ(window->SkinLblPassword->text(), QStringLiteral("密码:"));
    EXPECT_EQ(window->SkinLblPassword->buddy(), window->txtPassword);
    EXPECT_EQ(window->txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window->cmdOK->text(), QStringLiteral("确定"));
    EXPECT_TRUE(window->cmdOK->isDefault());
    EXPECT_FALSE(window->cmdOK->isEnabled());
    EXPECT_EQ(window->cmdCancel->text(), QStringLiteral("取消"));
    EXPECT_EQ(window->Command1->text(), QStringLiteral(">>"));
    EXPECT_EQ(window->PopMenu->title(), QStringLiteral("弹出菜单"));
    ASSERT_EQ(window->PopMenu->actions().size(), 1);
    EXPECT_EQ(window->PopMenu->actions().first(), window->meuAddUser);
    EXPECT_EQ(window->meuAddUser->text(), QStringLiteral("更改我的帐号"));
    for (const char* name : {"SkinLabel1", "SkinLblUserName", "txtUserName", "SkinLblPassword",
                             "txtPassword", "cmdOK", "cmdCancel", "Command1", "PopMenu"})
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("meuAddUser")), window->meuAddUser);
}

TEST_F(FrmLogonTest, TheCursorStartsInThePasswordBox)
{
    auto window = load();
    QApplication::setActiveWindow(window.get());
    EXPECT_EQ(window->focusWidget(), window->txtPassword);
    EXPECT_EQ(window->txtPassword->nextInFocusChain(), window->txtUserName);
}

TEST_F(FrmLogonTest, WithoutAnAccountFileTheDefaultAccountSignsIn)
{
    auto window = load();
    EXPECT_EQ(window->txtUserName->text(), QStringLiteral("desk"));
    EXPECT_EQ(window->txtPassword->text(), QString());
    EXPECT_EQ(window->accountPassword(), QStringLiteral("739"));
    QSignalSpy signedIn(window.get(), &FrmLogon::signedIn);
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);

    // From the keyboard alone: the password, then Enter.
    QTest::keyClicks(window->txtPassword, QStringLiteral("739"));
    QTest::keyClick(window->txtPassword, Qt::Key_Return);

    EXPECT_EQ(signedIn.count(), 1);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(QFile::exists(accountFile()));
}

TEST_F(FrmLogonTest, OkIsEnabledExactlyWhenBothBoxesHoldText)
{
    auto window = load();
    struct Case {
        const char* name;
        const char* password;
        bool enabled;
    };
    for (const Case& c : {Case{"desk", "", false}, Case{"desk", "1", true}, Case{"", "1", false},
                          Case{"", "", false}, Case{"x", "y", true}}) {
        type(window->txtUserName, QString::fromUtf8(c.name));
        type(window->txtPassword, QString::fromUtf8(c.password));
        EXPECT_EQ(window->cmdOK->isEnabled(), c.enabled) << c.name << "/" << c.password;
    }
}

TEST_F(FrmLogonTest, ThreeWrongPasswordsAreRefusedAndTheFourthEndsTheProgram)
{
    auto window = load();
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        signIn(*window, QStringLiteral("desk"), QStringLiteral("000"));
        EXPECT_EQ(window->txtPassword->text(), QString());
        EXPECT_FALSE(window->cmdOK->isEnabled());
        EXPECT_EQ(ended.count(), 0);
    }
    signIn(*window, QStringLiteral("desk"), QStringLiteral("000"));
    EXPECT_EQ(prompter.texts(),
              QStringList({kWrongPassword, kWrongPassword, kWrongPassword, kTooMany}));
    for (const SignInPrompter::Box& box : prompter.boxes)
        EXPECT_EQ(box.title, kTitle);
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(FrmLogonTest, TheRightPasswordAtTheFourthTrySignsIn)
{
    auto window = load();
    QSignalSpy signedIn(window.get(), &FrmLogon::signedIn);
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);
    for (int attempt = 1; attempt <= 3; ++attempt)
        signIn(*window, QStringLiteral("desk"), QStringLiteral("73"));
    signIn(*window, QStringLiteral("desk"), QStringLiteral("739"));
    EXPECT_EQ(prompter.texts(), QStringList({kWrongPassword, kWrongPassword, kWrongPassword}));
    EXPECT_EQ(signedIn.count(), 1);
    EXPECT_EQ(ended.count(), 0);
}

TEST_F(FrmLogonTest, WrongNamesNeverCountAndNamesAreCaseSensitive)
{
    auto window = load();
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);
    for (int attempt = 0; attempt < 10; ++attempt)
        signIn(*window, attempt % 2 ? QStringLiteral("Desk") : QStringLiteral("desk "),
               QStringLiteral("739"));
    EXPECT_EQ(prompter.texts(), QStringList(10, kNoSuchAccount));
    EXPECT_EQ(window->attemptCount(), 0);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(window->isVisible());

    // The three wrong passwords are all still there.
    for (int attempt = 1; attempt <= 3; ++attempt)
        signIn(*window, QStringLiteral("desk"), QStringLiteral("x"));
    EXPECT_EQ(ended.count(), 0);
}

TEST_F(FrmLogonTest, AChangedAccountSignsInAtOnceAndIsReadBackFromTheFile)
{
    auto window = load();
    changeAccount(*window, {QStringLiteral("739"), QStringLiteral("abc"), QStringLiteral("abc")});

    EXPECT_EQ(readBytes(accountFile()), QByteArray("UserName=cba\r\nPassword=dcb\r\n"));
    EXPECT_EQ(window->txtUserName->text(), QStringLiteral("abc"));
    EXPECT_EQ(prompter.boxes.last().text, changed(QStringLiteral("abc"), QStringLiteral("abc")));
    EXPECT_EQ(prompter.boxes.last().title, kTitle);

    // The prompts, their titles and defaults.
    ASSERT_EQ(prompter.boxes.size(), 4);
    EXPECT_EQ(prompter.boxes[0].text, kOldPrompt);
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("旧的密码确认"));
    EXPECT_EQ(prompter.boxes[0].defaultText, QString());
    EXPECT_EQ(prompter.boxes[1].text, kNamePrompt);
    EXPECT_EQ(prompter.boxes[1].title, QStringLiteral("添加用户"));
    EXPECT_EQ(prompter.boxes[1].defaultText, QStringLiteral("desk"));
    EXPECT_EQ(prompter.boxes[2].text, kPasswordPrompt);
    EXPECT_EQ(prompter.boxes[2].title, QStringLiteral("输入密码"));
    EXPECT_EQ(prompter.boxes[2].defaultText, QString());

    QSignalSpy signedIn(window.get(), &FrmLogon::signedIn);
    signIn(*window, QStringLiteral("desk"), QStringLiteral("739"));
    EXPECT_EQ(prompter.boxes.last().text, kNoSuchAccount);
    signIn(*window, QStringLiteral("abc"), QStringLiteral("abc"));
    EXPECT_EQ(signedIn.count(), 1);

    // The next start.
    auto next = load();
    EXPECT_EQ(next->txtUserName->text(), QStringLiteral("abc"));
    EXPECT_EQ(next->accountPassword(), QStringLiteral("abc"));
}

TEST_F(FrmLogonTest, AChineseAccountSurvivesTheFile)
{
    auto window = load();
    changeAccount(*window, {QStringLiteral("739"), QStringLiteral("图书管理员"),
                            QStringLiteral("借书还书2024")});
    auto next = load();
    QSignalSpy signedIn(next.get(), &FrmLogon::signedIn);
    EXPECT_EQ(next->txtUserName->text(), QStringLiteral("图书管理员"));
    signIn(*next, QStringLiteral("图书管理员"), QStringLiteral("借书还书2024"));
    EXPECT_EQ(signedIn.count(), 1);
}

TEST_F(FrmLogonTest, TwoChangesLeaveTheSecondPasswordScrambledOnItsOwn)
{
    auto window = load();
    changeAccount(*window, {QStringLiteral("739"), QStringLiteral("first"), QStringLiteral("one")});
    changeAccount(*window, {QStringLiteral("one"), QStringLiteral("abc"), QStringLiteral("xy")});
    EXPECT_EQ(readBytes(accountFile()), QByteArray("UserName=cba\r\nPassword=zy\r\n"));
    EXPECT_EQ(window->accountName(), QStringLiteral("abc"));
    EXPECT_EQ(window->accountPassword(), QStringLiteral("xy"));
}

TEST_F(FrmLogonTest, CancelAtTheNewNameChangesNothing)
{
    ASSERT_TRUE(AccountFile::write(accountFile(), {QStringLiteral("abc"), QStringLiteral("abc")}));
    const QByteArray before = readBytes(accountFile());
    auto window = load();
    changeAccount(*window, {QStringLiteral("abc"), QString()});

    EXPECT_EQ(readBytes(accountFile()), before);
    EXPECT_EQ(window->accountName(), QStringLiteral("abc"));
    EXPECT_EQ(window->accountPassword(), QStringLiteral("abc"));
    EXPECT_EQ(prompter.texts(), QStringList({kOldPrompt, kNamePrompt}));

    // Without a file, none is made.
    QFile::remove(accountFile());
    auto fresh = load();
    changeAccount(*fresh, {QStringLiteral("739"), QString()});
    EXPECT_FALSE(QFile::exists(accountFile()));
    EXPECT_EQ(fresh->accountName(), QStringLiteral("desk"));
}

TEST_F(FrmLogonTest, AWrongOldPasswordStopsTheChange)
{
    auto window = load();
    type(window->txtPassword, QStringLiteral("typed"));
    changeAccount(*window, {QStringLiteral("738")});
    EXPECT_EQ(prompter.texts(),
              QStringList({kOldPrompt, QStringLiteral("旧的密码确认错误,您不能更改帐号!")}));
    EXPECT_EQ(prompter.boxes.last().title, kTitle);
    EXPECT_EQ(window->txtPassword->text(), QString());
    EXPECT_FALSE(QFile::exists(accountFile()));

    // Cancel is an empty answer, and that is not the password either.
    changeAccount(*window, {QString()});
    EXPECT_EQ(prompter.boxes.last().text, QStringLiteral("旧的密码确认错误,您不能更改帐号!"));
}

TEST_F(FrmLogonTest, AnEmptyNewPasswordIsAskedAgain)
{
    auto window = load();
    changeAccount(*window, {QStringLiteral("739"), QStringLiteral("neu"), QString(),
                            QStringLiteral(""), QStringLiteral("pw")});
    EXPECT_EQ(prompter.texts(),
              QStringList({kOldPrompt, kNamePrompt, kPasswordPrompt, kEmptyPassword,
                           kPasswordPrompt, kEmptyPassword, kPasswordPrompt,
                           changed(QStringLiteral("neu"), QStringLiteral("pw"))}));
    EXPECT_EQ(AccountFile::read(accountFile()).password, QStringLiteral("pw"));
}

TEST_F(FrmLogonTest, APastedAnswerCountsUpToItsFirstLineBreak)
{
    auto window = load();
    changeAccount(*window, {QStringLiteral("739\nx"), QStringLiteral("abc\r\nPassword=1"),
                            QStringLiteral("pw\nrest")});
    EXPECT_EQ(readBytes(accountFile()), QByteArray("UserName=cba\r\nPassword=xq\r\n"));
    EXPECT_EQ(prompter.boxes.last().text, changed(QStringLiteral("abc"), QStringLiteral("pw")));
    auto next = load();
    EXPECT_EQ(next->accountName(), QStringLiteral("abc"));
    EXPECT_EQ(next->accountPassword(), QStringLiteral("pw"));
}

TEST_F(FrmLogonTest, TheAttemptCountSurvivesAChangeOfAccount)
{
    auto window = load();
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);
    signIn(*window, QStringLiteral("desk"), QStringLiteral("1"));
    signIn(*window, QStringLiteral("desk"), QStringLiteral("2"));
    changeAccount(*window, {QStringLiteral("739"), QStringLiteral("abc"), QStringLiteral("abc")});
    signIn(*window, QStringLiteral("abc"), QStringLiteral("3"));
    EXPECT_EQ(ended.count(), 0);
    signIn(*window, QStringLiteral("abc"), QStringLiteral("4"));
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(FrmLogonTest, AFileWithoutANameLineNeverSignsIn)
{
    QFile file(accountFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Password=dcb\r\n");
    file.close();
    auto window = load();
    EXPECT_EQ(window->txtUserName->text(), QString());
    type(window->txtPassword, QStringLiteral("abc"));
    EXPECT_FALSE(window->cmdOK->isEnabled());
    QTest::keyClick(window->txtPassword, Qt::Key_Return);
    EXPECT_TRUE(prompter.boxes.isEmpty());

    signIn(*window, QStringLiteral("x"), QStringLiteral("abc"));
    EXPECT_EQ(prompter.texts(), QStringList({kNoSuchAccount}));

    // The change still works, checked against the password that was read.
    changeAccount(*window, {QStringLiteral("abc"), QStringLiteral("new"), QStringLiteral("pw")});
    EXPECT_EQ(AccountFile::read(accountFile()).name, QStringLiteral("new"));
}

TEST_F(FrmLogonTest, AMissingDatFolderIsReportedAndChangesNothing)
{
    QDir(path(QStringLiteral("dat"))).removeRecursively();
    auto window = load();
    changeAccount(*window, {QStringLiteral("739"), QStringLiteral("abc")});
    ASSERT_EQ(prompter.boxes.size(), 3);
    EXPECT_TRUE(prompter.boxes[2].text.contains(QStringLiteral("不存在")));
    EXPECT_TRUE(prompter.boxes[2].text.contains(QStringLiteral("dat")));
    EXPECT_EQ(prompter.boxes[2].title, kTitle);
    EXPECT_FALSE(QFile::exists(accountFile()));
    EXPECT_EQ(window->accountName(), QStringLiteral("desk"));
    EXPECT_EQ(window->accountPassword(), QStringLiteral("739"));
}

TEST_F(FrmLogonTest, CancelEscapeAndClosingEndTheProgram)
{
    auto window = load();
    QSignalSpy ended(window.get(), &FrmLogon::endProgram);
    QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(ended.count(), 1);
    QTest::keyClick(window->txtPassword, Qt::Key_Escape);
    EXPECT_EQ(ended.count(), 2);
    window->close();
    EXPECT_EQ(ended.count(), 3);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(FrmLogonTest, TheArrowButtonOpensTheMenuAndCarriesTheBalloon)
{
    auto window = load();
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    EXPECT_TRUE(window->PopMenu->isVisible());
    window->PopMenu->hide();

    const clsToolTip* balloon = window->balloon();
    ASSERT_NE(balloon, nullptr);
    EXPECT_EQ(balloon->toolWindow(), window->Command1);
    EXPECT_FALSE(balloon->centred());
    ASSERT_NE(balloon->tipWindow(), nullptr);
    EXPECT_TRUE(balloon->tipWindow()->isBalloon());
    EXPECT_EQ(balloon->tipWindow()->title(), QStringLiteral("提示"));
    EXPECT_EQ(balloon->tipWindow()->icon(), BalloonWindow::kInformation);
    EXPECT_EQ(balloon->tipWindow()->text(), QStringLiteral("点击此按钮更改您的帐号!"));
}

TEST_F(FrmLogonTest, TheSavedStyleSkinsTheWindowWhenItsFileIsThere)
{
    QDir(m_dir.path()).mkpath(QStringLiteral("style"));
    const QByteArray typeSkin = "QDialog { background: #102030; }";
    const QByteArray lightSkin = "QDialog { background: #fff0e0; }";
    {
        QFile type(path(AppInfo::kTypeStyleFile));
        ASSERT_TRUE(type.open(QIODevice::WriteOnly));
        type.write(typeSkin);
    }
    struct Case {
        QByteArray setting;
        bool lightFilePresent;
        const char* colour;  // the skin's colour, or nullptr for the system look
    };
    const QList<Case> cases = {
        {"LoadStyle=1\r\n", false, "#102030"},
        {"LoadStyle=2\r\n", false, nullptr},  // the file is missing: the system look
        {"LoadStyle=2\r\n", true, "#fff0e0"},
        {"LoadStyle=0\r\n", true, nullptr},
        {"LoadStyle=3\r\n", true, nullptr},
        {"", true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting.toStdString());
        QFile setting(path(AppInfo::kSettingFile));
        ASSERT_TRUE(setting.open(QIODevice::WriteOnly));
        setting.write(c.setting);
        setting.close();
        QFile light(path(AppInfo::kLightStyleFile));
        if (c.lightFilePresent) {
            ASSERT_TRUE(light.open(QIODevice::WriteOnly));
            light.write(lightSkin);
            light.close();
        } else {
            light.remove();
        }
        auto window = load();
        if (c.colour)
            EXPECT_TRUE(window->styleSheet().contains(QLatin1String(c.colour)));
        else
            EXPECT_EQ(window->styleSheet(), QString());
    }
}
