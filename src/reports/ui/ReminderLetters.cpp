#include "reports/ui/ReminderLetters.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "core/logic/Conversions.h"

namespace ReminderLetters {

namespace {

const QString kFontFamily = QStringLiteral("WenQuanYi Micro Hei");

QFont font(int points, bool bold = false)
{
    QFont f(kFontFamily);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

// Writes lines down the page from `y`; returns the next line's top.
class Lines {
public:
    Lines(QPainter& painter, int left, int width) : m_painter(painter), m_left(left), m_width(width) {}
    void write(const QString& text, const QFont& font, int gap = 0)
    {
        m_painter.setFont(font);
        const QFontMetrics metrics(font, m_painter.device());
        const QRect box(m_left, m_y, m_width, metrics.height() * 4);
        const QRect used = m_painter.boundingRect(box, Qt::TextWordWrap, text);
        m_painter.drawText(box, Qt::TextWordWrap, text);
        m_y += used.height() + gap;
    }
    void skip(int height) { m_y += height; }
    void start(int y) { m_y = y; }

private:
    QPainter& m_painter;
    int m_left;
    int m_width;
    int m_y = 0;
};

void paintLetter(QPainter& painter, const QRect& page, const Letter& letter, const Options& options)
{
    const int margin = page.width() / 12;
    Lines lines(painter, page.left() + margin, page.width() - 2 * margin);
    const QFontMetrics body(font(11), painter.device());
    lines.start(page.top() + margin);
    lines.write(QStringLiteral("图书催还通知单"), font(16, true), body.height());
    const QString name = letter.readerName.isEmpty() ? letter.readerNumber
                                                     : letter.readerName + QStringLiteral(" (") + letter.readerNumber + ')';
    lines.write(QStringLiteral("读者: ") + name, font(11));
    lines.write(QStringLiteral("部门: ") + letter.department, font(11), body.height() / 2);
    lines.write(QStringLiteral("您借阅的以下图书已经超过借阅期限, 请尽快归还:"), font(11), body.height() / 2);
    if (options.countOnly) {
        lines.write(QStringLiteral("超期图书 %1 册").arg(letter.loans.size()), font(11));
    } else {
        for (const OverdueLoan& loan : letter.loans)
            lines.write(QStringLiteral("%1 《%2》 应还日期 %3, 超出 %4 天, 罚款 %5 元")
                            .arg(loan.bookNumber, loan.title, Conversions::shortDate(*loan.dueDate))
                            .arg(loan.daysOver)
                            .arg(Conversions::numberText(loan.fine)),
                        font(10));
    }
    lines.skip(body.height() / 2);
    lines.write(QStringLiteral("罚款合计: %1 元").arg(Conversions::numberText(letter.total)), font(11, true),
                body.height() * 2);
    lines.write(QStringLiteral("________________ 图书馆"), font(11));
    lines.write(QStringLiteral("日期: %1年%2月%3日")
                    .arg(options.date.year())
                    .arg(options.date.month())
                    .arg(options.date.day()),
                font(11));
}

}  // namespace

QList<Letter> letters(const QList<OverdueLoan>& loans)
{
    QList<Letter> result;
    for (const OverdueLoan& loan : loans) {
        if (loan.unknown())
            continue;
        if (result.isEmpty() || !OverdueList::sameReader(result.last().loans.constLast(), loan))
            result.append({loan.readerNumber, loan.readerName, loan.department, {}, 0});
        result.last().loans.append(loan);
        result.last().total += loan.fine;
    }
    for (Letter& letter : result)
        letter.total = Conversions::moneySum(letter.total);
    return result;
}

bool paint(QPagedPaintDevice* device, const QList<Letter>& letters, const Options& options)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QRect page(0, 0, device->width(), device->height());
    for (qsizetype i = 0; i < letters.size(); ++i) {
        if (i > 0 && !device->newPage())
            return false;
        paintLetter(painter, page, letters[i], options);
    }
    return painter.end();
}

bool writePdf(const QString& path, const QList<Letter>& letters, const Options& options, QString* error)
{
    // Written beside the target and moved over it: a failed drawing leaves no half file.
    const QString partial = path + QStringLiteral(".part");
    bool painted = false;
    {
        QPdfWriter pdf(partial);
        pdf.setPageSize(QPageSize(QPageSize::A5));
        pdf.setResolution(300);
        pdf.setTitle(QStringLiteral("图书催还通知单"));
        pdf.setCreator(QStringLiteral("Shelfmark"));
        painted = paint(&pdf, letters, options);
    }
    if (!painted || (QFileInfo::exists(path) && !QFile::remove(path)) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        *error = QStringLiteral("无法写入文件 %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace ReminderLetters
