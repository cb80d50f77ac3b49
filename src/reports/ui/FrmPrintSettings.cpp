#include "reports/ui/FrmPrintSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QHBoxLayout>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/logic/Prompter.h"
#include "core/ui/FormParts.h"
#include "core/ui/WindowStyler.h"
#include "reports/logic/PrintSettings.h"

FrmPrintSettings::FrmPrintSettings(Prompter& prompter, const WindowStyler& styler, const QString& dataDir,
                                   QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_styler(styler), m_dataDir(dataDir)
{
    setObjectName(QStringLiteral("FrmPrintSettings"));
    setWindowTitle(QStringLiteral("打印设置"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    chkSlipOnLend = new QCheckBox(QStringLiteral("借书时打印凭条"), this);
    chkSlipOnLend->setObjectName(QStringLiteral("chkSlipOnLend"));
    cboPaper = new QComboBox(this);
    cboPaper->setObjectName(QStringLiteral("cboPaper"));
    cboPaper->addItem(QStringLiteral("A4"), int(PrintSettings::Paper::A4));
    cboPaper->addItem(QStringLiteral("A5"), int(PrintSettings::Paper::A5));
    cboPaper->addItem(QStringLiteral("80 毫米小票"), int(PrintSettings::Paper::Receipt80));
    cboPrinter = new QComboBox(this);
    cboPrinter->setObjectName(QStringLiteral("cboPrinter"));
    cboPrinter->addItem(QStringLiteral("系统默认打印机"), QString());
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        cboPrinter->addItem(name, name);
    cboPrinter->addItem(QStringLiteral("存为 PDF 文件 (slips 文件夹)"), PrintSettings::kPdfFolder);
    cmdSave = FormParts::button(QStringLiteral("保存"), "cmdSave", this);
    cmdClose = FormParts::button(QStringLiteral("关闭"), "cmdClose", this);
    connect(cmdSave, &QPushButton::clicked, this, &FrmPrintSettings::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmPrintSettings::cmdClose_Click);

    auto* form = new QFormLayout;
    form->addRow(chkSlipOnLend);
    form->addRow(FormParts::caption(QStringLiteral("纸张:"), cboPaper, this), cboPaper);
    form->addRow(FormParts::caption(QStringLiteral("打印机:"), cboPrinter, this), cboPrinter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void FrmPrintSettings::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    const PrintSettings settings = PrintSettings::read(m_dataDir);
    chkSlipOnLend->setChecked(settings.slipOnLend);
    cboPaper->setCurrentIndex(std::max(0, cboPaper->findData(int(settings.paper))));
    const int printer = cboPrinter->findData(settings.printer);
    if (printer < 0)
        cboPrinter->addItem(settings.printer, settings.printer);  // kept, though not installed now
    cboPrinter->setCurrentIndex(printer < 0 ? cboPrinter->count() - 1 : printer);
}

void FrmPrintSettings::cmdSave_Click()
{
    PrintSettings settings;
    settings.slipOnLend = chkSlipOnLend->isChecked();
    settings.paper = PrintSettings::Paper(cboPaper->currentData().toInt());
    settings.printer = cboPrinter->currentData().toString();
    QString error;
    m_prompter.notice(settings.save(m_dataDir, &error) ? QStringLiteral("设置完毕!") : error);
}

void FrmPrintSettings::cmdClose_Click()
{
    close();
}
