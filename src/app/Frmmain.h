#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

#include "core/logic/ProgramFolders.h"

#include "readers/ui/FrmReader.h"

class QAction;
class QMenu;
class QTabWidget;
class Clock;
class FrmAbout;
class FrmBasicSet;
class FrmReader;
class FrmImport;
class FrmOverdue;
class FrmStatistics;
class FrmBackup;
class DailySnapshot;
class FrmPrintSettings;
class FrmAddnew;
class FrmSetBook;
class FrmShelfmark;
class FrmUpdateBook;
class FrmBookQuery;
class FrmHelp;
class FrmLendQuery;
class HelpViewer;
class LendTab;
class Prompter;
class RenewTab;
class ReturnTab;
class SkinControl;
class WindowStyler;
struct BookListRow;

// The main window: the frame of the circulation desk (tab control SSTab1)
// and the menu bar from which every other window is opened. It owns the
// shared database connection from its load to its unload.
class Frmmain : public QMainWindow {
    Q_OBJECT
public:
    // Outer size in twips (15 twips to the pixel) and the client area under
    // the menu bar.
    static constexpr int kClientWidthTwips = 10095;
    static constexpr int kClientHeightTwips = 6510;

    Frmmain(Prompter& prompter, const Clock& clock, const ProgramFolders& folders,
            QWidget* parent = nullptr);
    ~Frmmain() override;

    // The load steps. False when the database could not be opened: the clerk
    // has been told which file and why, and the program should end.
    bool Form_Load();

    Prompter& prompter() const { return m_prompter; }
    const Clock& clock() const { return m_clock; }

    // The desk (tab control) and the menu bar, named as the desk and the
    // other windows know them.
    QTabWidget* SSTab1 = nullptr;

    QMenu* meuBookM = nullptr;
    QAction* meuAddNewBook = nullptr;
    QAction* mnuShelfmark = nullptr;
    QAction* barExit = nullptr;
    QAction* meuExit = nullptr;
    QMenu* mnuSysQuery = nullptr;
    QAction* mnuBookQuery = nullptr;
    QAction* barLendQuery = nullptr;
    QAction* mnuLendQuery = nullptr;
    QAction* barReader = nullptr;
    QAction* meuReaderSort = nullptr;
    QMenu* mnuSetSys = nullptr;
    QAction* mnuSetBasic = nullptr;
    QMenu* mnuReports = nullptr;
    QAction* mnuOverdue = nullptr;
    QAction* barImport = nullptr;
    QAction* mnuImportBooks = nullptr;
    QAction* mnuImportReaders = nullptr;
    QAction* mnuStatistics = nullptr;
    QAction* barBackup = nullptr;
    QAction* mnuBackup = nullptr;
    QAction* barPrintSettings = nullptr;
    QAction* mnuPrintSettings = nullptr;
    QAction* barBaseSet = nullptr;
    QAction* mnuSetBook = nullptr;
    QAction* meuReaderSet = nullptr;
    QAction* barStyle = nullptr;
    QMenu* meuFormStyle = nullptr;
    QAction* meuWinStyle = nullptr;
    QAction* barWindows = nullptr;
    QAction* meuTypeStyle = nullptr;
    QAction* meuLight = nullptr;
    QMenu* meuHelp = nullptr;
    QAction* meuUseHelper = nullptr;
    QAction* meuHowToUse = nullptr;
    QAction* barHelp = nullptr;
    QAction* meuAbout = nullptr;

    // The skin control every window gets its look from, and the style step
    // the windows opened from here run first at load.
    SkinControl* Skin1 = nullptr;
    WindowStyler& windowStyler() const { return *m_styler; }
    void ApplyWindowStyle(QWidget* window) const;

public slots:
    // Reloads a reader's outstanding loans on the lend tab (false) or the
    // renew tab (true).
    void InitDataGrid(bool blnRenew);

    void LoadSetting();
    void meuAddNewBook_Click();
    void mnuShelfmark_Click();
    void meuExit_Click();
    void mnuBookQuery_Click();
    void mnuLendQuery_Click();
    void meuUseHelper_Click();
    void meuReaderSort_Click();
    void meuReaderSet_Click();
    void mnuSetBasic_Click();
    void mnuOverdue_Click();
    void mnuImportBooks_Click();
    void mnuImportReaders_Click();
    void mnuStatistics_Click();
    void mnuPrintSettings_Click();
    void mnuBackup_Click();
    // At the clerk's sign-in: the day's first takes the day's snapshot of a
    // file library, while the desk works on.
    void takeDailySnapshot();
    // The library was replaced by a restore: the other windows close, the
    // shared connection opens again and the desk reads its lists anew.
    void reloadLibrary();
    void printLoanSlip(const QString& readerNumber, const QString& bookNumber, const QDate& lendDate);
    // Shows the reader window, in this mode when it opens anew (an open one
    // is only raised and keeps its mode).
    void showReaderWindow(FrmReader::Mode mode);
    void mnuSetBook_Click();
    void meuWinStyle_Click();
    void meuTypeStyle_Click();
    void meuLight_Click();
    void meuHowToUse_Click();
    void meuAbout_Click();
    // The book list's "修改": the edit window for that row.
    void showBookEditor(const BookListRow& row);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildDesk();
    void fixSize();
    void Form_Unload();
    void applySavedSkin();
    void setDeskToday();
    void showTipsAtStart();
    void chooseSkin(int style, QAction* mark, const QString& missingMessage);
    void undoMenuToggle(QAction* item);
    void refreshBookList();

    Prompter& m_prompter;
    const Clock& m_clock;
    ProgramFolders m_folders;
    QPointer<HelpViewer> m_helpViewer;
    std::unique_ptr<WindowStyler> m_styler;
    QPointer<FrmHelp> m_frmHelp;
    QPointer<FrmAbout> m_frmAbout;
    QPointer<FrmAddnew> m_frmAddnew;
    QPointer<FrmShelfmark> m_frmShelfmark;
    QPointer<FrmUpdateBook> m_frmUpdateBook;
    QPointer<FrmSetBook> m_frmSetBook;
    QPointer<FrmBookQuery> m_frmBookQuery;
    QPointer<FrmLendQuery> m_frmLendQuery;
    QPointer<FrmReader> m_frmReader;
    QPointer<FrmBasicSet> m_frmBasicSet;
    QPointer<FrmOverdue> m_frmOverdue;
    QPointer<FrmImport> m_frmImportBooks;
    QPointer<FrmImport> m_frmImportReaders;
    QPointer<FrmStatistics> m_frmStatistics;
    QPointer<FrmPrintSettings> m_frmPrintSettings;
    QPointer<FrmBackup> m_frmBackup;
    DailySnapshot* m_dailySnapshot = nullptr;
    // The desk's three tabs, placed into SSTab1's pages.
    LendTab* m_lendTab = nullptr;
    RenewTab* m_renewTab = nullptr;
    ReturnTab* m_returnTab = nullptr;
};
