#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include "BadInputs.h"
#include "FixedClock.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempLibrary.h"
#include "app/FrmLogon.h"
#include "app/Frmmain.h"
#include "core/logic/AccountFile.h"

namespace {

// One input box of the desk: the tab it is on, what must be in place first,
// the message Enter gives for an empty box and for a number nobody has, and
// the button that would write.
struct DeskBox {
    int tab;
    const char* box;
    const char* setUpBox;  // a box given a good number (and Enter) first, or null
    const char* setUpValue;
    const char* whenEmpty;
    const char* whenUnknown;
    const char* button;
};

const DeskBox kDeskBoxes[] = {
    {0, "txtReaderID", nullptr, nullptr, "请先输入读者编号", "没有该读者信息!", "cmdLendBook"},
    {0, "txtBookID", "txtReaderID", "001", "请先输入书籍编号", "没有该书信息!", "cmdLendBook"},
    {1, "txtReaderIDRenew", nullptr, nullptr, "请先输入读者编号", "没有该读者信息!", "cmdOK"},
    {2, "txtReadIDReturn", nullptr, nullptr, "请先输入读者编号", "没有该读者信息!", "cmdReturn"},
    {2, "txtBookIDReturn", "txtReadIDReturn", "002", "请先输入书籍编号", "没有该书信息!", "cmdReturn"},
};

// The lend button refuses with the lending rule's own words.
QString lendRefusal(const QString& typed, const DeskBox& row)
{
    if (QString(row.box) == "txtReaderID")
        return typed.isEmpty() ? "请先输入读者编号!" : "没有该读者信息!";
    return typed.isEmpty() ? "请先输入书籍编号" : "没有该书信息!";
}

class BadInputAtTheDesk : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addSmallLibrary();
    }

    struct Tried {
        QString onEnter, onClick, store;  // the messages of each step, the store after them
    };

    // Types the text into the box of a fresh desk, presses Enter, then the
    // button.
    Tried tryBox(const DeskBox& row, const QString& text)
    {
        Frmmain window{prompter, clock, library.dir()};
        EXPECT_TRUE(window.Form_Load());
        window.show();
        window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(row.tab);
        if (row.setUpBox)
            enter(window, row.setUpBox, row.setUpValue);
        if (QString(row.box) == "txtReaderID")
            window.findChild<QLineEdit*>("txtBookID")->setText("B001");
        prompter.clear();
        enter(window, row.box, text);
        const QString onEnter = prompter.texts().join('\n');
        prompter.clear();
        auto* button = window.findChild<QPushButton*>(row.button);
        button->click();  // a disabled button ignores it, as it would the mouse
        const Tried tried{onEnter, prompter.texts().join('\n'), storeDump()};
        window.close();
        return tried;
    }

    static void enter(Frmmain& window, const char* name, const QString& text)
    {
        auto* box = window.findChild<QLineEdit*>(name);
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    TempLibrary library;
    ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 3, 20)};
};

// Nothing typed into a desk box finds a reader, a book or a loan it should
// not, and nothing typed there writes a thing.
TEST_F(BadInputAtTheDesk, EveryBoxSaysWhatIsMissingAndWritesNothing)
{
    const QString before = storeDump();
    int count = 0;
    for (const DeskBox& row : kDeskBoxes) {
        for (const BadInput& bad : badInputs()) {
            SCOPED_TRACE(std::string(row.box) + ", " + bad.what);
            const Tried tried = tryBox(row, bad.text);
            EXPECT_EQ(tried.onEnter, QString(bad.text.isEmpty() ? row.whenEmpty : row.whenUnknown));
            // Only the lend button stays pressable after a failed look-up.
            EXPECT_EQ(tried.onClick, row.tab == 0 ? lendRefusal(bad.text, row) : QString());
            EXPECT_TRUE(tried.store == before);
            ++count;
        }
    }
    std::printf("desk: %d bad inputs tried in %zu boxes\n", count, std::size(kDeskBoxes));
}

// The sign-in window: whatever is typed, it signs in only with the account,
// and an account changed to any text comes back from the file exactly.
class BadInputAtSignIn : public ::testing::Test {
protected:
    BadInputAtSignIn() { QDir(library.dir()).mkpath("dat"); }

    std::unique_ptr<FrmLogon> load()
    {
        prompter.clear();
        auto window = std::make_unique<FrmLogon>(prompter, library.dir());
        window->Form_Load();
        return window;
    }
    QString accountFile() const { return library.path("dat/userdata.dat"); }
    QString signIn(const QString& name, const QString& password)
    {
        auto window = load();
        window->txtUserName->setText(name);
        window->txtPassword->setText(password);
        QTest::mouseClick(window->cmdOK, Qt::LeftButton);
        return prompter.texts().join('\n');
    }
    // Runs the change-account flow with these answers; the boxes it showed.
    QString change(const QStringList& answers)
    {
        auto window = load();
        prompter.inputAnswers.clear();
        prompter.inputAnswers.append(answers);
        window->meuAddUser->trigger();
        return prompter.texts().join('\n');
    }

    TempLibrary library;
    ScriptedPrompter prompter;
};

TEST_F(BadInputAtSignIn, OnlyTheAccountSignsInAndAnyNewAccountComesBack)
{
    const QString kAsk = "请输入旧的帐号密码:\n请输入您要更改的用户名:\n请输入您的密码:\n";
    int tried = 0;
    for (const BadInput& bad : badInputs()) {
        SCOPED_TRACE(bad.what);
        QFile::remove(accountFile());
        const bool empty = bad.text.isEmpty();
        EXPECT_EQ(signIn(bad.text, "739"), empty ? "" : "帐号不存在!");
        EXPECT_EQ(signIn("desk", bad.text), empty ? "" : "密码无效!请重新输入");
        EXPECT_EQ(change({bad.text}), "请输入旧的帐号密码:\n旧的密码确认错误,您不能更改帐号!");
        EXPECT_FALSE(QFile::exists(accountFile()));

        // As the new name: empty changes nothing, anything else is the account
        // (up to a line break: the input box holds one line).
        const QString name = empty ? "desk" : bad.text.section(QRegularExpression("[\r\n]"), 0, 0);
        EXPECT_EQ(change({"739", bad.text, "pw"}), empty ? "请输入旧的帐号密码:\n请输入您要更改的用户名:"
                                                         : kAsk + "帐号更改成功!\n你的用户名是:" + name
                                                               + "\n你的密码是:pw");
        EXPECT_EQ(AccountFile::read(accountFile()).name, name);
        EXPECT_EQ(signIn(name, "pw"), empty ? "密码无效!请重新输入" : "");
        // As the new password: empty is asked again, anything else is the password.
        const QString again = empty ? "密码不可以为空,请再输入!\n请输入您的密码:\n" : "";
        const QString password = empty ? "pw2" : bad.text.section(QRegularExpression("[\r\n]"), 0, 0);
        EXPECT_EQ(change({empty ? "739" : "pw", "clerk", bad.text, "pw2"}).section('\n', 3),
                  again + "帐号更改成功!\n你的用户名是:clerk\n你的密码是:" + password);
        EXPECT_EQ(AccountFile::read(accountFile()).password, password);
        EXPECT_EQ(signIn("clerk", password), "");
        tried += 5;
    }
    std::printf("sign-in: %d bad inputs tried in 2 boxes and 3 prompts\n", tried);
}

}  // namespace
