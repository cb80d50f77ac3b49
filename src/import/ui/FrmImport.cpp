#include "import/ui/FrmImport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/logic/Clock.h"
#include "core/logic/Csv.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"
#include "import/logic/ImportPlan.h"
#include "import/logic/ImportPreviewModel.h"
#include "import/logic/ImportRun.h"

namespace {

const QString kLeftOut = QStringLiteral("(不导入)");

QString askForFile(QWidget* parent, bool forSaving)
{
    const QString filter = QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)");
    return forSaving ? QFileDialog::getSaveFileName(parent, QStringLiteral("保存跳过的行"), QString(), filter)
                     : QFileDialog::getOpenFileName(parent, QStringLiteral("选择要导入的文件"), QString(), filter);
}

}  // namespace

FrmImport::FrmImport(ImportKind::Kind kind, Prompter& prompter, const Clock& clock, const WindowStyler& styler,
                     QWidget* parent)
    : QWidget(parent), m_kind(kind), m_prompter(prompter), m_clock(clock), m_styler(styler),
      m_rows(new ImportPreviewModel(this)), m_choose(askForFile)
{
    setObjectName(QStringLiteral("FrmImport"));
    setWindowTitle(QStringLiteral("导入") + ImportKind::noun(kind));
    setWindowFlags(Qt::Window);
    buildControls();
    resize(900, 560);
}

// The grid lets go of the plan before the plan goes: the grid may still ask
// for its headings while the window is taken down.
FrmImport::~FrmImport()
{
    m_rows->setPlan(nullptr);
}

