#include "export/ui/ExportRun.h"

#include <QProgressDialog>
#include <atomic>

#include "core/logic/OffThreadWork.h"
#include "core/logic/Prompter.h"
#include "core/logic/StoreError.h"
#include "export/logic/ExportError.h"
#include "export/logic/RowSource.h"
#include "export/logic/TableExport.h"

namespace ExportRun {

namespace {
const QString kTitle = QStringLiteral("导出");
}  // namespace

bool run(QWidget* parent, Prompter& prompter, const ExportTarget& target, const MakeRows& rows, qint64 total)
{
    QProgressDialog progress(QStringLiteral("正在导出…"), QStringLiteral("取消"), 0, total > 0 ? int(total) : 0,
                             parent);
    progress.setObjectName(QStringLiteral("exportProgress"));
    progress.setWindowTitle(kTitle);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    progress.setMinimumWidth(360);
    progress.show();
    std::atomic<bool> cancelled = false;
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] {
        cancelled = true;
        progress.setLabelText(QStringLiteral("正在取消…"));
    });
    OffThreadWork work;
    QObject::connect(&work, &OffThreadWork::progressed, &progress, [&](int done) {
        if (cancelled)
            return;
        if (total > 0)
            progress.setValue(done);
        progress.setLabelText(QStringLiteral("已写出 %1 行…").arg(done));
    });
    qint64 written = 0;
    bool complete = false;
    QString failure;
    try {
        work.run(
            kTitle,
            [&](const OffThreadWork::Report& report) {
                std::unique_ptr<RowSource> source = rows();
                complete = TableExport::write(
                    *source, target,
                    [&](qint64 done) {
                        written = done;
                        report(int(done));
                    },
                    [&] { return cancelled.load(); });
            },
            OffThreadWork::Input::Passed);
    } catch (const ExportError& error) {
        failure = error.message();
    } catch (const StoreError& error) {
        failure = error.message();
    }
    progress.close();
    if (!failure.isEmpty()) {
        prompter.notice(QStringLiteral("导出失败，没有写出文件。\n%1").arg(failure), kTitle, Prompter::Icon::Stop);
        return false;
    }
    if (!complete)
        return false;
    prompter.notice(QStringLiteral("已导出 %1 行到 %2。").arg(written).arg(target.path), kTitle);
    return true;
}

}  // namespace ExportRun
