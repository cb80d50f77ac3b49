#include "reports/logic/OverdueCsv.h"

#include <QSaveFile>

namespace OverdueCsv {

namespace {

QString field(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray line(const QStringList& cells)
{
    QStringList fields;
    for (const QString& cell : cells)
        fields << field(cell);
    return (fields.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8();
}

}  // namespace

bool write(const QString& path, const QList<OverdueLoan>& loans, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法写入文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    file.write("\xEF\xBB\xBF");
    file.write(line(OverdueList::headings()));
    for (const OverdueLoan& loan : loans)
        file.write(line(OverdueList::cells(loan)));
    if (!file.commit()) {
        *error = QStringLiteral("无法写入文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace OverdueCsv
