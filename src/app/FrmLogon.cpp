#include "app/FrmLogon.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

#include <limits>

#include "core/logic/AccountFile.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Prompter.h"
#include "look/logic/StyleSetting.h"
#include "core/ui/SkinControl.h"
#include "look/ui/clsToolTip.h"

namespace {

constexpr qint16 kAllowedWrongPasswords = 3;

const QString kBalloonText = QStringLiteral("点击此按钮更改您的帐号!");

}  // namespace

FrmLogon::FrmLogon(Prompter& prompter, const ProgramFolders& folders, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_folders(folders)
{
    setObjectName(QStringLiteral("FrmLogon"));
    setWindowTitle(QStringLiteral("登录"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    Skin1 = new SkinControl(this);
    Skin1->setObjectName(QStringLiteral("Skin1"));
    buildControls();

    setFixedSize(AppInfo::pixelsFromTwips(kClientWidthTwips), AppInfo::pixelsFromTwips(kClientHeightTwips));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

FrmLogon::~FrmLogon() = default;

void FrmLogon::buildControls()
{
    lblPrompt = new QLabel(QStringLiteral("请输入帐号与密码!"), this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    SkinLblUserName = new QLabel(QStringLiteral("帐号:"), this);
    SkinLblUserName->setObjectName(QStringLiteral("SkinLblUserName"));
    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    SkinLblUserName->setBuddy(txtUserName);
    SkinLblPassword = new QLabel(QStringLiteral("密码:"), this);
    SkinLblPassword->setObjectName(QStringLiteral("SkinLblPassword"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    SkinLblPassword->setBuddy(txtPassword);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdSignIn = new QPushButton(QStringLiteral(">>"), this);
    cmdSignIn->setObjectName(QStringLiteral("cmdSignIn"));
    cmdSignIn->setAccessibleDescription(kBalloonText);
    cmdSignIn->setFixedWidth(40);

    PopMenu = new QMenu(QStringLiteral("弹出菜单"), this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    meuAddUser = PopMenu->addAction(QStringLiteral("更改我的帐号"));
    meuAddUser->setObjectName(QStringLiteral("meuAddUser"));

    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(8);
    boxes->setVerticalSpacing(12);
    boxes->addWidget(SkinLblUserName, 0, 0);
    boxes->addWidget(txtUserName, 0, 1);
    boxes->addWidget(SkinLblPassword, 1, 0);
    boxes->addWidget(txtPassword, 1, 1);
    boxes->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdSignIn);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(24, 16, 24, 16);
    page->setSpacing(14);
    page->addWidget(lblPrompt);
    page->addStretch(1);
    page->addLayout(boxes);
    page->addStretch(1);
    page->addLayout(buttons);

    // The password box comes first, so the cursor starts there.
    setTabOrder(txtPassword, txtUserName);
    setTabOrder(txtUserName, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdSignIn);
    txtPassword->setFocus();

    connect(txtUserName, &QLineEdit::textChanged, this, &FrmLogon::txtUserName_Change);
    connect(txtPassword, &QLineEdit::textChanged, this, &FrmLogon::txtPassword_Change);
    connect(cmdOK, &QPushButton::clicked, this, &FrmLogon::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmLogon::cmdCancel_Click);
    connect(cmdSignIn, &QPushButton::clicked, this, &FrmLogon::cmdSignIn_Click);
    connect(meuAddUser, &QAction::triggered, this, &FrmLogon::meuAddUser_Click);
}

QString FrmLogon::accountFile() const
{
    return m_folders.dataPath(AppInfo::kAccountFile);
}

void FrmLogon::Form_Load()
{
    m_attemptCount = 0;
    applySavedStyle();
    QCoreApplication::processEvents();
    readAccount();
    if (!m_balloon) {
        m_balloon = new clsToolTip(this);
        m_balloon->setObjectName(QStringLiteral("cmdSignInBalloon"));
    }
    m_balloon->CreateBalloon(cmdSignIn, cmdSignIn, kBalloonText, clsToolTip::kBalloonStyle, false,
                             QStringLiteral("提示"), 1, QString(), QString());
}

// The saved style 1 or 2 draws this window with its skin file, when that
// file is there; anything else leaves the system look.
void FrmLogon::applySavedStyle()
{
    const int style = StyleSetting::read(m_folders.dataDir());
    if (style != StyleSetting::kTypeStyle && style != StyleSetting::kLight)
        return;
    const QString skinFile = StyleSetting::skinFile(m_folders.resourceDir(), style);
    if (QFileInfo::exists(skinFile) && Skin1->load(skinFile))
        Skin1->apply(this);
}

void FrmLogon::readAccount()
{
    const AccountFile::Account account = AccountFile::read(accountFile());
    txtUserName->setText(account.name);
    m_accountName = account.name;
    m_accountPassword = account.password;
}

void FrmLogon::notice(const QString& text)
{
    m_prompter.notice(text, AppInfo::kAppTitle);
}

void FrmLogon::txtUserName_Change()
{
    cmdOK->setEnabled(!txtUserName->text().isEmpty() && !txtPassword->text().isEmpty());
}

void FrmLogon::txtPassword_Change()
{
    txtUserName_Change();
}

void FrmLogon::cmdOK_Click()
{
    if (txtUserName->text() != m_accountName) {
        notice(QStringLiteral("帐号不存在!"));
        return;
    }
    if (m_attemptCount < std::numeric_limits<qint16>::max())
        ++m_attemptCount;
    if (txtPassword->text() != m_accountPassword) {
        if (m_attemptCount <= kAllowedWrongPasswords) {
            notice(QStringLiteral("密码无效!请重新输入"));
            txtPassword->clear();
            txtPassword->setFocus();
            return;
        }
        notice(QStringLiteral("你尝试登入的次数太多!"));
        emit endProgram();
        return;
    }
    hide();
    emit signedIn();
}

void FrmLogon::cmdCancel_Click()
{
    emit endProgram();
}

void FrmLogon::reject()
{
    cmdCancel_Click();
}

void FrmLogon::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void FrmLogon::Form_Unload()
{
    emit endProgram();
}

// The menu opens where the mouse is over the button, or below the button
// when it was pressed from the keyboard.
void FrmLogon::cmdSignIn_Click()
{
    const QPoint cursor = QCursor::pos();
    const bool overButton = cmdSignIn->rect().contains(cmdSignIn->mapFromGlobal(cursor));
    PopMenu->popup(overButton ? cursor : cmdSignIn->mapToGlobal(QPoint(0, cmdSignIn->height())));
}

void FrmLogon::meuAddUser_Click()
{
    txtUserName->setText(m_accountName);
    txtPassword->clear();

    const QString oldPassword = ask(QStringLiteral("请输入旧的帐号密码:"),
                                    QStringLiteral("旧的密码确认"), QString());
    if (oldPassword != m_accountPassword) {
        notice(QStringLiteral("旧的密码确认错误,您不能更改帐号!"));
        return;
    }
    const QString name = ask(QStringLiteral("请输入您要更改的用户名:"), QStringLiteral("添加用户"),
                             AccountFile::kDefaultName);
    if (name.isEmpty())
        return;

    // Both lines are written together once the password is known, so the
    // file never holds a name without its password; a file that cannot be
    // written is reported before the password is asked, and nothing changes.
    const QString file = accountFile();
    if (const QString problem = AccountFile::writeProblem(file); !problem.isEmpty()) {
        notice(problem + QStringLiteral(",帐号没有更改!"));
        return;
    }
    const QString password = askNewPassword();
    if (!AccountFile::write(file, {name, password})) {
        const QString problem = AccountFile::writeProblem(file);
        notice((problem.isEmpty() ? QStringLiteral("文件 %1 不能写入").arg(QDir::toNativeSeparators(file))
                                  : problem)
               + QStringLiteral(",帐号没有更改!"));
        return;
    }
    m_accountName = name;
    m_accountPassword = password;

    txtUserName->setText(m_accountName);
    txtPassword->clear();
    // Three lines broken with \n, the line break of message boxes on this
    // platform: decided so for this box, and to stay so.
    notice(QStringLiteral("帐号更改成功!") + QLatin1Char('\n') + QStringLiteral("你的用户名是:")
           + m_accountName + QLatin1Char('\n') + QStringLiteral("你的密码是:") + m_accountPassword);
}

// An input box holds one line: a pasted answer counts up to its first line
// break (the account file keeps one value per line).
QString FrmLogon::ask(const QString& prompt, const QString& title, const QString& defaultText)
{
    const QString answer = m_prompter.input(prompt, title, defaultText);
    const qsizetype lineBreak = answer.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return lineBreak < 0 ? answer : answer.left(lineBreak);
}

// Asks until the answer is not empty (Cancel counts as empty).
QString FrmLogon::askNewPassword()
{
    for (;;) {
        const QString password =
            ask(QStringLiteral("请输入您的密码:"), QStringLiteral("输入密码"), QString());
        if (!password.isEmpty())
            return password;
        notice(QStringLiteral("密码不可以为空,请再输入!"));
    }
}
