#include "app/Frmmain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "backup/logic/DailySnapshot.h"
#include "backup/ui/FrmBackup.h"
#include "catalogue/ui/FrmAddnew.h"
#include "catalogue/ui/FrmSetBook.h"
#include "catalogue/ui/FrmShelfmark.h"
#include "catalogue/ui/FrmUpdateBook.h"
#include "circulation/ui/LendTab.h"
#include "circulation/ui/RenewTab.h"
#include "circulation/ui/ReturnTab.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Clock.h"
#include "core/logic/Database.h"
#include "core/logic/OffThreadWork.h"
#include "core/logic/ProfileFile.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/logic/TextFile.h"
#include "core/ui/HelpViewer.h"
#include "core/ui/SingleWindow.h"
#include "look/logic/StyleSetting.h"
#include "look/logic/TipFile.h"
#include "look/ui/FrmAbout.h"
#include "look/ui/FrmHelp.h"
#include "core/ui/SkinControl.h"
#include "core/ui/WindowStyler.h"
#include "readers/ui/FrmBasicSet.h"
#include "readers/ui/FrmReader.h"
#include "reports/logic/LoanSlip.h"
#include "import/ui/FrmImport.h"
#include "reports/logic/PrintSettings.h"
#include "reports/ui/FrmOverdue.h"
#include "statistics/ui/FrmStatistics.h"
#include "reports/ui/FrmPrintSettings.h"
#include "reports/ui/LoanSlipPrinter.h"
#include "queries/ui/FrmBookQuery.h"
#include "queries/ui/FrmLendQuery.h"

Frmmain::Frmmain(Prompter& prompter, const Clock& clock, const ProgramFolders& folders, QWidget* parent)
    : QMainWindow(parent), m_prompter(prompter), m_clock(clock), m_folders(folders)
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(AppInfo::kAppTitle);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildMenus();
    Skin1 = new SkinControl(this);
    Skin1->setObjectName(QStringLiteral("Skin1"));
    m_styler = std::make_unique<WindowStyler>(*Skin1, meuWinStyle);
    buildDesk();
    fixSize();
}

Frmmain::~Frmmain() = default;

