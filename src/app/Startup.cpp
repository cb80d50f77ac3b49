#include "app/Startup.h"

#include "app/FrmLogon.h"
#include "app/Frmmain.h"
#include "core/ui/WindowAccessibility.h"

Startup::Startup(Prompter& prompter, const Clock& clock, const QString& programDir,
                 QObject* parent)
    : QObject(parent), m_prompter(prompter), m_clock(clock), m_programDir(programDir)
{
}

// The main window goes first: its unload closes the shared connection.
Startup::~Startup()
{
    m_main.reset();
    m_signIn.reset();
}

void Startup::start()
{
    WindowAccessibility::install();
    m_signIn = std::make_unique<FrmLogon>(m_prompter, m_programDir);
    connect(m_signIn.get(), &FrmLogon::endProgram, this, [this] { emit finished(0); });
    connect(m_signIn.get(), &FrmLogon::signedIn, this, &Startup::openMainWindow);
    m_signIn->Form_Load();
    m_signIn->show();
}

void Startup::openMainWindow()
{
    if (m_main)
        return;
    m_main = std::make_unique<Frmmain>(m_prompter, m_clock, m_programDir);
    if (!m_main->Form_Load()) {
        emit finished(1);
        return;
    }
    m_main->show();
}
