#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "import/logic/ImportKind.h"

class Clock;
class ImportPlan;
class ImportPreviewModel;
class Prompter;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class WindowStyler;

// 导入图书 / 导入读者: a CSV file of books or readers, its columns matched to
// fields (by their headings, or as the clerk maps them), every row shown with
// what will become of it and why; the good rows imported in one go, with a
// progress bar and a way to cancel; the skipped rows saved for fixing.
class FrmImport : public QWidget {
    Q_OBJECT
public:
    // The file to read or save to ("" when the clerk cancels); the real one
    // asks with the toolkit's file dialog.
    using ChooseFile = std::function<QString(QWidget* parent, bool forSaving)>;

    FrmImport(ImportKind::Kind kind, Prompter& prompter, const Clock& clock, const WindowStyler& styler,
              QWidget* parent = nullptr);
    ~FrmImport() override;

    void Form_Load();
    // Reads and checks the file and shows it.
    void openFile(const QString& path);
    // Tests choose files without a dialog.
    void setChooseFile(ChooseFile choose) { m_choose = std::move(choose); }

    QLineEdit* txtFile = nullptr;
    QPushButton* cmdChoose = nullptr;
    QTableWidget* mappingGrid = nullptr;
    QLabel* lblSummary = nullptr;
    QTableView* previewGrid = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdSaveSkipped = nullptr;
    QPushButton* cmdClose = nullptr;

    // The field box of the file's column.
    QComboBox* fieldBox(int column) const;

signals:
    // Rows were written: the lists that show them may read again.
    void imported(ImportKind::Kind kind);

public slots:
    void cmdChoose_Click();
    void cmdImport_Click();
    void cmdSaveSkipped_Click();

private:
    void buildControls();
    void showMapping();
    void mapColumn(int column);
    void showPlan();
    bool checkPlan();

    ImportKind::Kind m_kind;
    Prompter& m_prompter;
    const Clock& m_clock;
    const WindowStyler& m_styler;
    ImportPreviewModel* m_rows = nullptr;
    std::unique_ptr<ImportPlan> m_plan;
    ChooseFile m_choose;
    int m_imported = -1;  // rows written from this file, -1 before its import
};
