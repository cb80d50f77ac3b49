#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "core/logic/ProgramFolders.h"

class QApplication;
class Clock;
class FrmFirstStart;
class FrmLogon;
class Frmmain;
class Prompter;

// The program's start: the sign-in window first; once the clerk has signed
// in, the main window (the sign-in window stays, hidden). Reports through
// finished() when the program is to end and with which code.
class Startup : public QObject {
    Q_OBJECT
public:
    Startup(Prompter& prompter, const Clock& clock, const ProgramFolders& folders,
            QObject* parent = nullptr);
    ~Startup() override;

    // The program's settings of the toolkit: its name, and calendars and the
    // toolkit's own texts in Chinese whatever the machine's locale.
    static void setUpApplication(QApplication& app);

    // Loads and shows the sign-in window; first, for an installed program
    // whose data folder holds no library yet, the first-start window.
    void start();

    FrmFirstStart* firstStartWindow() const { return m_firstStart.get(); }
    FrmLogon* signInWindow() const { return m_signIn.get(); }
    Frmmain* mainWindow() const { return m_main.get(); }

signals:
    // The program is to end now with this exit code (0, or 1 when the main
    // window could not load).
    void finished(int exitCode);

private:
    void openSignIn();
    void openMainWindow();
    // Tells the error and ends the program with code 1.
    void fail(const QString& error);

    Prompter& m_prompter;
    const Clock& m_clock;
    ProgramFolders m_folders;
    std::unique_ptr<FrmFirstStart> m_firstStart;
    std::unique_ptr<FrmLogon> m_signIn;
    std::unique_ptr<Frmmain> m_main;
};