void Frmmain::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    auto named = [](QAction* action, const char* name) {
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    meuBookM = bar->addMenu(QStringLiteral("书库管理"));
    meuBookM->setObjectName(QStringLiteral("meuBookM"));
    meuAddNewBook = named(meuBookM->addAction(QStringLiteral("添加新书")), "meuAddNewBook");
    mnuShelfmark = named(meuBookM->addAction(QStringLiteral("书库管理")), "mnuShelfmark");
    barExit = named(meuBookM->addSeparator(), "barExit");
    meuExit = named(meuBookM->addAction(QStringLiteral("退出系统")), "meuExit");

    mnuSysQuery = bar->addMenu(QStringLiteral("系统查询"));
    mnuSysQuery->setObjectName(QStringLiteral("mnuSysQuery"));
    mnuBookQuery = named(mnuSysQuery->addAction(QStringLiteral("书库查询")), "mnuBookQuery");
    barLendQuery = named(mnuSysQuery->addSeparator(), "barLendQuery");
    mnuLendQuery = named(mnuSysQuery->addAction(QStringLiteral("借阅查询")), "mnuLendQuery");
    barReader = named(mnuSysQuery->addSeparator(), "barReader");
    meuReaderSort = named(mnuSysQuery->addAction(QStringLiteral("读者查询")), "meuReaderSort");

    mnuSetSys = bar->addMenu(QStringLiteral("系统设置"));
    mnuSetSys->setObjectName(QStringLiteral("mnuSetSys"));
    mnuSetBasic = named(mnuSetSys->addAction(QStringLiteral("基本设置")), "mnuSetBasic");
    barBaseSet = named(mnuSetSys->addSeparator(), "barBaseSet");
    mnuSetBook = named(mnuSetSys->addAction(QStringLiteral("图书类别")), "mnuSetBook");
    meuReaderSet = named(mnuSetSys->addAction(QStringLiteral("读者管理")), "meuReaderSet");
    barStyle = named(mnuSetSys->addSeparator(), "barStyle");
    meuFormStyle = mnuSetSys->addMenu(QStringLiteral("界面风格"));
    meuFormStyle->setObjectName(QStringLiteral("meuFormStyle"));
    meuFormStyle->menuAction()->setObjectName(QStringLiteral("meuFormStyleAction"));
    meuWinStyle = named(meuFormStyle->addAction(QStringLiteral("Windows默认")), "meuWinStyle");
    barWindows = named(meuFormStyle->addSeparator(), "barWindows");
    meuTypeStyle = named(meuFormStyle->addAction(QStringLiteral("经典传奇")), "meuTypeStyle");
    meuLight = named(meuFormStyle->addAction(QStringLiteral("轻松一刻")), "meuLight");
    for (QAction* style : {meuWinStyle, meuTypeStyle, meuLight})
        style->setCheckable(true);
    meuWinStyle->setChecked(true);

    mnuReports = bar->addMenu(QStringLiteral("数据与报表"));
    mnuReports->setObjectName(QStringLiteral("mnuReports"));
    mnuOverdue = named(mnuReports->addAction(QStringLiteral("超期催还")), "mnuOverdue");
    mnuStatistics = named(mnuReports->addAction(QStringLiteral("借阅统计")), "mnuStatistics");
    barImport = named(mnuReports->addSeparator(), "barImport");
    mnuImportBooks = named(mnuReports->addAction(QStringLiteral("导入图书…")), "mnuImportBooks");
    mnuImportReaders = named(mnuReports->addAction(QStringLiteral("导入读者…")), "mnuImportReaders");
    barBackup = named(mnuReports->addSeparator(), "barBackup");
    mnuBackup = named(mnuReports->addAction(QStringLiteral("数据备份与恢复")), "mnuBackup");
    barPrintSettings = named(mnuReports->addSeparator(), "barPrintSettings");
    mnuPrintSettings = named(mnuReports->addAction(QStringLiteral("打印设置")), "mnuPrintSettings");

    meuHelp = bar->addMenu(QStringLiteral("帮助(&H)"));
    meuHelp->setObjectName(QStringLiteral("meuHelp"));
    meuUseHelper = named(meuHelp->addAction(QStringLiteral("使用帮助")), "meuUseHelper");
    meuHowToUse = named(meuHelp->addAction(QStringLiteral("每日小技巧")), "meuHowToUse");
    barHelp = named(meuHelp->addSeparator(), "barHelp");
    meuAbout = named(meuHelp->addAction(QStringLiteral("关于...")), "meuAbout");

    connect(meuAddNewBook, &QAction::triggered, this, &Frmmain::meuAddNewBook_Click);
    connect(mnuShelfmark, &QAction::triggered, this, &Frmmain::mnuShelfmark_Click);
    connect(meuExit, &QAction::triggered, this, &Frmmain::meuExit_Click);
    connect(mnuBookQuery, &QAction::triggered, this, &Frmmain::mnuBookQuery_Click);
    connect(mnuLendQuery, &QAction::triggered, this, &Frmmain::mnuLendQuery_Click);
    connect(meuUseHelper, &QAction::triggered, this, &Frmmain::meuUseHelper_Click);
    connect(meuReaderSort, &QAction::triggered, this, &Frmmain::meuReaderSort_Click);
    connect(meuReaderSet, &QAction::triggered, this, &Frmmain::meuReaderSet_Click);
    connect(mnuSetBasic, &QAction::triggered, this, &Frmmain::mnuSetBasic_Click);
    connect(mnuSetBook, &QAction::triggered, this, &Frmmain::mnuSetBook_Click);
    connect(meuWinStyle, &QAction::triggered, this, &Frmmain::meuWinStyle_Click);
    connect(meuTypeStyle, &QAction::triggered, this, &Frmmain::meuTypeStyle_Click);
    connect(meuLight, &QAction::triggered, this, &Frmmain::meuLight_Click);
    connect(meuHowToUse, &QAction::triggered, this, &Frmmain::meuHowToUse_Click);
    connect(meuAbout, &QAction::triggered, this, &Frmmain::meuAbout_Click);
    connect(mnuOverdue, &QAction::triggered, this, &Frmmain::mnuOverdue_Click);
    connect(mnuImportBooks, &QAction::triggered, this, &Frmmain::mnuImportBooks_Click);
    connect(mnuImportReaders, &QAction::triggered, this, &Frmmain::mnuImportReaders_Click);
    connect(mnuStatistics, &QAction::triggered, this, &Frmmain::mnuStatistics_Click);
    connect(mnuPrintSettings, &QAction::triggered, this, &Frmmain::mnuPrintSettings_Click);
    connect(mnuBackup, &QAction::triggered, this, &Frmmain::mnuBackup_Click);
}

