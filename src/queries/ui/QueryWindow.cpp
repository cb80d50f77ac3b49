#include "queries/ui/QueryWindow.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/logic/AppInfo.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"
#include "export/ui/GridExport.h"
#include "queries/logic/QueryBuilder.h"
#include "core/logic/KeyedResultModel.h"

namespace {

// Screen readers announce a query window as a window of its own (a frame),
// not as an unnamed part of another.
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String(QueryWindow::staticMetaObject.className()) && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

QueryWindow::QueryWindow(Prompter& prompter, const WindowStyler& styler, const Design& design)
    : QWidget(nullptr), m_prompter(prompter), m_styler(styler),
      m_results(new KeyedResultModel(QStringLiteral("查询"), this, design.columns))
{
    static const bool accessibleInstalled = (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessibleInstalled);
    setObjectName(QString::fromLatin1(design.name));
    setWindowTitle(design.title);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    criteriaFrame = new QGroupBox(QStringLiteral("请选择要查询的项:"), this);
    criteriaFrame->setObjectName(QStringLiteral("criteriaFrame"));
    m_criteria = new QGridLayout(criteriaFrame);
    m_criteria->setContentsMargins(10, 6, 10, 8);
    m_criteria->setHorizontalSpacing(8);
    m_criteria->setColumnStretch(1, 1);
    m_criteria->setColumnStretch(3, 1);

    connect(m_results, &KeyedResultModel::readFailed, this,
            [this](const QString& message) { m_prompter.notice(message); });
    m_grid = QueryGrid::create(design.gridName, m_results, design.widths, this);
    GridExport::addWholeResult(m_grid, m_prompter, design.title, [this] { return m_statement; });
    lblResults = FormParts::caption(QStringLiteral("查询结果如下:"), m_grid, this);
    lblResults->setObjectName(QStringLiteral("lblResults"));

    auto* top = new QHBoxLayout;
    top->addWidget(criteriaFrame, 1);
    top->addLayout(buildButtons(design.findCaption));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(lblResults);
    layout->addWidget(m_grid, 1);  // the grid takes every pixel the window gains or loses
    resize(AppInfo::pixelsFromTwips(design.widthTwips), AppInfo::pixelsFromTwips(design.heightTwips));
}

// The three buttons down the right of the criteria: find at the top, clear
// in the middle, close at the bottom.
QLayout* QueryWindow::buildButtons(const QString& findCaption)
{
    cmdFind = FormParts::button(findCaption, "cmdFind", this);
    cmdClear = FormParts::button(QStringLiteral("清空"), "cmdClear", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);
    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(6, 8, 0, 0);
    buttons->addWidget(cmdFind);
    buttons->addStretch(1);
    buttons->addWidget(cmdClear);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &QueryWindow::cmdClose_Click);

    return buttons;
}

QLineEdit* QueryWindow::addTextBox(const char* name, const QString& caption, int row, int column)
{
    auto* box = new QLineEdit(criteriaFrame);
    box->setObjectName(QString::fromLatin1(name));
    addCaptioned(caption, box, row, column);
    return box;
}

void QueryWindow::addCaptioned(const QString& caption, QWidget* box, int row, int column)
{
    m_criteria->addWidget(FormParts::caption(caption, box, criteriaFrame), row, column);
    m_criteria->addWidget(box, row, column + 1);
}

void QueryWindow::applyWindowStyle()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
}

void QueryWindow::search(const KeyedStatement& statement)
{
    m_prompter.notice(QStringLiteral("查询结果如下!!"));
    try {
        m_results->run(statement);
        m_statement = statement;
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
    }
}

void QueryWindow::cmdClose_Click()
{
    close();
}
