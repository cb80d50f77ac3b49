#include "catalogue/ui/FrmUpdateBook.h"

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
#include "core/logic/Clock.h"
#include "core/logic/Conversions.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"

FrmUpdateBook::FrmUpdateBook(Prompter& prompter, const Clock& clock, const WindowStyler& styler,
                             const BookListRow& row, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_clock(clock), m_styler(styler), m_row(row)
{
    setObjectName(QStringLiteral("FrmUpdateBook"));
    setWindowTitle(QStringLiteral("正在修改图书"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    bookFrame = new BookFieldsFrame(QStringLiteral("书籍信息"), "txtPrice", this);
    txtBookID = bookFrame->txtBookID;
    txtBookID->setEnabled(false);  // the number selects the book; it is not changed
    txtBookName = bookFrame->txtBookName;
    cboType = bookFrame->cboType;
    txtBookConcern = bookFrame->txtBookConcern;
    txtWriter = bookFrame->txtWriter;
    dtpRigDate = bookFrame->dtpRigDate;
    txtPage = bookFrame->txtPage;
    txtPrice = bookFrame->price;

    cmdSave = FormParts::button(QStringLiteral("保存"), "cmdSave", this);
    cmdClose = FormParts::button(QStringLiteral("退出"), "cmdClose", this);
    connect(cmdSave, &QPushButton::clicked, this, &FrmUpdateBook::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmUpdateBook::cmdClose_Click);

    bookFrame->placeInWindow(this, {cmdSave, cmdClose}, false);
    publisherList = new PublisherSuggestions(txtBookConcern, this, 2775, 1575, &Publishers::SuggestPublishers);
    publisherList->setObjectName(QStringLiteral("publisherList"));
    setSuggestEnabled(0);
    FormParts::fixOuterSize(this, kWidthTwips, kHeightTwips);
}

void FrmUpdateBook::setSuggestEnabled(qint16 value)
{
    m_suggestEnabled = value;
    publisherList->setSuppressed(value != 1);
}

void FrmUpdateBook::Form_Load()
{
    dtpRigDate->setDate(m_clock.today());
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    try {
        bookFrame->setCategoryItems(Categories::LoadCategoryItems());
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
    }
    takeOverRow();
    showStoredCategory();
    setSuggestEnabled(1);
}

// The book's own category, by its code in the store, never by the name the
// list showed (renamed since, or shared by two categories). A code that is no
// category any more is named, and kept unless the clerk chooses another.
void FrmUpdateBook::showStoredCategory()
{
    std::optional<Categories::Category> category;
    try {
        m_storedCode = Books::categoryCodeOf(m_row.number);
        if (m_storedCode)
            category = Categories::find(*m_storedCode);
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
    }
    if (!m_storedCode)
        return;  // the book is gone: saving says so
    if (category) {
        cboType->setEditText(Categories::itemOf(*category));
    } else {
        cboType->setEditText(*m_storedCode);
        m_prompter.notice(QStringLiteral("该书的类别代码") + *m_storedCode
                          + QStringLiteral("已经不是图书类别,请重新选择书籍类别!"));
    }
    m_shownCategory = cboType->currentText();
}

// The code to save: the stored one while the box still shows what the window
// put there, else the first character of the clerk's choice.
QString FrmUpdateBook::chosenCategoryCode() const
{
    if (m_storedCode && cboType->currentText() == m_shownCategory)
        return *m_storedCode;
    return Categories::CategoryCodeOf(cboType->currentText());
}

// The list row's cells into the boxes, in the list's column order.
void FrmUpdateBook::takeOverRow()
{
    txtBookID->setText(m_row.number);
    txtBookName->setText(m_row.title);
    txtBookConcern->setText(m_row.publisher);
    txtWriter->setText(m_row.author);
    txtPrice->setText(m_row.price);
    txtPage->setText(m_row.pages);
    const std::optional<QDate> registered = Conversions::parseShortDate(m_row.registered);
    if (registered) {
        dtpRigDate->setDate(*registered);
        return;
    }
    m_dateUnknown = true;
    connect(dtpRigDate, &QDateEdit::dateChanged, this, [this] { m_dateUnknown = false; });
    m_prompter.notice(QStringLiteral("该书没有登记日期。不改动登记日期时,保存后登记日期仍然为空。"));
}

void FrmUpdateBook::cmdSave_Click()
{
    const QString number = txtBookID->text();
    const Books::BookDetails changed{number,
                                     txtBookName->text(),
                                     chosenCategoryCode(),
                                     txtBookConcern->text(),
                                     txtWriter->text(),
                                     txtPrice->text(),
                                     txtPage->text(),
                                     m_dateUnknown ? QDate() : dtpRigDate->date()};
    try {
        const Books::Outcome outcome = Books::saveChanges(number, changed);
        if (outcome != Books::Outcome::Done) {
            m_prompter.notice(Books::refusal(outcome, number));
            return;
        }
    } catch (const StoreError& error) {
        m_prompter.notice(error.message());
        return;
    }
    m_prompter.notice(QStringLiteral("保存修改完毕!"));
    emit bookListRefreshRequested();
    close();
}

void FrmUpdateBook::cmdClose_Click()
{
    emit bookListRefreshRequested();
    close();
}
