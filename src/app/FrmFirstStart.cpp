#include "app/FrmFirstStart.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/logic/AppInfo.h"
#include "core/logic/Clock.h"
#include "core/logic/Prompter.h"
#include "core/logic/ServerSettings.h"
#include "core/ui/FormParts.h"

namespace {

// A choice and, indented under it, what it needs.
QWidget* under(QRadioButton* choice, QLayout* needs)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(choice);
    needs->setContentsMargins(24, 0, 0, 4);
    layout->addLayout(needs);
    return box;
}

}  // namespace

FrmFirstStart::FrmFirstStart(Prompter& prompter, const Clock& clock, const ProgramFolders& folders)
    : QDialog(nullptr), m_prompter(prompter), m_clock(clock), m_folders(folders), m_start(folders)
{
    setObjectName(QStringLiteral("FrmFirstStart"));
    setWindowTitle(QStringLiteral("首次使用"));
    setMinimumWidth(560);
    buildControls();
    showFolder();
}

void FrmFirstStart::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setWordWrap(true);
    layout->addWidget(lblFolder);

    m_choices = new QButtonGroup(this);
    const auto choice = [this](const QString& text, const char* name) {
        auto* option = new QRadioButton(text, this);
        option->setObjectName(QString::fromLatin1(name));
        m_choices->addButton(option);
        return option;
    };
    optEmpty = choice(QStringLiteral("新建空白图书馆"), "optEmpty");
    optDemo = choice(QStringLiteral("使用演示图书馆(约 300 册图书、50 位读者,可先熟悉操作)"), "optDemo");
    optFile = choice(QStringLiteral("复制已有的图书馆文件(Shelfmark.mdb,先检查再复制)"), "optFile");
    optServer = choice(QStringLiteral("使用数据库服务器上的图书馆(多个借阅台共用)"), "optServer");
    optShared = choice(QStringLiteral("使用本机的共享文件夹(本机多个帐户共用一个图书馆)"), "optShared");
    optEmpty->setChecked(true);
    layout->addWidget(optEmpty);
    layout->addWidget(optDemo);

    txtFile = FormParts::textBox("txtFile", this);
    cmdBrowseFile = FormParts::button(QStringLiteral("浏览…"), "cmdBrowseFile", this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(txtFile);
    fileRow->addWidget(cmdBrowseFile);
    layout->addWidget(under(optFile, fileRow));

    txtHost = FormParts::textBox("txtHost", this);
    txtPort = new QSpinBox(this);
    txtPort->setObjectName(QStringLiteral("txtPort"));
    txtPort->setRange(1, 65535);
    txtPort->setValue(5432);
    txtDatabase = FormParts::textBox("txtDatabase", this);
    txtUser = FormParts::textBox("txtUser", this);
    auto* serverForm = new QFormLayout;
    serverForm->addRow(FormParts::caption(QStringLiteral("服务器:"), txtHost, this), txtHost);
    serverForm->addRow(FormParts::caption(QStringLiteral("端口:"), txtPort, this), txtPort);
    serverForm->addRow(FormParts::caption(QStringLiteral("数据库:"), txtDatabase, this), txtDatabase);
    serverForm->addRow(FormParts::caption(QStringLiteral("用户:"), txtUser, this), txtUser);
    layout->addWidget(under(optServer, serverForm));

    txtShared = FormParts::textBox("txtShared", this);
    cmdBrowseShared = FormParts::button(QStringLiteral("浏览…"), "cmdBrowseShared", this);
    auto* sharedRow = new QHBoxLayout;
    sharedRow->addWidget(txtShared);
    sharedRow->addWidget(cmdBrowseShared);
    layout->addWidget(under(optShared, sharedRow));

    cmdOK = FormParts::button(QStringLiteral("确定"), "cmdOK", this);
    cmdExit = FormParts::button(QStringLiteral("退出"), "cmdExit", this);
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);
    layout->addLayout(buttons);

    // Typing into a choice's boxes chooses it.
    for (const auto& [box, option] : {std::pair<QLineEdit*, QRadioButton*>{txtFile, optFile}, {txtHost, optServer},
                                      {txtDatabase, optServer}, {txtUser, optServer}, {txtShared, optShared}})
        connect(box, &QLineEdit::textEdited, option, [option = option] { option->setChecked(true); });
    connect(cmdBrowseFile, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择图书馆文件"), QDir::homePath(),
                                                          QStringLiteral("图书馆文件 (*.mdb);;所有文件 (*)"));
        if (!file.isEmpty()) {
            txtFile->setText(file);
            optFile->setChecked(true);
        }
    });
    connect(cmdBrowseShared, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("选择共享文件夹"), QStringLiteral("/srv"));
        if (!folder.isEmpty()) {
            txtShared->setText(folder);
            optShared->setChecked(true);
        }
    });
    connect(cmdOK, &QPushButton::clicked, this, &FrmFirstStart::cmdOK_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmFirstStart::showFolder()
{
    const QString folder = QDir::toNativeSeparators(m_folders.dataDir());
    const QFileInfo data(m_folders.dataDir());
    if (data.isSymLink()) {
        lblFolder->setText(QStringLiteral("共享文件夹 %1 里还没有图书馆。请选择在那里建立图书馆的方式:")
                               .arg(QDir::toNativeSeparators(data.symLinkTarget())));
        optShared->setEnabled(false);
        txtShared->setEnabled(false);
        cmdBrowseShared->setEnabled(false);
        if (optShared->isChecked())
            optEmpty->setChecked(true);
        return;
    }
    lblFolder->setText(QStringLiteral("欢迎使用%1!\n数据文件夹 %2 里还没有图书馆。请选择:").arg(AppInfo::kAppTitle, folder));
}

bool FrmFirstStart::runChoice(QString* error)
{
    if (optEmpty->isChecked())
        return m_start.makeEmpty(error);
    if (optDemo->isChecked())
        return m_start.makeDemo(m_clock.today(), error);
    if (optFile->isChecked()) {
        if (txtFile->text().trimmed().isEmpty()) {
            *error = QStringLiteral("请选择图书馆文件!");
            return false;
        }
        return m_start.copyFile(txtFile->text().trimmed(), error);
    }
    if (optServer->isChecked()) {
        ServerSettings server;
        server.host = txtHost->text().trimmed();
        server.port = txtPort->value();
        server.dbname = txtDatabase->text().trimmed();
        server.user = txtUser->text().trimmed();
        if (server.host.isEmpty() || server.dbname.isEmpty() || server.user.isEmpty()) {
            *error = QStringLiteral("请填写服务器、数据库和用户!");
            return false;
        }
        return m_start.useServer(server, m_prompter, error);
    }
    if (txtShared->text().trimmed().isEmpty()) {
        *error = QStringLiteral("请选择共享文件夹!");
        return false;
    }
    return m_start.useSharedFolder(txtShared->text().trimmed(), error);
}

void FrmFirstStart::cmdOK_Click()
{
    QString error;
    setEnabled(false);
    const bool done = runChoice(&error);
    setEnabled(true);
    if (!done) {
        m_prompter.notice(error, AppInfo::kAppTitle);
        return;
    }
    if (m_folders.holdsLibrary()) {
        accept();
        return;
    }
    showFolder();  // a shared folder without a library yet: make one there
}
