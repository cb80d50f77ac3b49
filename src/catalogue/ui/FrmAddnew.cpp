#include "catalogue/ui/FrmAddnew.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include "catalogue/logic/Publishers.h"
#include "catalogue/logic/Books.h"
#include "catalogue/logic/Categories.h"
#include "catalogue/ui/BookFieldsFrame.h"
#include "core/ui/PublisherSuggestions.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Clock.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"

FrmAddnew::FrmAddnew(Prompter& prompter, const Clock& clock, const WindowStyler& styler, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_clock(clock), m_styler(styler)
{
    setObjectName(QStringLiteral("FrmAddnew"));
    setWindowTitle(QStringLiteral("添加新书"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    bookFrame = new BookFieldsFrame(QStringLiteral("书籍信息:"), "txtBookPrice", this);
    txtBookID = bookFrame->txtBookID;
    txtBookName = bookFrame->txtBookName;
    cboType = bookFrame->cboType;
    txtBookConcern = bookFrame->txtBookConcern;
    txtWriter = bookFrame->txtWriter;
    dtpRigDate = bookFrame->dtpRigDate;
    txtPage = bookFrame->txtPage;
    txtBookPrice = bookFrame->price;

    cmdSave = FormParts::button(QStringLiteral("保存"), "cmdSave", this);
    cmdClear = FormParts::button(QStringLiteral("清空"), "cmdClear", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);
    connect(cmdSave, &QPushButton::clicked, this, &FrmAddnew::cmdSave_Click);
    connect(cmdClear, &QPushButton::clicked, this, &FrmAddnew::cmdClear_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmAddnew::cmdClose_Click);

    bookFrame->placeInWindow(this, {cmdSave, cmdClear, cmdClose}, true);
    publisherList = new PublisherSuggestions(txtBookConcern, this, 2415, 1575, &Publishers::SuggestPublishers);
    publisherList->setObjectName(QStringLiteral("publisherList"));
    FormParts::fixOuterSize(this, kWidthTwips, kHeightTwips);
}

void FrmAddnew::Form_Load()
{
    dtpRigDate->setDate(m_clock.today());
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    try {
        bookFrame->setCategoryItems(Categories::LoadCategoryItems());
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
    }
}

bool FrmAddnew::checkAndFillDefaults()
{
    if (txtBookID->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请输入书籍编号!"), AppInfo::kAppTitle);
        return false;
    }
    if (txtBookName->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请输入书籍名称!"), AppInfo::kAppTitle);
        return false;
    }
    if (cboType->currentText().isEmpty()) {
        m_prompter.notice(QStringLiteral("请选择书籍类别!"), AppInfo::kAppTitle);
        return false;
    }
    txtBookConcern->setText(Books::orUnspecified(txtBookConcern->text()));
    txtWriter->setText(Books::orUnspecified(txtWriter->text()));
    if (txtBookPrice->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请输入书籍价格!"), AppInfo::kAppTitle);
        return false;
    }
    txtPage->setText(Books::orUnspecified(txtPage->text()));
    return true;
}

void FrmAddnew::cmdSave_Click()
{
    if (checkAndFillDefaults())
        save();
}

void FrmAddnew::save()
{
    const Books::BookDetails book{txtBookID->text(),   txtBookName->text(),
                                  Categories::CategoryCodeOf(cboType->currentText()),
                                  txtBookConcern->text(), txtWriter->text(),
                                  txtBookPrice->text(), txtPage->text(),
                                  dtpRigDate->date()};
    try {
        const Books::Outcome outcome = Books::saveNewBook(book);
        if (outcome != Books::Outcome::Done) {
            m_prompter.notice(Books::refusal(outcome, book.number));
            return;
        }
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return;
    }
    m_prompter.notice(QStringLiteral("新书添加完毕"));
}

void FrmAddnew::cmdClear_Click()
{
    for (QLineEdit* box : {txtBookID, txtBookName, txtWriter, txtBookConcern})
        box->clear();
    cboType->setCurrentIndex(-1);
    cboType->clearEditText();
    txtBookPrice->clear();
    txtPage->clear();
}

void FrmAddnew::cmdClose_Click()
{
    emit bookListRefreshRequested();
    close();
}
