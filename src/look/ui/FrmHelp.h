#pragma once

#include <QDialog>

#include "look/logic/TipFile.h"

class QCheckBox;
class QLabel;
class QPushButton;
class Prompter;
class WindowStyler;

// The quick-tips window "每日小技巧": one tip at a time from QUICKTIP.INI
// in the program data folder, the next one on request, and the start flag.
class FrmHelp : public QDialog {
    Q_OBJECT
public:
    // The window stands on its own (no parent widget).
    FrmHelp(Prompter& prompter, const WindowStyler& styler, const QString& dataDir);

    // The load steps: the window style, the start flag, the first tip, and
    // the window kept above all others.
    void Form_Load();

    QLabel* picBulb = nullptr;
    QLabel* lblHeading = nullptr;
    QLabel* tip_text = nullptr;
    QCheckBox* show_tip = nullptr;
    QPushButton* Next_Tip_Button = nullptr;
    QPushButton* Quick_Tip_OK_Button = nullptr;

public slots:
    void ShowNextTip();
    void Next_Tip_Button_Click();
    void Quick_Tip_OK_Button_Click();

private:
    void buildControls();

    const WindowStyler& m_styler;
    TipFile m_tips;
};
