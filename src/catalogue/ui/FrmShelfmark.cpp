#include "catalogue/ui/FrmShelfmark.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>

#include "catalogue/logic/BookListModel.h"
#include "export/ui/GridExport.h"
#include "catalogue/logic/Books.h"
#include "core/logic/AppInfo.h"
#include "core/logic/OffThreadWork.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"

namespace {

int px(int twips)
{
    return AppInfo::pixelsFromTwips(twips);
}

int twips(int pixels)
{
    return pixels * AppInfo::kTwipsPerPixel;
}

}  // namespace

FrmShelfmark::FrmShelfmark(Prompter& prompter, const WindowStyler& styler, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_styler(styler)
{
    setObjectName(QStringLiteral("FrmShelfmark"));
    setWindowTitle(QStringLiteral("书库管理"));
    setWindowFlags(Qt::Window);
    m_list = new BookListModel(this);
    connect(m_list, &BookListModel::readFailed, this, [this](const QString& message) { m_prompter.notice(message); });
    buildControls();
    resize(px(kInnerWidthTwips), px(kInnerHeightTwips));
}

void FrmShelfmark::buildControls()
{
    const struct { const char* caption; const char* name; QPushButton** button; void (FrmShelfmark::*click)(); }
        buttons[] = {
            {"添加新书", "cmdAdd", &cmdAdd, &FrmShelfmark::cmdAdd_Click},
            {"修改", "cmdModify", &cmdModify, &FrmShelfmark::cmdModify_Click},
            {"删除", "cmdDel", &cmdDel, &FrmShelfmark::cmdDel_Click},
            {"全部删除", "CmdDelAll", &CmdDelAll, &FrmShelfmark::CmdDelAll_Click},
            {"退出", "cmdClose", &cmdClose, &FrmShelfmark::cmdClose_Click},
        };
    int left = 120;
    for (const auto& b : buttons) {
        *b.button = FormParts::button(QString::fromUtf8(b.caption), b.name, this);
        (*b.button)->setGeometry(px(left), px(240), px(1335), px(495));
        connect(*b.button, &QPushButton::clicked, this, b.click);
        left += 1335 + 120;
    }

    buildGrid();

    setTabOrder(cmdAdd, cmdModify);
    setTabOrder(cmdModify, cmdDel);
    setTabOrder(cmdDel, cmdClose);
    setTabOrder(cmdClose, CmdDelAll);
    setTabOrder(CmdDelAll, booksGrid);
}

void FrmShelfmark::buildGrid()
{
    booksGrid = FormParts::readOnlyGrid("booksGrid", m_list, this);
    booksGrid->setAccessibleName(QStringLiteral("书库"));
    GridExport::addWholeResult(booksGrid, m_prompter, windowTitle(), [] { return BookListModel::statement(); });
    // Widths that show the nine columns side by side at the opening size.
    const int widths[BookListModel::ColumnCount] = {70, 116, 70, 104, 70, 60, 60, 84, 60};
    connect(m_list, &QAbstractItemModel::modelReset, booksGrid, [this, widths] {
        for (int column = 0; column < BookListModel::ColumnCount; ++column)
            booksGrid->setColumnWidth(column, widths[column]);
    });
    booksGrid->move(px(120), px(960));
    booksGrid->resize(px(10575), px(4695));
}

void FrmShelfmark::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    loadList();
}

// Runs the list's query and makes the first row current; false (the clerk
// told) when the store refuses.
bool FrmShelfmark::loadList()
{
    try {
        m_list->load();
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return false;
    }
    if (m_list->rowCount() > 0)
        booksGrid->setCurrentIndex(m_list->index(0, 0));
    return true;
}

void FrmShelfmark::refreshList()
{
    loadList();
}

void FrmShelfmark::cmdAdd_Click()
{
    emit addBookRequested();
}

void FrmShelfmark::cmdModify_Click()
{
    const std::optional<BookListRow> row = m_list->rowAt(booksGrid->currentIndex().row());
    if (!row) {
        m_prompter.notice(QStringLiteral("书库中没有可以修改的书籍!"));
        return;
    }
    emit editBookRequested(*row);
}

void FrmShelfmark::cmdDel_Click()
{
    const std::optional<BookListRow> row = m_list->rowAt(booksGrid->currentIndex().row());
    if (!row) {
        m_prompter.notice(QStringLiteral("书库中没有可以删除的书籍!"));
        return;
    }
    const QString number = row->number;
    if (m_prompter.question(QStringLiteral("是否真的要删除编号为") + number + QStringLiteral("的书籍信息?"))) {
        try {
            const Books::Outcome outcome = Books::DeleteBook(number);
            loadList();
            m_prompter.notice(outcome == Books::Outcome::Done
                                  ? QStringLiteral("编号") + number + QStringLiteral("已删除!")
                                  : Books::refusal(outcome, number));
        } catch (const StoreError& error) {
            m_prompter.notice(error.message());
        }
    }
    Form_Load();
}

void FrmShelfmark::CmdDelAll_Click()
{
    int books = 0;
    try {
        books = Books::count();
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return;
    }
    if (books == 0) {
        m_prompter.notice(QStringLiteral("书库中没有书籍信息!"));
        return;
    }
    if (m_prompter.question(QStringLiteral("是否真的要删除所有的书籍信息?")))
        deleteAll(books);
    Form_Load();
}

// Deletes every book on a thread of its own, a batch at a time, so the
// window repaints all along, a million books and their last commit included;
// a progress box counts the books deleted. The buttons are off and the clicks
// and keys wait until the end (a second or so at a million books).
void FrmShelfmark::deleteAll(int books)
{
    m_deletingAll = true;
    setButtonsEnabled(false);
    m_list->clear();  // no books shown while they go
    QProgressDialog progress(QStringLiteral("正在删除所有的书籍信息……"), QString(), 0, books, this);
    progress.setWindowTitle(QStringLiteral("提示"));
    progress.setMinimumDuration(0);
    progress.setValue(0);
    OffThreadWork work;
    connect(&work, &OffThreadWork::progressed, &progress, &QProgressDialog::setValue);
    QString failure;
    try {
        work.run(QStringLiteral("删除所有书籍"),
                 [](const OffThreadWork::Report& report) { Books::DeleteAllBooks(report); });
    } catch (const StoreError& error) {
        failure = error.message();
    }
    progress.hide();
    setButtonsEnabled(true);
    m_deletingAll = false;
    m_prompter.notice(failure.isEmpty() ? QStringLiteral("所有的书籍信息已删除!") : failure);
}

void FrmShelfmark::setButtonsEnabled(bool enabled)
{
    for (QPushButton* button : {cmdAdd, cmdModify, cmdDel, CmdDelAll, cmdClose})
        button->setEnabled(enabled);
}

void FrmShelfmark::cmdClose_Click()
{
    close();
}

// The grid follows the window: its width is the outer width less 360 twips,
// its height the outer height less 1485, each only while the window is
// larger than that; its left and top edges stay.
void FrmShelfmark::Form_Resize()
{
    const int outerWidth = twips(width()) + FormParts::kFrameWidthTwips;
    const int outerHeight = twips(height()) + FormParts::kFrameHeightTwips;
    if (outerWidth > 360)
        booksGrid->resize(px(outerWidth - 360), booksGrid->height());
    if (outerHeight > 1485)
        booksGrid->resize(booksGrid->width(), px(outerHeight - 1485));
}

void FrmShelfmark::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmShelfmark::closeEvent(QCloseEvent* event)
{
    if (m_deletingAll) {
        event->ignore();  // the deletion finishes first
        return;
    }
    QWidget::closeEvent(event);
}
