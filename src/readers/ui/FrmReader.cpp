#include "readers/ui/FrmReader.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/logic/AppInfo.h"
#include "core/logic/Conversions.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "core/ui/CharacterLimit.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"

using namespace ReaderRegistry;

namespace {

// A box holding at most maxLength characters, whether typed or put in by the
// window (longer text is cut to its leading characters); 0 for no limit.
QLineEdit* textBox(const char* name, int maxLength, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        CharacterLimit::apply(box, maxLength);
    return box;
}

QRadioButton* option(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The detail under a failure message: what to do, then the engine's words.
QString detailOf(const StoreError& error)
{
    return error.message().section(QLatin1Char('\n'), 1);
}

}  // namespace

FrmReader::FrmReader(Prompter& prompter, const WindowStyler& styler, Mode mode, const QString& deskReaderNumber,
                     QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_styler(styler), m_mode(mode), m_deskReaderNumber(deskReaderNumber)
{
    setObjectName(QStringLiteral("FrmReader"));
    setWindowTitle(QStringLiteral("读者资料管理"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(buildFrame(), 1);
    layout->addWidget(buildButtons());

    const QList<QWidget*> order = {cmdFindReader, txtReaderNo,      txtReaderName, txtReaderMan, optMale,
                                   optFemale,  txtReaderTel,     txtReaderAddress, cmdAddReader,  cmdClose,
                                   cmdUpdateReader, cmdDeleteReader,         cmdPrevReader,      cmdNextReader};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    FormParts::fixOuterSize(this, kWidthTwips, kHeightTwips);
}

QWidget* FrmReader::buildFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("读者信息"), this);
    frame->setObjectName(QStringLiteral("readerFrame"));
    txtReaderNo = textBox("txtReaderNo", Reader::kNumberLength, frame);
    txtReaderName = textBox("txtReaderName", Reader::kNameLength, frame);
    txtReaderMan = textBox("txtReaderMan", Reader::kSexLength, frame);
    txtReaderTel = textBox("txtReaderTel", Reader::kTelephoneLength, frame);
    txtReaderAddress = textBox("txtReaderAddress", Reader::kDepartmentLength, frame);
    optMale = option(QStringLiteral("男"), "optMale", frame);
    optFemale = option(QStringLiteral("女"), "optFemale", frame);
    optMale->setChecked(true);
    cmdPrevReader = FormParts::button(QStringLiteral("<"), "cmdPrevReader", frame);
    cmdNextReader = FormParts::button(QStringLiteral(">"), "cmdNextReader", frame);
    cmdPrevReader->setToolTip(QStringLiteral("上一个读者"));
    cmdNextReader->setToolTip(QStringLiteral("下一个读者"));
    for (QPushButton* step : {cmdPrevReader, cmdNextReader})
        step->setFixedWidth(40);  // room for the skins' padding around the arrow

    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);
    const struct { const char* caption; QLineEdit* box; } rows[] = {
        {"读者编号:", txtReaderNo}, {"读者姓名:", txtReaderName}, {"读者性别:", txtReaderMan},
        {"联系电话:", txtReaderTel}, {"所在部门:", txtReaderAddress}};
    for (int row = 0; row < 5; ++row) {
        grid->addWidget(FormParts::caption(QString::fromUtf8(rows[row].caption), rows[row].box, frame), row, 0);
        grid->addWidget(rows[row].box, row, 1, 1, row == 0 || row == 2 ? 1 : 3);
    }
    grid->addWidget(cmdPrevReader, 0, 2);
    grid->addWidget(cmdNextReader, 0, 3);
    grid->addWidget(optMale, 2, 2);
    grid->addWidget(optFemale, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);

    connect(txtReaderNo, &QLineEdit::returnPressed, this, &FrmReader::txtReaderNo_KeyPress);
    connect(cmdPrevReader, &QPushButton::clicked, this, &FrmReader::cmdPrevReader_Click);
    connect(cmdNextReader, &QPushButton::clicked, this, &FrmReader::cmdNextReader_Click);
    // A click, also on the option already chosen, and a choice made by
    // keyboard or a screen reader's toggle write the sex box alike.
    for (auto [button, handler] : {std::pair{optMale, &FrmReader::optMale_Click},
                                   std::pair{optFemale, &FrmReader::optFemale_Click}}) {
        connect(button, &QRadioButton::clicked, this, handler);
        connect(button, &QRadioButton::toggled, this, handler);
    }
    return frame;
}

QWidget* FrmReader::buildButtons()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(8);
    cmdAddReader = FormParts::button(QStringLiteral("添加新读者"), "cmdAddReader", column);
    cmdFindReader = FormParts::button(QStringLiteral("查找读者信息"), "cmdFindReader", column);
    cmdUpdateReader = FormParts::button(QStringLiteral("修改读者信息"), "cmdUpdateReader", column);
    cmdDeleteReader = FormParts::button(QStringLiteral("删除该读者"), "cmdDeleteReader", column);
    cmdClose = FormParts::button(QStringLiteral("退出"), "cmdClose", column);
    for (QPushButton* button : {cmdAddReader, cmdFindReader, cmdUpdateReader, cmdDeleteReader, cmdClose})
        layout->addWidget(button);
    layout->addStretch(1);