void FrmImport::buildControls()
{
    txtFile = FormParts::textBox("txtFile", this);
    txtFile->setReadOnly(true);
    cmdChoose = FormParts::button(QStringLiteral("选择文件…"), "cmdChoose", this);
    mappingGrid = new QTableWidget(0, 2, this);
    mappingGrid->setObjectName(QStringLiteral("mappingGrid"));
    mappingGrid->setHorizontalHeaderLabels({QStringLiteral("文件中的列"), QStringLiteral("导入为")});
    mappingGrid->setAccessibleName(QStringLiteral("列的对应"));
    mappingGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mappingGrid->verticalHeader()->hide();
    mappingGrid->horizontalHeader()->setStretchLastSection(true);
    mappingGrid->setMaximumWidth(300);
    lblSummary = new QLabel(QStringLiteral("请选择一个 CSV 文件。第一行是列标题, 与表中列名相同的列自动对应。"), this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    previewGrid = FormParts::readOnlyGrid("previewGrid", m_rows, this);
    previewGrid->setAccessibleName(QStringLiteral("预览"));
    previewGrid->verticalHeader()->hide();  // the file's own line numbers stand in the first column
    previewGrid->horizontalHeader()->setResizeContentsPrecision(200);
    cmdImport = FormParts::button(QStringLiteral("导入"), "cmdImport", this);
    cmdSaveSkipped = FormParts::button(QStringLiteral("保存跳过的行…"), "cmdSaveSkipped", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);
    cmdImport->setEnabled(false);
    cmdSaveSkipped->setEnabled(false);

    auto* file = new QHBoxLayout;
    file->addWidget(FormParts::caption(QStringLiteral("文件:"), txtFile, this));
    file->addWidget(txtFile, 1);
    file->addWidget(cmdChoose);
    auto* middle = new QHBoxLayout;
    middle->addWidget(mappingGrid);
    middle->addWidget(previewGrid, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {cmdImport, cmdSaveSkipped, cmdClose})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(file);
    layout->addWidget(lblSummary);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    connect(cmdChoose, &QPushButton::clicked, this, &FrmImport::cmdChoose_Click);
    connect(cmdImport, &QPushButton::clicked, this, &FrmImport::cmdImport_Click);
    connect(cmdSaveSkipped, &QPushButton::clicked, this, &FrmImport::cmdSaveSkipped_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void FrmImport::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    cmdChoose->setFocus(Qt::OtherFocusReason);
}

void FrmImport::cmdChoose_Click()
{
    const QString path = m_choose(this, false);
    if (!path.isEmpty())
        openFile(path);
}

void FrmImport::openFile(const QString& path)
{
    Csv::Table table;
    QString error;
    if (!Csv::read(path, &table, &error)) {
        m_prompter.notice(error);
        return;
    }
    if (table.records.isEmpty()) {
        m_prompter.notice(QStringLiteral("文件 %1 是空的: 第一行应是列标题。").arg(path));
        return;
    }
    m_rows->setPlan(nullptr);
    m_plan = std::make_unique<ImportPlan>(m_kind, table, m_clock.today());
    m_imported = -1;
    txtFile->setText(path);
    checkPlan();
    showMapping();
    showPlan();
}

bool FrmImport::checkPlan()
{
    try {
        m_plan->check();
        return true;
    } catch (const StoreError& failure) {
        m_prompter.notice(failure.message());
        return false;
    }
}

QComboBox* FrmImport::fieldBox(int column) const
{
    return qobject_cast<QComboBox*>(mappingGrid->cellWidget(column, 1));
}

void FrmImport::showMapping()
{
    const QStringList headings = m_plan->headings();
    const QStringList mapping = m_plan->mapping();
    mappingGrid->setRowCount(int(headings.size()));
    for (int i = 0; i < headings.size(); ++i) {
        mappingGrid->setItem(i, 0, new QTableWidgetItem(headings[i]));
        QComboBox* box = fieldBox(i);
        if (!box) {
            box = new QComboBox(mappingGrid);
            box->setObjectName(QStringLiteral("cboField%1").arg(i));
            box->setAccessibleName(headings[i] + QStringLiteral(" 导入为"));
            box->addItem(kLeftOut);
            box->addItems(ImportKind::fields(m_kind));
            mappingGrid->setCellWidget(i, 1, box);
            connect(box, &QComboBox::activated, this, [this, i] { mapColumn(i); });
        }
        box->setCurrentIndex(std::max(0, box->findText(mapping[i])));
    }
    mappingGrid->resizeColumnToContents(0);
}

void FrmImport::mapColumn(int column)
{
    if (!m_plan)
        return;
    const QComboBox* box = fieldBox(column);
    m_plan->mapColumn(column, box->currentIndex() > 0 ? box->currentText() : QString());
    m_rows->setPlan(nullptr);
    checkPlan();
    showMapping();
    showPlan();
}

void FrmImport::showPlan()
{
    m_rows->setPlan(m_plan.get());
    previewGrid->resizeColumnsToContents();
    const int total = int(m_plan->rows().size());
    const int good = m_plan->goodCount();
    const QString counts = m_imported >= 0
                               ? QStringLiteral("已导入 %1 行, 跳过 %2 行").arg(m_imported).arg(total - good)
                               : QStringLiteral("将导入 %1 行, 跳过 %2 行").arg(good).arg(total - good);
    lblSummary->setText(QStringLiteral("编码: %1; 共 %2 行数据: %3。已在库中的编号不会被覆盖。")
                            .arg(Csv::encodingName(m_plan->encoding()))
                            .arg(total)
                            .arg(counts));
    cmdImport->setEnabled(m_imported < 0 && good > 0);
    cmdSaveSkipped->setEnabled(good < total);
}

void FrmImport::cmdImport_Click()
{
    if (!m_plan || m_imported >= 0)
        return;
    // The library may have changed since the file was read: another desk.
    m_rows->setPlan(nullptr);
    const bool checked = checkPlan();
    showPlan();
    if (!checked)
        return;
    const int good = m_plan->goodCount();
    const int skipped = int(m_plan->rows().size()) - good;
    if (good == 0 || !m_prompter.question(QStringLiteral("将导入%1 %2 行, 跳过 %3 行。是否继续?")
                                              .arg(ImportKind::noun(m_kind))
                                              .arg(good)
                                              .arg(skipped)))
        return;
    QProgressDialog progress(QStringLiteral("正在导入%1…").arg(ImportKind::noun(m_kind)), QStringLiteral("取消"), 0,
                             good, this);
    progress.setObjectName(QStringLiteral("importProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    ImportRun::Result result;
    try {
        result = ImportRun::run(*m_plan, [&progress](int done, int) {
            progress.setValue(done);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    } catch (const StoreError& failure) {
        progress.close();
        m_prompter.notice(QStringLiteral("导入失败, 没有写入任何数据。\n") + failure.message());
        return;
    }
    progress.close();
    if (result.cancelled) {
        m_prompter.notice(QStringLiteral("导入已取消, 没有写入任何数据。"));
        return;
    }
    m_imported = result.imported;
    showPlan();
    emit imported(m_kind);
    m_prompter.notice(QStringLiteral("已导入%1 %2 行, 跳过 %3 行。")
                          .arg(ImportKind::noun(m_kind))
                          .arg(result.imported)
                          .arg(int(m_plan->rows().size()) - m_plan->goodCount()));
}

void FrmImport::cmdSaveSkipped_Click()
{
    if (!m_plan)
        return;
    const QString path = m_choose(this, true);
    if (path.isEmpty())
        return;
    QString error;
    if (!Csv::write(path, m_plan->skippedRecords(), &error)) {
        m_prompter.notice(error);
        return;
    }
    m_prompter.notice(QStringLiteral("跳过的 %1 行已保存到 %2").arg(m_plan->skippedRecords().size() - 1).arg(path));
}
