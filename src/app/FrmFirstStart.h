#pragma once

#include <QDialog>

#include "app/FirstStart.h"

class Clock;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class Prompter;

// "首次使用": shown by an installed program whose data folder holds no
// library. The clerk picks one way to have one (an empty library, the demo
// library, a copy of a library file, a library on a server, a folder shared
// by the computer's accounts) and presses 确定; a failure is told and the
// window stays. Accepted once the data folder holds a library; rejected by
// 退出 or closing it.
class FrmFirstStart : public QDialog {
    Q_OBJECT
public:
    FrmFirstStart(Prompter& prompter, const Clock& clock, const ProgramFolders& folders);

    QLabel* lblFolder;
    QRadioButton* optEmpty;
    QRadioButton* optDemo;
    QRadioButton* optFile;
    QLineEdit* txtFile;
    QPushButton* cmdBrowseFile;
    QRadioButton* optServer;
    QLineEdit* txtHost;
    QSpinBox* txtPort;
    QLineEdit* txtDatabase;
    QLineEdit* txtUser;
    QRadioButton* optShared;
    QLineEdit* txtShared;
    QPushButton* cmdBrowseShared;
    QPushButton* cmdOK;
    QPushButton* cmdExit;

    void cmdOK_Click();

private:
    void buildControls();
    void showFolder();
    // The way chosen, done; false with *error when it failed.
    bool runChoice(QString* error);

    Prompter& m_prompter;
    const Clock& m_clock;
    ProgramFolders m_folders;
    FirstStart m_start;
    QButtonGroup* m_choices;
};
