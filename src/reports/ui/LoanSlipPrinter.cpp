#include "reports/ui/LoanSlipPrinter.h"

#include <QDateTime>
#include <QDir>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include "core/logic/Conversions.h"

namespace LoanSlipPrinter {

namespace {

QPageSize pageSize(PrintSettings::Paper paper)
{
    switch (paper) {
    case PrintSettings::Paper::A4:
        return QPageSize(QPageSize::A4);
    case PrintSettings::Paper::A5:
        return QPageSize(QPageSize::A5);
    case PrintSettings::Paper::Receipt80:
        break;
    }
    return QPageSize(QSizeF(80, 120), QPageSize::Millimeter, QStringLiteral("80 毫米小票"));
}

QStringList lines(const LoanSlip& slip)
{
    return {QStringLiteral("借书凭条"),
            QStringLiteral("读者: %1 (%2)").arg(slip.readerName, slip.readerNumber),
            QStringLiteral("书籍编号: %1").arg(slip.bookNumber),
            QStringLiteral("书籍名称: %1").arg(slip.title),
            QStringLiteral("借书日期: %1").arg(Conversions::shortDate(slip.lendDate)),
            QStringLiteral("应还日期: %1").arg(slip.dueDate ? Conversions::shortDate(*slip.dueDate)
                                                           : QStringLiteral("类别不详")),
            QStringLiteral("还可借阅: %1 册").arg(slip.booksAllowed ? QString::number(*slip.booksAllowed)
                                                                : QStringLiteral("不详"))};
}

}  // namespace

bool paint(QPagedPaintDevice* device, const LoanSlip& slip)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const int margin = device->width() / 14;
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    int y = margin;
    const QStringList text = lines(slip);
    for (qsizetype i = 0; i < text.size(); ++i) {
        font.setPointSize(i == 0 ? 12 : 9);
        font.setBold(i == 0);
        painter.setFont(font);
        const QRect box(margin, y, device->width() - 2 * margin, device->height() - y);
        const QRect used = painter.boundingRect(box, Qt::TextWordWrap, text[i]);
        painter.drawText(box, Qt::TextWordWrap, text[i]);
        y += used.height() + (i == 0 ? used.height() / 2 : 0);
    }
    return painter.end();
}

bool print(const LoanSlip& slip, const PrintSettings& settings, const QString& dataDir, QString* error)
{
    if (settings.printer == PrintSettings::kPdfFolder) {
        const QDir folder(QDir(dataDir).filePath(PrintSettings::kSlipsFolder));
        if (!folder.exists() && !QDir().mkpath(folder.path())) {
            *error = QStringLiteral("无法建立文件夹 %1").arg(QDir::toNativeSeparators(folder.path()));
            return false;
        }
        const QString file = folder.filePath(QStringLiteral("凭条-%1-%2.pdf")
                                                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmsszzz")),
                                                      QString(slip.bookNumber).replace(QLatin1Char('/'), QLatin1Char('_'))));
        QPdfWriter pdf(file);
        pdf.setPageSize(pageSize(settings.paper));
        pdf.setResolution(300);
        if (paint(&pdf, slip))
            return true;
        *error = QStringLiteral("无法写入文件 %1").arg(QDir::toNativeSeparators(file));
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!settings.printer.isEmpty())
        printer.setPrinterName(settings.printer);
    printer.setPageSize(pageSize(settings.paper));
    if (!printer.isValid() || !paint(&printer, slip)) {
        *error = settings.printer.isEmpty() ? QStringLiteral("没有可用的打印机")
                                            : QStringLiteral("打印机 %1 无法使用").arg(settings.printer);
        return false;
    }
    return true;
}

}  // namespace LoanSlipPrinter
