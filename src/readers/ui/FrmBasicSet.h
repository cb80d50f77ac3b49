#pragma once

#include <QWidget>

class Prompter;
class QLineEdit;
class QPushButton;
class QTabWidget;
class WindowStyler;

// The lending-rules window "基本设置": the most books one reader may have out
// and the fine per overdue day, each on its own tab, saved together.
class FrmBasicSet : public QWidget {
    Q_OBJECT
public:
    // Outer size in twips.
    static constexpr int kWidthTwips = 5790;
    static constexpr int kHeightTwips = 3405;

    FrmBasicSet(Prompter& prompter, const WindowStyler& styler, QWidget* parent = nullptr);

    // The load steps: the window style, then the stored rules into the boxes.
    void Form_Load();

    QTabWidget* SSTab1 = nullptr;
    QLineEdit* txtBook = nullptr;
    QLineEdit* txtFakuan = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void cmdSave_Click();
    void cmdClose_Click();

private:
    QWidget* ruleTab(const QString& before, QLineEdit* box, const QString& after);

    Prompter& m_prompter;
    const WindowStyler& m_styler;
};
