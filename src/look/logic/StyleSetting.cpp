#include "look/logic/StyleSetting.h"

#include <QDir>

#include <cmath>
#include <limits>

#include "core/logic/AppInfo.h"
#include "core/logic/Conversions.h"
#include "core/logic/ProfileFile.h"

namespace {

const QString kKey = QStringLiteral("LoadStyle");

QString settingFile(const QString& dataDir)
{
    return QDir(dataDir).filePath(AppInfo::kSettingFile);
}

}  // namespace

namespace StyleSetting {

int read(const QString& dataDir)
{
    const double value = Conversions::leadingNumber(ReadSetting(settingFile(dataDir), kKey));
    // "1.5" or a number beyond the range of a whole number names no style.
    if (value != std::trunc(value) || value < std::numeric_limits<int>::min()
        || value > std::numeric_limits<int>::max())
        return kNoStyle;
    return static_cast<int>(value);
}

void write(const QString& dataDir, Style style)
{
    WriteSetting(settingFile(dataDir), kKey, QString::number(static_cast<int>(style)));
}

QString skinFile(const QString& resourceDir, int style)
{
    switch (style) {
    case kTypeStyle:
        return QDir(resourceDir).filePath(AppInfo::kTypeStyleFile);
    case kLight:
        return QDir(resourceDir).filePath(AppInfo::kLightStyleFile);
    default:
        return QString();
    }
}

}  // namespace StyleSetting