    connect(cmdFindReader, &QPushButton::clicked, this, &FrmReader::cmdFindReader_Click);
    connect(cmdAddReader, &QPushButton::clicked, this, &FrmReader::cmdAddReader_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmReader::cmdClose_Click);
    connect(cmdUpdateReader, &QPushButton::clicked, this, &FrmReader::cmdUpdateReader_Click);
    connect(cmdDeleteReader, &QPushButton::clicked, this, &FrmReader::cmdDeleteReader_Click);
    return column;
}

void FrmReader::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    showMode();
    if (m_mode == Mode::AddFromDesk)
        txtReaderNo->setText(m_deskReaderNumber);
    txtReaderNo->setFocus(Qt::OtherFocusReason);
}

// Which buttons the mode shows.
void FrmReader::showMode()
{
    for (QPushButton* browse : {cmdFindReader, cmdPrevReader, cmdNextReader})
        browse->setVisible(m_mode != Mode::AddFromDesk);
    cmdAddReader->setVisible(m_mode != Mode::LookUp);
    for (QPushButton* manage : {cmdUpdateReader, cmdDeleteReader})
        manage->setVisible(m_mode == Mode::Manage);
}

Reader FrmReader::boxes() const
{
    return {txtReaderNo->text(), txtReaderName->text(), txtReaderMan->text(), txtReaderTel->text(),
            txtReaderAddress->text()};
}

void FrmReader::clearBoxes()
{
    for (QLineEdit* box : {txtReaderNo, txtReaderName, txtReaderMan, txtReaderTel, txtReaderAddress})
        box->clear();
}

// Find never stops with an error: a refusal of the store is told and the
// boxes stay as they were.
void FrmReader::cmdFindReader_Click()
{
    if (txtReaderNo->text().isEmpty()) {
        m_prompter.notice(QStringLiteral("请输入读者编号!"), AppInfo::kAppTitle);
        return;
    }
    std::optional<Reader> reader;
    try {
        reader = FindReader(txtReaderNo->text());
    } catch (const StoreError& e) {
        m_prompter.notice(e.message());
        return;
    }
    if (!reader) {
        m_prompter.notice(QStringLiteral("没有该读者信息!"));
        clearBoxes();
        return;
    }
    txtReaderName->setText(reader->name);
    txtReaderMan->setText(reader->sex);
    txtReaderTel->setText(reader->telephone);
    txtReaderAddress->setText(reader->department);
    emit readerFound();
}

void FrmReader::cmdPrevReader_Click()
{
    if (Conversions::leadingNumber(txtReaderNo->text()) <= 1)
        return;
    txtReaderNo->setText(StepReaderNumber(txtReaderNo->text(), -1));
    cmdFindReader_Click();
}

void FrmReader::cmdNextReader_Click()
{
    txtReaderNo->setText(StepReaderNumber(txtReaderNo->text(), +1));
    cmdFindReader_Click();
}

bool FrmReader::report(const std::function<Outcome()>& write, const QString& done, const QString& failed)
{
    Outcome outcome;
    try {
        outcome = write();
    } catch (const StoreError& e) {
        m_prompter.notice(failed + QLatin1Char('\n') + detailOf(e));
        return false;
    }
    if (outcome != Outcome::Done) {
        m_prompter.notice(failed + QLatin1Char('\n') + reason(outcome));
        return false;
    }
    m_prompter.notice(done);
    return true;
}

void FrmReader::cmdAddReader_Click()
{
    const Reader reader = boxes();
    if (report([&] { return AddReader(reader); }, QStringLiteral("读者资料添加完毕"),
               QStringLiteral("读者资料添加失败!")))
        emit readerFound();  // the desk shows the reader it sent here
}

void FrmReader::cmdUpdateReader_Click()
{
    const Reader reader = boxes();
    report([&] { return UpdateReader(reader); }, QStringLiteral("读者资料修改完毕!"),
           QStringLiteral("读者资料修改失败!"));
}

// A reader who still has books out is deleted only when the clerk, told how
// many, agrees; the loans themselves stay as they are.
void FrmReader::cmdDeleteReader_Click()
{
    const QString number = txtReaderNo->text();
    const QString failed = QStringLiteral("读者资料删除失败!");
    int onLoan = 0;
    try {
        onLoan = LoansOutstanding(number);
    } catch (const StoreError& e) {
        m_prompter.notice(failed + QLatin1Char('\n') + detailOf(e));
        return;
    }
    if (onLoan > 0
        && !m_prompter.question(QStringLiteral("编号%1的读者还有%2本书未归还,删除读者后这些借阅记录仍然保留。\n"
                                               "确定要删除该读者吗?").arg(number).arg(onLoan)))
        return;
    if (report([&] { return DeleteReader(number); },
               QStringLiteral("编号") + number + QStringLiteral("读者已删除!"), failed))
        clearBoxes();
}

void FrmReader::cmdClose_Click()
{
    close();
}

void FrmReader::optMale_Click()
{
    if (optMale->isChecked())
        txtReaderMan->setText(QStringLiteral("男"));
}

void FrmReader::optFemale_Click()
{
    if (optFemale->isChecked())
        txtReaderMan->setText(QStringLiteral("女"));
}

// Enter looks the reader up in every mode, also while the find button is hidden.
void FrmReader::txtReaderNo_KeyPress()
{
    cmdFindReader_Click();
}
