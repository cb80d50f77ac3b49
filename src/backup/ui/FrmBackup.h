#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "backup/logic/Backups.h"

class Clock;
class Prompter;
class QLabel;
class QPushButton;
class QSpinBox;
class QStandardItemModel;
class QTableView;
class WindowStyler;

// 数据备份与恢复: the snapshots of the library with their day and what each
// holds; a snapshot now; a copy saved to a folder the clerk picks; and a
// restore from a snapshot or a file, which shows what the library holds
// beside what the chosen copy holds, keeps a snapshot of the library as it
// is and then replaces it whole. For a library on a server it says how the
// server is backed up instead.
class FrmBackup : public QWidget {
    Q_OBJECT
public:
    // Asks the clerk for a folder to save into, or a file to restore from;
    // "" when cancelled.
    using Pick = std::function<QString(QWidget* parent)>;

    FrmBackup(Prompter& prompter, const Clock& clock, const WindowStyler& styler, const QString& dataDir,
              QWidget* parent = nullptr);

    void Form_Load();
    // Tests pick without a dialog.
    void setPickFolder(Pick pick) { m_pickFolder = std::move(pick); }
    void setPickFile(Pick pick) { m_pickFile = std::move(pick); }

    QLabel* lblCurrent = nullptr;
    QLabel* lblServer = nullptr;
    QTableView* snapshotGrid = nullptr;
    QLabel* lblKeepDays = nullptr;
    QSpinBox* spnKeepDays = nullptr;
    QLabel* lblElsewhere = nullptr;
    QPushButton* cmdBackupNow = nullptr;
    QPushButton* cmdSaveElsewhere = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdRestoreFile = nullptr;
    QPushButton* cmdClose = nullptr;

signals:
    // The library was replaced: the windows open on it read it again.
    void libraryReplaced();

public slots:
    void cmdBackupNow_Click();
    void cmdSaveElsewhere_Click();
    void cmdRestore_Click();
    void cmdRestoreFile_Click();
    void cmdClose_Click();

private:
    void buildControls();
    void reload();
    void showServer(const QString& notice);
    void restoreFrom(const QString& file);
    // Runs `work` off the windows' thread; false (the clerk told) when it could not start.
    bool offThread(const QString& action, const std::function<void()>& work);
    QDateTime now() const;

    Prompter& m_prompter;
    const Clock& m_clock;
    const WindowStyler& m_styler;
    QString m_dataDir;
    QStandardItemModel* m_rows = nullptr;
    QStringList m_paths;  // the snapshots' files, in the grid's order
    Pick m_pickFolder;
    Pick m_pickFile;
};
