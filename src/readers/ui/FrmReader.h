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
// shows depends on where it was opened from: its mode.
class FrmReader : public QWidget {
    Q_OBJECT
public:
    // Outer size in twips.
    static constexpr int kWidthTwips = 6450;
    static constexpr int kHeightTwips = 4125;

    enum class Mode {
        LookUp,       // 读者查询: find and step through readers
        AddFromDesk,  // the lend desk's 添加新读者: add the reader the desk typed
        Manage,       // 读者管理: everything
    };

    // deskReaderNumber: the lend desk's reader box, copied in when adding from the desk.
    FrmReader(Prompter& prompter, const WindowStyler& styler, Mode mode, const QString& deskReaderNumber,
              QWidget* parent = nullptr);

    // The load steps: the window style, the mode's buttons, the desk's number.
    void Form_Load();

    QLineEdit* txtReaderNo = nullptr;
    QLineEdit* txtReaderName = nullptr;
    QLineEdit* txtReaderMan = nullptr;
    QLineEdit* txtReaderTel = nullptr;
    QLineEdit* txtReaderAddress = nullptr;
    QRadioButton* optMale = nullptr;
    QRadioButton* optFemale = nullptr;
    QPushButton* cmdFindReader = nullptr;
    QPushButton* cmdPrevReader = nullptr;
    QPushButton* cmdAddReader = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdUpdateReader = nullptr;
    QPushButton* cmdDeleteReader = nullptr;
    QPushButton* cmdNextReader = nullptr;

signals:
    // A reader was found or added: the lend desk reloads the list for its own
    // reader box.
    void readerFound();

public slots:
    void cmdFindReader_Click();
    void cmdPrevReader_Click();
    void cmdAddReader_Click();
    void cmdClose_Click();
    void cmdUpdateReader_Click();
    void cmdDeleteReader_Click();
    void cmdNextReader_Click();
    void optMale_Click();
    void optFemale_Click();
    void txtReaderNo_KeyPress();

private:
    QWidget* buildFrame();
    QWidget* buildButtons();
    void showMode();
    Reader boxes() const;
    void clearBoxes();
    // Runs one write and tells the clerk how it went; true when it was done.
    bool report(const std::function<ReaderRegistry::Outcome()>& write, const QString& done,
                const QString& failed);

    Prompter& m_prompter;
    const WindowStyler& m_styler;
    Mode m_mode;
    QString m_deskReaderNumber;
};
