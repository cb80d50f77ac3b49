#include "backup/ui/FrmBackup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "backup/logic/SnapshotFolder.h"
#include "core/logic/Clock.h"
#include "core/logic/OffThreadWork.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"

namespace {

QString pickFolder(QWidget* parent)
{
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("把备份另存到"));
}

QString pickFile(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("选择用来恢复的备份文件"), QString(),
                                        QStringLiteral("图书馆文件 (*.mdb);;所有文件 (*)"));
}

QString number(qint64 value)
{
    return QString::number(value);
}

}  // namespace

FrmBackup::FrmBackup(Prompter& prompter, const Clock& clock, const WindowStyler& styler, const QString& dataDir,
                     QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_clock(clock), m_styler(styler), m_dataDir(dataDir),
      m_rows(new QStandardItemModel(this)), m_pickFolder(pickFolder), m_pickFile(pickFile)
{
    setObjectName(QStringLiteral("FrmBackup"));
    setWindowTitle(QStringLiteral("数据备份与恢复"));
    setWindowFlags(Qt::Window);
    buildControls();
    resize(640, 440);
}

void FrmBackup::buildControls()
{
    lblCurrent = new QLabel(this);
    lblCurrent->setObjectName(QStringLiteral("lblCurrent"));
    lblServer = new QLabel(this);
    lblServer->setObjectName(QStringLiteral("lblServer"));
    lblServer->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblServer->setWordWrap(true);
    lblServer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblServer->hide();
    snapshotGrid = FormParts::readOnlyGrid("snapshotGrid", m_rows, this);
    snapshotGrid->setAccessibleName(QStringLiteral("备份"));
    snapshotGrid->horizontalHeader()->setStretchLastSection(false);
    spnKeepDays = new QSpinBox(this);
    spnKeepDays->setObjectName(QStringLiteral("spnKeepDays"));
    spnKeepDays->setRange(1, 3650);
    spnKeepDays->setSuffix(QStringLiteral(" 天"));
    lblElsewhere = new QLabel(this);
    lblElsewhere->setObjectName(QStringLiteral("lblElsewhere"));
    cmdBackupNow = FormParts::button(QStringLiteral("立即备份"), "cmdBackupNow", this);
    cmdSaveElsewhere = FormParts::button(QStringLiteral("另存到…"), "cmdSaveElsewhere", this);
    cmdRestore = FormParts::button(QStringLiteral("恢复"), "cmdRestore", this);
    cmdRestoreFile = FormParts::button(QStringLiteral("从文件恢复…"), "cmdRestoreFile", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);

    auto* keep = new QHBoxLayout;
    lblKeepDays = FormParts::caption(QStringLiteral("自动备份保留:"), spnKeepDays, this);
    lblKeepDays->setObjectName(QStringLiteral("lblKeepDays"));
    keep->addWidget(lblKeepDays);
    keep->addWidget(spnKeepDays);
    keep->addSpacing(12);
    keep->addWidget(lblElsewhere, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdBackupNow, cmdSaveElsewhere, cmdRestore, cmdRestoreFile})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(lblCurrent);
    layout->addWidget(lblServer, 1);
    layout->addWidget(snapshotGrid, 1);
    layout->addLayout(keep);
    layout->addLayout(buttons);

    connect(spnKeepDays, &QSpinBox::valueChanged, this, [this](int days) { SnapshotFolder(m_dataDir).setKeepDays(days); });
    connect(cmdBackupNow, &QPushButton::clicked, this, &FrmBackup::cmdBackupNow_Click);
    connect(cmdSaveElsewhere, &QPushButton::clicked, this, &FrmBackup::cmdSaveElsewhere_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &FrmBackup::cmdRestore_Click);
    connect(cmdRestoreFile, &QPushButton::clicked, this, &FrmBackup::cmdRestoreFile_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmBackup::cmdClose_Click);
}

void FrmBackup::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    const QString server = Backups::serverNotice(m_dataDir);
    if (!server.isEmpty()) {
        showServer(server);
        return;
    }
    reload();
    snapshotGrid->setFocus(Qt::OtherFocusReason);
}

void FrmBackup::showServer(const QString& notice)
{
    lblServer->setText(notice);
    lblServer->show();
    for (QWidget* part : std::initializer_list<QWidget*>{lblCurrent, snapshotGrid, lblKeepDays, spnKeepDays, lblElsewhere,
                                                         cmdBackupNow, cmdSaveElsewhere, cmdRestore, cmdRestoreFile})
        part->hide();
    cmdClose->setFocus(Qt::OtherFocusReason);
}

bool FrmBackup::offThread(const QString& action, const std::function<void()>& work)
{
    try {
        OffThreadWork worker;
        worker.run(action, [&](const OffThreadWork::Report&) { work(); });
        return true;
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return false;
    }
}

QDateTime FrmBackup::now() const
{
    return QDateTime(m_clock.today(), QTime::currentTime());
}

