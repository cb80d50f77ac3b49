#include "catalogue/ui/FrmSetBook.h"

#include <QCoreApplication>
#include <QDataWidgetMapper>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include "catalogue/logic/Categories.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"
#include "export/ui/GridExport.h"

FrmSetBook::FrmSetBook(Prompter& prompter, const WindowStyler& styler, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_styler(styler)
{
    setObjectName(QStringLiteral("FrmSetBook"));
    setWindowTitle(QStringLiteral("设置图书类别"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    m_rows = new QStandardItemModel(0, 3, this);
    m_rows->setHorizontalHeaderLabels({QStringLiteral("类别代码"), QStringLiteral("书籍类别"),
                                       QStringLiteral("借出天数")});
    auto* frame = buildControls();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(frame);

    m_mapper = new QDataWidgetMapper(this);
    m_mapper->setModel(m_rows);
    m_mapper->setSubmitPolicy(QDataWidgetMapper::AutoSubmit);
    m_mapper->addMapping(txtTypeID, 0);
    m_mapper->addMapping(txtTypeName, 1);
    m_mapper->addMapping(txtDay, 2);
    // The boxes always show the grid's current row.
    connect(categoriesGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, m_mapper,
            [this](const QModelIndex& current) { m_mapper->setCurrentIndex(current.row()); });

    // The state at creation: nothing to save or cancel yet.
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
    FormParts::fixOuterSize(this, kWidthTwips, kHeightTwips);
}

QGroupBox* FrmSetBook::buildControls()
{
    auto* frame = new QGroupBox(QStringLiteral("图书类别信息"), this);
    frame->setObjectName(QStringLiteral("categoryFrame"));
    txtTypeID = FormParts::textBox("txtTypeID", frame);
    txtTypeName = FormParts::textBox("txtTypeName", frame);
    txtDay = FormParts::textBox("txtDay", frame);
    cmdSave = FormParts::button(QStringLiteral("保存"), "cmdSave", frame);
    cmdCancel = FormParts::button(QStringLiteral("取消"), "cmdCancel", frame);
    cmdAdd = FormParts::button(QStringLiteral("添加新类别"), "cmdAdd", frame);
    cmdModify = FormParts::button(QStringLiteral("修改旧类别"), "cmdModify", frame);
    cmdDel = FormParts::button(QStringLiteral("删除旧类别"), "cmdDel", frame);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", frame);
    connect(cmdSave, &QPushButton::clicked, this, &FrmSetBook::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmSetBook::cmdCancel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &FrmSetBook::cmdAdd_Click);
    connect(cmdModify, &QPushButton::clicked, this, &FrmSetBook::cmdModify_Click);
    connect(cmdDel, &QPushButton::clicked, this, &FrmSetBook::cmdDel_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmSetBook::cmdClose_Click);

    categoriesGrid = FormParts::readOnlyGrid("categoriesGrid", m_rows, frame);
    categoriesGrid->setAccessibleName(QStringLiteral("图书类别"));
    GridExport::addShownRows(categoriesGrid, m_prompter, QStringLiteral("图书类别"));
    categoriesGrid->verticalHeader()->hide();  // the three columns need the whole width
    categoriesGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    categoriesGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    categoriesGrid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    categoriesGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the three columns fit
    // A little wider than the designed 3255 twips: the three headings need it
    // in the Chinese font under the 轻松一刻 skin's padding.
    categoriesGrid->setFixedSize(AppInfo::pixelsFromTwips(3540), AppInfo::pixelsFromTwips(3375));

    layOut(frame);
    return frame;
}

// Boxes at the left with 保存 and 取消 beside them, the four buttons under a
// thin line, the grid at the right.
void FrmSetBook::layOut(QGroupBox* frame)
{
    auto* separator = new QFrame(frame);
    separator->setObjectName(QStringLiteral("separatorLine"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 10, 6, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);
    const struct { const char* caption; QLineEdit* box; } boxes[] = {
        {"类别代码:", txtTypeID}, {"书籍类别:", txtTypeName}, {"借出天数:", txtDay}};
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(FormParts::caption(QString::fromUtf8(boxes[row].caption), boxes[row].box, frame), row, 0);
        grid->addWidget(boxes[row].box, row, 1);
    }
    grid->addWidget(cmdSave, 0, 2);
    grid->addWidget(cmdCancel, 1, 2);
    grid->addWidget(separator, 3, 0, 1, 3);
    grid->addWidget(cmdAdd, 4, 0, 1, 2);
    grid->addWidget(cmdModify, 4, 2);
    grid->addWidget(cmdDel, 5, 0, 1, 2);
    grid->addWidget(cmdClose, 5, 2);
    grid->setRowStretch(6, 1);
    grid->addWidget(categoriesGrid, 0, 3, 7, 1, Qt::AlignTop);
    grid->setColumnStretch(1, 1);

    const QList<QWidget*> order = {txtTypeID, txtTypeName, txtDay, cmdSave,  cmdCancel,
                                   cmdAdd,    cmdModify,   cmdDel, cmdClose, categoriesGrid};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FrmSetBook::Form_Load()
{
    m_editMode = Idle;
    m_addedCode.clear();
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    loadGrid();
}

void FrmSetBook::loadGrid(const QString& code)
{
    QList<Categories::Category> categories;
    try {
        categories = Categories::all();
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return;
    }
    m_rows->removeRows(0, m_rows->rowCount());
    int current = 0;
    for (const Categories::Category& category : categories) {
        if (category.code == code)
            current = m_rows->rowCount();
        m_rows->appendRow({new QStandardItem(category.code), new QStandardItem(category.name),
                           new QStandardItem(category.loanDays.isNull() ? QString() : category.loanDays.toString())});
    }
    setCurrentRow(m_rows->rowCount() > 0 ? current : -1);
}

void FrmSetBook::setCurrentRow(int row)
{
    if (row < 0) {
        categoriesGrid->setCurrentIndex({});
        for (QLineEdit* box : {txtTypeID, txtTypeName, txtDay})
            box->clear();
        return;
    }
    categoriesGrid->setCurrentIndex(m_rows->index(row, 0));
    m_mapper->setCurrentIndex(row);
}

// "添加新类别" or "修改旧类别": save and cancel on, the other four off.
void FrmSetBook::enterEditing()
{
    cmdSave->setEnabled(true);
    cmdCancel->setEnabled(true);
    for (QPushButton* button : {cmdModify, cmdDel, cmdAdd, cmdClose})
        button->setEnabled(false);
}

void FrmSetBook::cmdAdd_Click()
{
    m_rows->appendRow({new QStandardItem, new QStandardItem, new QStandardItem});
    setCurrentRow(m_rows->rowCount() - 1);
    enterEditing();
    m_editMode = Adding;
    m_addedCode.clear();
    txtTypeID->setFocus();
}

void FrmSetBook::cmdModify_Click()
{
    txtTypeID->setEnabled(false);
    enterEditing();
    m_editMode = Changing;
    txtTypeName->setFocus();
}

void FrmSetBook::cmdSave_Click()
{
    m_mapper->submit();
    const QString code = txtTypeID->text();
    Categories::Outcome outcome;
    try {
        const bool adding = m_editMode == Adding && (m_addedCode.isNull() || code != m_addedCode);
        outcome = adding ? Categories::AddCategory(code, txtTypeName->text(), txtDay->text())
                         : Categories::UpdateCategory(code, txtTypeName->text(), txtDay->text());
        if (adding && outcome == Categories::Outcome::Saved)
            m_addedCode = code;
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return;
    }
    m_prompter.notice(Categories::message(outcome, code));
    if (outcome == Categories::Outcome::Saved) {
        showStored(code);
        leaveEditing();
    }
}

// The current row shows the category as the store now holds it (loan days
// "7.5" were kept as 8).
void FrmSetBook::showStored(const QString& code)
{
    const int row = categoriesGrid->currentIndex().row();
    if (row < 0)
        return;
    try {
        const std::optional<Categories::Category> stored = Categories::find(code);
        if (!stored)
            return;
        m_rows->item(row, 0)->setText(stored->code);
        m_rows->item(row, 1)->setText(stored->name);
        m_rows->item(row, 2)->setText(stored->loanDays.isNull() ? QString() : stored->loanDays.toString());
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
    }
}

void FrmSetBook::cmdCancel_Click()
{
    leaveEditing();
    // What was typed is dropped: the grid shows the store's rows again.
    loadGrid(txtTypeID->text());
}

void FrmSetBook::leaveEditing()
{
    txtTypeID->setEnabled(true);
    for (QPushButton* button : {cmdModify, cmdDel, cmdAdd, cmdClose})
        button->setEnabled(true);
}

void FrmSetBook::cmdDel_Click()
{
    const QModelIndex current = categoriesGrid->currentIndex();
    if (!current.isValid()) {
        m_prompter.notice(QStringLiteral("没有可以删除的类别!"));
        return;
    }
    const QString code = m_rows->index(current.row(), 0).data().toString();
    if (m_prompter.question(QStringLiteral("是否真的要删除类别代码为") + code + QStringLiteral("的类别信息?"))) {
        try {
            const Categories::Outcome outcome = Categories::DeleteCategory(code);
            loadGrid();
            m_prompter.notice(Categories::message(outcome, code));
        } catch (const StoreError& error) {
            m_prompter.notice(error.message());
        }
    }
    Form_Load();
}

void FrmSetBook::cmdClose_Click()
{
    close();
}
