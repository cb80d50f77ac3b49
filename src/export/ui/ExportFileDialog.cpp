#include "export/ui/ExportFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include "core/logic/Prompter.h"

namespace ExportFileDialog {

namespace {
QString s_lastFolder;

QString suffixOf(const QString& filter)
{
    return filter == xlsxFilter() ? QStringLiteral("xlsx") : QStringLiteral("csv");
}
}  // namespace

QString xlsxFilter()
{
    return QStringLiteral("Excel 工作簿 (*.xlsx)");
}

QString csvUtf8Filter()
{
    return QStringLiteral("CSV 文件，UTF-8 编码 (*.csv)");
}

QString csvGb18030Filter()
{
    return QStringLiteral("CSV 文件，GB18030 编码 (*.csv)");
}

std::optional<ExportTarget> choose(QWidget* parent, Prompter& prompter, const QString& name,
                                   const QString& sheetName)
{
    QFileDialog dialog(parent, QStringLiteral("导出"));
    dialog.setObjectName(QStringLiteral("exportFileDialog"));
    // Qt's own dialog: the same on every desktop, in Chinese, and replacing a
    // file is asked by us.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({xlsxFilter(), csvUtf8Filter(), csvGb18030Filter()});
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    dialog.setDirectory(s_lastFolder.isEmpty() ? QDir::homePath() : s_lastFolder);
    dialog.selectFile(name + QStringLiteral(".xlsx"));
    // Another type chosen: the name in the box takes its suffix.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(suffixOf(filter));
        if (auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            const QFileInfo typed(box->text());
            if (!typed.completeBaseName().isEmpty())
                box->setText(typed.completeBaseName() + QLatin1Char('.') + suffixOf(filter));
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;

    ExportTarget target;
    target.path = dialog.selectedFiles().constFirst();
    target.sheetName = sheetName;
    const QString filter = dialog.selectedNameFilter();
    const QString suffix = QFileInfo(target.path).suffix().toLower();
    target.format = suffix == QLatin1String("xlsx") ? ExportFormat::Xlsx
                    : suffix == QLatin1String("csv") ? ExportFormat::Csv
                    : filter == xlsxFilter()         ? ExportFormat::Xlsx
                                                     : ExportFormat::Csv;
    target.encoding = filter == csvGb18030Filter() ? CsvEncoding::Gb18030 : CsvEncoding::Utf8WithBom;
    s_lastFolder = QFileInfo(target.path).absolutePath();
    if (QFileInfo::exists(target.path)
        && !prompter.question(QStringLiteral("文件 %1 已经存在，要用导出的内容替换它吗？").arg(target.path)))
        return std::nullopt;
    return target;
}

}  // namespace ExportFileDialog
