#include "reports/logic/PrintSettings.h"

#include <QDir>
#include <QSettings>

namespace {

QString paperName(PrintSettings::Paper paper)
{
    switch (paper) {
    case PrintSettings::Paper::A4:
        return QStringLiteral("A4");
    case PrintSettings::Paper::A5:
        return QStringLiteral("A5");
    case PrintSettings::Paper::Receipt80:
        break;
    }
    return QStringLiteral("Receipt80");
}

}  // namespace

PrintSettings PrintSettings::read(const QString& dataDir)
{
    const QSettings file(QDir(dataDir).filePath(kFile), QSettings::IniFormat);
    PrintSettings settings;
    settings.slipOnLend = file.value(QStringLiteral("slip/onLend"), false).toBool();
    const QString paper = file.value(QStringLiteral("slip/paper")).toString();
    settings.paper = paper == QLatin1String("A4")   ? Paper::A4
                     : paper == QLatin1String("A5") ? Paper::A5
                                                    : Paper::Receipt80;
    settings.printer = file.value(QStringLiteral("slip/printer")).toString();
    return settings;
}

bool PrintSettings::save(const QString& dataDir, QString* error) const
{
    QSettings file(QDir(dataDir).filePath(kFile), QSettings::IniFormat);
    file.setValue(QStringLiteral("slip/onLend"), slipOnLend);
    file.setValue(QStringLiteral("slip/paper"), paperName(paper));
    file.setValue(QStringLiteral("slip/printer"), printer);
    file.sync();
    if (file.status() != QSettings::NoError) {
        *error = QStringLiteral("无法写入打印设置文件 %1").arg(QDir::toNativeSeparators(file.fileName()));
        return false;
    }
    return true;
}