void Frmmain::buildDesk()
{
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    // The desk's three tabs; their contents are placed by the desk.
    for (const QString& caption :
         {QStringLiteral("正常借书"), QStringLiteral("续借图书"), QStringLiteral("还  书")}) {
        auto* page = new QWidget(SSTab1);
        SSTab1->addTab(page, caption);
    }
    setCentralWidget(SSTab1);

    m_lendTab = new LendTab(m_prompter);
    m_renewTab = new RenewTab(m_prompter);
    m_returnTab = new ReturnTab(m_prompter, m_clock);
    const QList<QWidget*> tabs = {m_lendTab, m_renewTab, m_returnTab};
    for (int i = 0; i < tabs.size(); ++i) {
        auto* pageLayout = new QVBoxLayout(SSTab1->widget(i));
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(tabs[i]);
    }
    // The return desk reloads the lend desk's list and frees its lend button.
    connect(m_returnTab, &ReturnTab::readerFound, this, [this] { InitDataGrid(false); });
    connect(m_returnTab, &ReturnTab::loanFound, m_lendTab->cmdLendBook,
            [this] { m_lendTab->cmdLendBook->setEnabled(true); });
    // The lend desk's 添加新读者 has set the add-reader mode already.
    connect(m_lendTab, &LendTab::bookLent, this, &Frmmain::printLoanSlip);
    connect(m_lendTab, &LendTab::readerWindowRequested, this,
            [this] { showReaderWindow(FrmReader::Mode::AddFromDesk); });
    m_lendTab->txtReaderID->setFocus();  // the desk opens ready for a reader number
}

void Frmmain::fixSize()
{
    // The client area keeps its design size; the menu bar sits above it.
    const int width = AppInfo::pixelsFromTwips(kClientWidthTwips);
    const int height = AppInfo::pixelsFromTwips(kClientHeightTwips) + menuBar()->sizeHint().height();
    setFixedSize(width, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width / 2, height / 2));
    }
}

bool Frmmain::Form_Load()
{
    LoadSetting();
    applySavedSkin();
    setDeskToday();
    QString error;
    if (!LibraryLocation::open(m_folders.dataDir(), &error)) {
        m_prompter.notice(error, AppInfo::kAppTitle);
        return false;
    }
    setWindowTitle(windowTitle() + QStringLiteral(" Ver") + VersionText());
    showTipsAtStart();
    return true;
}

// Load step: the skin of the saved style, when its file is beside the program.
// A missing file is skipped without a message; the mark stays.
void Frmmain::applySavedSkin()
{
    for (const auto& [mark, style] : {std::pair{meuTypeStyle, StyleSetting::kTypeStyle},
                                      std::pair{meuLight, StyleSetting::kLight}}) {
        const QString file = StyleSetting::skinFile(m_folders.resourceDir(), style);
        if (mark->isChecked() && QFileInfo(file).isFile()) {
            Skin1->load(file);
            Skin1->apply(this);
        }
    }
}

