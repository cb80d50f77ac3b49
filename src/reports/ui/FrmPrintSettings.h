#pragma once

#include <QWidget>

class Prompter;
class QCheckBox;
class QComboBox;
class QPushButton;
class WindowStyler;

// 打印设置: whether the desk prints a slip after each loan, on which paper and
// to which printer; kept in the program data folder.
class FrmPrintSettings : public QWidget {
    Q_OBJECT
public:
    FrmPrintSettings(Prompter& prompter, const WindowStyler& styler, const QString& dataDir,
                     QWidget* parent = nullptr);

    // The window style, then the settings kept.
    void Form_Load();

    QCheckBox* chkSlipOnLend = nullptr;
    QComboBox* cboPaper = nullptr;
    QComboBox* cboPrinter = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void cmdSave_Click();
    void cmdClose_Click();

private:
    Prompter& m_prompter;
    const WindowStyler& m_styler;
    QString m_dataDir;
};
