#include "readers/ui/FrmBasicSet.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"
#include "readers/logic/LendingRules.h"

namespace {

QLineEdit* ruleBox(const char* name, const QString& text, QWidget* parent)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedWidth(80);
    return box;
}

}  // namespace

FrmBasicSet::FrmBasicSet(Prompter& prompter, const WindowStyler& styler, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_styler(styler)
{
    setObjectName(QStringLiteral("FrmBasicSet"));
    setWindowTitle(QStringLiteral("基本设置"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    txtBook = ruleBox("txtBook", QStringLiteral("2"), this);
    txtFakuan = ruleBox("txtFakuan", QStringLiteral("0.1"), this);
    SSTab1->addTab(ruleTab(QStringLiteral("每人最多允许借出:"), txtBook, QStringLiteral("本")),
                   QStringLiteral("最大借出册数设置"));
    SSTab1->addTab(ruleTab(QStringLiteral("超出一天罚款:"), txtFakuan, QStringLiteral("元")),
                   QStringLiteral("罚款条件设置"));

    cmdSave = FormParts::button(QStringLiteral("保存"), "cmdSave", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);
    connect(cmdSave, &QPushButton::clicked, this, &FrmBasicSet::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmBasicSet::cmdClose_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(buttons);
    FormParts::fixOuterSize(this, kWidthTwips, kHeightTwips);
}

QWidget* FrmBasicSet::ruleTab(const QString& before, QLineEdit* box, const QString& after)
{
    auto* page = new QWidget(SSTab1);
    box->setParent(page);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(FormParts::caption(before, box, page));
    row->addWidget(box);
    row->addWidget(new QLabel(after, page));
    row->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
    return page;
}

void FrmBasicSet::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    try {
        const LendingRules::Texts rules = LendingRules::LoadLendingRules();
        txtBook->setText(rules.quota);
        txtFakuan->setText(rules.fine);
    } catch (const StoreError& e) {
        // Nothing shown that is not stored: a save cannot pass empty boxes.
        txtBook->clear();
        txtFakuan->clear();
        m_prompter.notice(e.message());
    }
}

// A text the rule cannot take is refused with the reason, on the tab of the
// box that holds it; the stored rules keep their values.
void FrmBasicSet::cmdSave_Click()
{
    LendingRules::Outcome outcome;
    try {
        outcome = LendingRules::SaveLendingRules(txtBook->text(), txtFakuan->text());
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    m_prompter.notice(LendingRules::message(outcome));
    QLineEdit* refused = outcome == LendingRules::Outcome::BadQuota ? txtBook
                         : outcome == LendingRules::Outcome::BadFine ? txtFakuan
                                                                      : nullptr;
    if (refused) {
        SSTab1->setCurrentWidget(refused->parentWidget());
        refused->setFocus(Qt::OtherFocusReason);
        refused->selectAll();
    }
}

void FrmBasicSet::cmdClose_Click()
{
    close();
}
