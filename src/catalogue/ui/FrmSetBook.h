#pragma once

#include <QWidget>

class Prompter;
class QDataWidgetMapper;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class WindowStyler;

// The category window "设置图书类别": every category in a grid, the current
// one in three boxes, and add, change and delete around a small edit mode.
class FrmSetBook : public QWidget {
    Q_OBJECT
public:
    // Outer size in twips.
    static constexpr int kWidthTwips = 7710;
    static constexpr int kHeightTwips = 4530;

    enum Mode : qint16 { Idle = 0, Adding = 1, Changing = 2 };

    FrmSetBook(Prompter& prompter, const WindowStyler& styler, QWidget* parent = nullptr);

    // The load steps: idle, the window style, the grid with its first row current.
    void Form_Load();
    qint16 EditMode() const { return m_editMode; }

    QLineEdit* txtTypeID = nullptr;
    QLineEdit* txtTypeName = nullptr;
    QLineEdit* txtDay = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdModify = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdClose = nullptr;
    QTableView* categoriesGrid = nullptr;

public slots:
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdDel_Click();
    void cmdClose_Click();

private:
    QGroupBox* buildControls();
    void layOut(QGroupBox* frame);
    // The grid's rows from the store; `code` becomes current when listed,
    // otherwise the first row.
    void loadGrid(const QString& code = QString());
    void setCurrentRow(int row);
    void showStored(const QString& code);
    // "保存" and "取消" done: the code box and the four buttons back on.
    void leaveEditing();
    void enterEditing();

    Prompter& m_prompter;
    const WindowStyler& m_styler;
    QStandardItemModel* m_rows = nullptr;
    QDataWidgetMapper* m_mapper = nullptr;
    qint16 m_editMode = Idle;
    // The category this window added last: a further save of it changes
    // that row instead of adding a second one.
    QString m_addedCode;
};