void FrmBackup::reload()
{
    const SnapshotFolder folder(m_dataDir);
    QList<SnapshotFolder::Snapshot> snapshots;
    std::optional<LibraryFile::Counts> current;
    QString error;
    offThread(QStringLiteral("读取备份"), [&] {
        snapshots = folder.list();
        for (SnapshotFolder::Snapshot& snapshot : snapshots)
            if (!snapshot.counts)
                snapshot.counts = LibraryFile::count(snapshot.path, nullptr);
        current = LibraryFile::count(Backups::libraryFile(m_dataDir), &error);
    });
    lblCurrent->setText(current ? QStringLiteral("当前的图书馆: ") + Backups::describe(*current)
                                : QStringLiteral("无法读取当前的图书馆: ") + error);
    // Reset whole, so that what a screen reader was told of the rows goes too.
    m_rows->clear();
    m_rows->setHorizontalHeaderLabels({QStringLiteral("备份时间"), QStringLiteral("图书"), QStringLiteral("读者"),
                                       QStringLiteral("借出未还")});
    m_paths.clear();
    for (const SnapshotFolder::Snapshot& snapshot : snapshots) {
        QList<QStandardItem*> cells{new QStandardItem(snapshot.taken.toString(QStringLiteral("yyyy/M/d HH:mm:ss")))};
        for (const qint64 value : {snapshot.counts ? snapshot.counts->books : -1, snapshot.counts ? snapshot.counts->readers : -1,
                                   snapshot.counts ? snapshot.counts->loansOut : -1})
        {
            cells << new QStandardItem(value < 0 ? QStringLiteral("?") : number(value));
            cells.last()->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        m_rows->appendRow(cells);
        m_paths << snapshot.path;
    }
    snapshotGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < m_rows->columnCount(); ++column)
        snapshotGrid->setColumnWidth(column, 90);
    if (!m_paths.isEmpty())
        snapshotGrid->selectRow(0);
    const QSignalBlocker quiet(spnKeepDays);
    spnKeepDays->setValue(folder.keepDays());
    const QDate saved = folder.savedElsewhere();
    lblElsewhere->setText(saved.isNull() ? QStringLiteral("还没有另存到别处过")
                                         : QStringLiteral("上次另存到别处: %1").arg(saved.toString(QStringLiteral("yyyy/M/d"))));
}

void FrmBackup::cmdBackupNow_Click()
{
    Backups::Outcome outcome;
    if (!offThread(QStringLiteral("备份"), [&] { outcome = Backups::takeSnapshot(m_dataDir, now()); }))
        return;
    reload();
    m_prompter.notice(outcome.ok() ? QStringLiteral("已备份: ") + Backups::describe(outcome.counts) : outcome.error);
}

void FrmBackup::cmdSaveElsewhere_Click()
{
    const QString folder = m_pickFolder(this);
    if (folder.isEmpty())
        return;
    Backups::Outcome outcome;
    if (!offThread(QStringLiteral("另存备份"), [&] { outcome = Backups::saveElsewhere(m_dataDir, folder, now()); }))
        return;
    reload();
    m_prompter.notice(outcome.ok() ? QStringLiteral("已另存为 %1\n%2").arg(QDir::toNativeSeparators(outcome.path),
                                                                          Backups::describe(outcome.counts))
                                   : outcome.error);
}

void FrmBackup::cmdRestore_Click()
{
    const int row = snapshotGrid->currentIndex().row();
    if (row < 0 || row >= m_paths.size()) {
        m_prompter.notice(QStringLiteral("请先在列表中选择一份备份"));
        return;
    }
    restoreFrom(m_paths[row]);
}

void FrmBackup::cmdRestoreFile_Click()
{
    const QString file = m_pickFile(this);
    if (!file.isEmpty())
        restoreFrom(file);
}

void FrmBackup::restoreFrom(const QString& file)
{
    Backups::Candidate candidate;
    if (!offThread(QStringLiteral("检查备份"), [&] { candidate = Backups::prepareRestore(m_dataDir, file); }))
        return;
    if (!candidate.ok()) {
        m_prompter.notice(candidate.error);
        return;
    }
    const QString question =
        QStringLiteral("当前的图书馆: %1\n所选的备份:   %2\n\n"
                       "恢复前先备份当前的图书馆, 然后用所选的备份替换整个图书馆, 其他打开的窗口将关闭。\n要恢复吗?")
            .arg(Backups::describe(candidate.current), Backups::describe(candidate.counts));
    if (!m_prompter.question(question, QStringLiteral("恢复"))) {
        Backups::discard(candidate);
        return;
    }
    Backups::Outcome outcome;
    if (!offThread(QStringLiteral("恢复"), [&] { outcome = Backups::restore(m_dataDir, candidate, now()); })) {
        Backups::discard(candidate);
        return;
    }
    if (outcome.ok())
        emit libraryReplaced();
    reload();
    m_prompter.notice(outcome.ok() ? QStringLiteral("已恢复: %1\n恢复前的图书馆已备份在列表中 (%2)。")
                                         .arg(Backups::describe(candidate.counts), Backups::describe(outcome.counts))
                                   : outcome.error);
}

void FrmBackup::cmdClose_Click()
{
    close();
}
