#pragma once

#include <QDialog>
#include <QString>

#include "core/logic/ProgramFolders.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class Prompter;
class SkinControl;
class clsToolTip;

// The sign-in window, the program's first window. It checks the typed
// account against the one clerk account (dat/userdata.dat, or desk / 739
// when the file is missing), allows three wrong passwords, and lets the
// clerk change the account. On success it hides itself (it stays, hidden)
// and reports signedIn(); cancelling, closing it or a fourth wrong password
// report endProgram().
class FrmLogon : public QDialog {
    Q_OBJECT
public:
    // Client area in twips (15 twips to the pixel).
    static constexpr int kClientWidthTwips = 4680;
    static constexpr int kClientHeightTwips = 3090;

    FrmLogon(Prompter& prompter, const ProgramFolders& folders, QWidget* parent = nullptr);
    ~FrmLogon() override;

    // The load steps: the saved style, the account, the balloon on cmdSignIn.
    void Form_Load();

    // The account in force and the wrong-password count, as the window holds them.
    const QString& accountName() const { return m_accountName; }
    const QString& accountPassword() const { return m_accountPassword; }
    qint16 attemptCount() const { return m_attemptCount; }
    QString accountFile() const;
    clsToolTip* balloon() const { return m_balloon; }

    QLabel* lblPrompt = nullptr;
    QLabel* SkinLblUserName = nullptr;
    QLineEdit* txtUserName = nullptr;
    QLabel* SkinLblPassword = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdSignIn = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* meuAddUser = nullptr;
    SkinControl* Skin1 = nullptr;

signals:
    // The account was right: the main window takes over.
    void signedIn();
    // The program is to end now.
    void endProgram();

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdSignIn_Click();
    void meuAddUser_Click();
    void txtUserName_Change();
    void txtPassword_Change();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc: the cancel button.
    void reject() override;

private:
    void buildControls();
    void applySavedStyle();
    void readAccount();
    void notice(const QString& text);
    QString ask(const QString& prompt, const QString& title, const QString& defaultText);
    QString askNewPassword();
    void Form_Unload();

    Prompter& m_prompter;
    ProgramFolders m_folders;
    QString m_accountName;
    QString m_accountPassword;
    qint16 m_attemptCount = 0;
    clsToolTip* m_balloon = nullptr;
};
