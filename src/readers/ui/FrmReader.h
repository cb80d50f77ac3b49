#pragma once

#include <QWidget>

#include <functional>

#include "readers/logic/ReaderRegistry.h"

class Prompter;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WindowStyler;

// The reader window "读者资料管理": look a reader up by number, step to the
// previous or next number, add, change and delete readers. Which buttons it
// shows depends on where it was opened from (AppState::ReaderFormMode, read
// once at load): 0 look-up, 1 add the reader the lend desk typed, 2 all.
class FrmReader : public QWidget {
    Q_OBJECT
public:
    // Outer size in twips.
    static constexpr int kWidthTwips = 6450;
    static constexpr int kHeightTwips = 4125;

    // deskReaderNumber: the lend desk's reader box, copied in in mode 1.
    FrmReader(Prompter& prompter, const WindowStyler& styler, const QString& deskReaderNumber,
              QWidget* parent = nullptr);

    // The load steps: the window style, the mode's buttons, the desk's number.
    void Form_Load();

    QLineEdit* txtReaderNo = nullptr;
    QLineEdit* txtReaderName = nullptr;
    QLineEdit* txtReaderMan = nullptr;
    QLineEdit* txtReaderTel = nullptr;
    QLineEdit* txtReaderAddress = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;

signals:
    // A reader was found or added: the lend desk reloads the list for its own
    // reader box.
    void readerFound();

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Option1_Click();
    void Option2_Click();
    void txtReaderNo_KeyPress();

private:
    QWidget* buildFrame();
    QWidget* buildButtons();
    void showMode(int mode);
    Reader boxes() const;
    void clearBoxes();
    // Runs one write and tells the clerk how it went; true when it was done.
    bool report(const std::function<ReaderRegistry::Outcome()>& write, const QString& done,
                const QString& failed);

    Prompter& m_prompter;
    const WindowStyler& m_styler;
    QString m_deskReaderNumber;
};