// Load step: both desk date pickers start at today.
void Frmmain::setDeskToday()
{
    m_lendTab->dtpLendDate->setDate(m_clock.today());
    m_renewTab->dtpLendDateChange->setDate(m_clock.today());
}

// Load step: the quick tips, when the tip file asks for them at start.
void Frmmain::showTipsAtStart()
{
    if (TipFile(m_folders.dataDir(), m_prompter).showsAtStart())
        meuHowToUse_Click();
}

void Frmmain::closeEvent(QCloseEvent* event)
{
    if (OffThreadWork::anyRunning()) {  // a window waits for it over the store
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Frmmain::Form_Unload()
{
    Database::close();
    QCoreApplication::exit(0);
}

void Frmmain::InitDataGrid(bool blnRenew)
{
    if (blnRenew)
        m_renewTab->InitDataGrid();
    else
        m_lendTab->InitDataGrid();
}

// The style marks from the saved style; a value naming no style leaves them.
void Frmmain::LoadSetting()
{
    const int style = StyleSetting::read(m_folders.dataDir());
    if (style != StyleSetting::kSystem && style != StyleSetting::kTypeStyle
        && style != StyleSetting::kLight)
        return;
    meuWinStyle->setChecked(style == StyleSetting::kSystem);
    meuTypeStyle->setChecked(style == StyleSetting::kTypeStyle);
    meuLight->setChecked(style == StyleSetting::kLight);
}

void Frmmain::ApplyWindowStyle(QWidget* window) const
{
    m_styler->ApplyWindowStyle(window);
}

void Frmmain::meuExit_Click()
{
    QCoreApplication::exit(0);
}

// The query windows have no parent, so the main window's skin never reaches
// them; each takes its look from the style step at load.
void Frmmain::mnuBookQuery_Click()
{
    showSingle(m_frmBookQuery, this, [this] {
        auto* window = new FrmBookQuery(m_prompter, m_clock, *m_styler);
        window->Form_Load();
        return window;
    });
}

void Frmmain::mnuLendQuery_Click()
{
    showSingle(m_frmLendQuery, this, [this] {
        auto* window = new FrmLendQuery(m_prompter, *m_styler);
        window->Form_Load();
        return window;
    });
}

void Frmmain::meuUseHelper_Click()
{
    const QString file = m_folders.resourcePath(AppInfo::kHelpFile);
    const auto lines = QFileInfo(file).isFile() ? TextFile::readLines(file) : std::nullopt;
    if (!lines) {
        m_prompter.notice(QStringLiteral("帮助文件 readme.txt 未找到!"), AppInfo::kAppTitle);
        return;
    }
    showSingle(m_helpViewer, this, [&] { return new HelpViewer(lines->join(QLatin1Char('\n'))); });
}

void Frmmain::meuReaderSort_Click()
{
    showReaderWindow(FrmReader::Mode::LookUp);
}

void Frmmain::meuReaderSet_Click()
{
    showReaderWindow(FrmReader::Mode::Manage);
}

// The reader window has no parent, so the main window's skin never reaches
// it; a reader it finds reloads the lend desk's list.
void Frmmain::showReaderWindow(FrmReader::Mode mode)
{
    showSingle(m_frmReader, this, [this, mode] {
        auto* window = new FrmReader(m_prompter, *m_styler, mode, m_lendTab->txtReaderID->text());
        connect(window, &FrmReader::readerFound, this, [this] { InitDataGrid(false); });
        window->Form_Load();
        return window;
    });
}

void Frmmain::mnuOverdue_Click()
{
    showSingle(m_frmOverdue, this, [this] {
        auto* window = new FrmOverdue(m_prompter, m_clock, *m_styler);
        window->Form_Load();
        return window;
    });
}

void Frmmain::mnuImportBooks_Click()
{
    showSingle(m_frmImportBooks, this, [this] {
        auto* window = new FrmImport(ImportKind::Kind::Books, m_prompter, m_clock, *m_styler);
        connect(window, &FrmImport::imported, this, &Frmmain::refreshBookList);
        window->Form_Load();
        return window;
    });
}

void Frmmain::mnuBackup_Click()
{
    showSingle(m_frmBackup, this, [this] {
        auto* window = new FrmBackup(m_prompter, m_clock, *m_styler, m_folders.dataDir());
        connect(window, &FrmBackup::libraryReplaced, this, &Frmmain::reloadLibrary);
        window->Form_Load();
        return window;
    });
}

void Frmmain::mnuImportReaders_Click()
{
    showSingle(m_frmImportReaders, this, [this] {
        auto* window = new FrmImport(ImportKind::Kind::Readers, m_prompter, m_clock, *m_styler);
        window->Form_Load();
        return window;
    });
}

void Frmmain::mnuStatistics_Click()
{
    showSingle(m_frmStatistics, this, [this] {
        auto* window = new FrmStatistics(m_prompter, m_clock, *m_styler);
        window->Form_Load();
        return window;
    });
}

void Frmmain::takeDailySnapshot()
{
    if (!m_dailySnapshot)
        m_dailySnapshot = new DailySnapshot(m_folders.dataDir(), m_clock, m_prompter, this);
    m_dailySnapshot->atSignIn();
}

void Frmmain::reloadLibrary()
{
    for (QWidget* window : std::initializer_list<QWidget*>{
             m_helpViewer, m_frmHelp, m_frmAbout, m_frmAddnew, m_frmShelfmark, m_frmUpdateBook, m_frmSetBook,
             m_frmBookQuery, m_frmLendQuery, m_frmReader, m_frmBasicSet, m_frmOverdue, m_frmStatistics,
             m_frmImportBooks, m_frmImportReaders, m_frmPrintSettings})
        if (window)
            window->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QString error;
    if (!LibraryLocation::open(m_folders.dataDir(), &error)) {
        m_prompter.notice(error, AppInfo::kAppTitle);
        return;
    }
    InitDataGrid(false);
    InitDataGrid(true);
}

void Frmmain::mnuPrintSettings_Click()
{
    showSingle(m_frmPrintSettings, this, [this] {
        auto* window = new FrmPrintSettings(m_prompter, *m_styler, m_folders.dataDir());
        window->Form_Load();
        return window;
    });
}

// With 借书时打印凭条 ticked, a slip after each loan; one that cannot be
// printed is told, and the loan stands.
void Frmmain::printLoanSlip(const QString& readerNumber, const QString& bookNumber, const QDate& lendDate)
{
    const PrintSettings settings = PrintSettings::read(m_folders.dataDir());
    if (!settings.slipOnLend)
        return;
    QString error;
    try {
        if (LoanSlipPrinter::print(LoanSlip::read(readerNumber, bookNumber, lendDate), settings, m_folders.dataDir(), &error))
            return;
    } catch (const StoreError& e) {
        error = e.message();
    }
    m_prompter.notice(QStringLiteral("借书凭条没有打印出来: ") + error + QStringLiteral("\n这次借书已经完成。"));
}

void Frmmain::mnuSetBasic_Click()
{
    showSingle(m_frmBasicSet, this, [this] {
        auto* window = new FrmBasicSet(m_prompter, *m_styler);
        window->Form_Load();
        return window;
    });
}

// A click from the menu has already toggled the item's mark; the marks are
// the style handlers' to set, so that toggle is undone first.
void Frmmain::undoMenuToggle(QAction* item)
{
    if (sender() == item)
        item->setChecked(!item->isChecked());
}

void Frmmain::meuWinStyle_Click()
{
    undoMenuToggle(meuWinStyle);
    meuTypeStyle->setChecked(false);
    meuLight->setChecked(false);
    Skin1->remove();
    meuWinStyle->setChecked(true);
    StyleSetting::write(m_folders.dataDir(), StyleSetting::kSystem);
}

void Frmmain::meuTypeStyle_Click()
{
    undoMenuToggle(meuTypeStyle);
    chooseSkin(StyleSetting::kTypeStyle, meuTypeStyle,
               QStringLiteral("文件 .\\style\\type-style.skn 不存在!"));
}

void Frmmain::meuLight_Click()
{
    undoMenuToggle(meuLight);
    chooseSkin(StyleSetting::kLight, meuLight,
               QStringLiteral("文件 \\style\\light-hearted.skn 不存在!"));
}

// A skin chosen from the menu: without its file, the message and nothing
// else; otherwise the main window takes it and the choice is saved.
void Frmmain::chooseSkin(int style, QAction* mark, const QString& missingMessage)
{
    const QString file = StyleSetting::skinFile(m_folders.resourceDir(), style);
    if (!QFileInfo(file).isFile()) {
        m_prompter.notice(missingMessage, AppInfo::kAppTitle);
        return;
    }
    for (QAction* other : {meuWinStyle, meuTypeStyle, meuLight}) {
        if (other != mark)
            other->setChecked(false);
    }
    Skin1->load(file);
    Skin1->apply(this);
    mark->setChecked(true);
    StyleSetting::write(m_folders.dataDir(), static_cast<StyleSetting::Style>(style));
}

void Frmmain::meuHowToUse_Click()
{
    showSingle(m_frmHelp, this, [this] {
        auto* window = new FrmHelp(m_prompter, *m_styler, m_folders.dataDir());
        window->Form_Load();
        return window;
    });
}

void Frmmain::meuAbout_Click()
{
    showSingle(m_frmAbout, this, [this] {
        auto* window = new FrmAbout(*m_styler, this);
        window->Form_Load();
        return window;
    });
}

// The catalogue windows. The new-book window is the same one whether the menu
// or the book list opens it; it and the edit window ask the book list, when
// open, to show the catalogue again.
void Frmmain::meuAddNewBook_Click()
{
    showSingle(m_frmAddnew, this, [this] {
        auto* window = new FrmAddnew(m_prompter, m_clock, *m_styler);
        connect(window, &FrmAddnew::bookListRefreshRequested, this, &Frmmain::refreshBookList);
        window->Form_Load();
        return window;
    });
}

void Frmmain::mnuShelfmark_Click()
{
    showSingle(m_frmShelfmark, this, [this] {
        auto* window = new FrmShelfmark(m_prompter, *m_styler);
        connect(window, &FrmShelfmark::addBookRequested, this, &Frmmain::meuAddNewBook_Click);
        connect(window, &FrmShelfmark::editBookRequested, this, &Frmmain::showBookEditor);
        window->Form_Load();
        return window;
    });
}

void Frmmain::showBookEditor(const BookListRow& row)
{
    if (m_frmUpdateBook)
        m_frmUpdateBook->setSuggestEnabled(0);  // it keeps the book it took over
    showSingle(m_frmUpdateBook, this, [&] {
        auto* window = new FrmUpdateBook(m_prompter, m_clock, *m_styler, row);
        connect(window, &FrmUpdateBook::bookListRefreshRequested, this, &Frmmain::refreshBookList);
        window->setSuggestEnabled(0);
        window->Form_Load();
        return window;
    });
}

void Frmmain::refreshBookList()
{
    if (m_frmShelfmark)
        m_frmShelfmark->refreshList();
}

void Frmmain::mnuSetBook_Click()
{
    showSingle(m_frmSetBook, this, [this] {
        auto* window = new FrmSetBook(m_prompter, *m_styler);
        window->Form_Load();
        return window;
    });
}
