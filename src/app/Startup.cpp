#include "app/Startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/FrmFirstStart.h"
#include "app/FrmLogon.h"
#include "app/Frmmain.h"
#include "core/logic/AppInfo.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/Prompter.h"
#include "core/ui/WindowAccessibility.h"

Startup::Startup(Prompter& prompter, const Clock& clock, const ProgramFolders& folders,
                 QObject* parent)
    : QObject(parent), m_prompter(prompter), m_clock(clock), m_folders(folders)
{
}

// The main window goes first: its unload closes the shared connection.
Startup::~Startup()
{
    m_main.reset();
    m_signIn.reset();
    m_firstStart.reset();
}

void Startup::setUpApplication(QApplication& app)
{
    app.setApplicationName(AppInfo::kAppTitle);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qtTranslator);
}

void Startup::start()
{
    WindowAccessibility::install();
    QString error;
    if (!m_folders.prepare(&error)) {
        fail(error);
        return;
    }
    // An installed program whose data folder holds no library yet asks how
    // to have one first; a program directory goes on as it always has.
    if (!m_folders.isProgramDirectory() && !m_folders.holdsLibrary()) {
        m_firstStart = std::make_unique<FrmFirstStart>(m_prompter, m_clock, m_folders);
        connect(m_firstStart.get(), &QDialog::accepted, this, [this] {
            m_firstStart->hide();
            openSignIn();
        });
        connect(m_firstStart.get(), &QDialog::rejected, this, [this] { emit finished(0); });
        m_firstStart->show();
        return;
    }
    openSignIn();
}

void Startup::fail(const QString& error)
{
    m_prompter.notice(error, AppInfo::kAppTitle);
    QMetaObject::invokeMethod(this, [this] { emit finished(1); }, Qt::QueuedConnection);
}

void Startup::openSignIn()
{
    // A library on a server is reached first (its password asked for here,
    // when libpq's own file has none), before the clerk signs in.
    QString error;
    if (!LibraryLocation::prepare(m_folders.dataDir(), m_prompter, &error)) {
        fail(error);
        return;
    }
    m_signIn = std::make_unique<FrmLogon>(m_prompter, m_folders);
    connect(m_signIn.get(), &FrmLogon::endProgram, this, [this] { emit finished(0); });
    connect(m_signIn.get(), &FrmLogon::signedIn, this, &Startup::openMainWindow);
    m_signIn->Form_Load();
    m_signIn->show();
}

void Startup::openMainWindow()
{
    if (m_main)
        return;
    m_main = std::make_unique<Frmmain>(m_prompter, m_clock, m_folders);
    if (!m_main->Form_Load()) {
        emit finished(1);
        return;
    }
    m_main->show();
    m_main->takeDailySnapshot();
}
