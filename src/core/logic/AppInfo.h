#pragma once

#include <QString>

// Names and places every part of the program shares.
namespace AppInfo {

// The application title; message boxes without a title of their own show it.
inline const QString kAppTitle = QStringLiteral("澄岳图书管理系统");
// The title of an ordinary notice box.
inline const QString kNoticeTitle = QStringLiteral("提示");

// Window sizes are designed in twips, 1440 to the inch: 15 to the pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
constexpr int pixelsFromTwips(int twips)
{
    return twips / kTwipsPerPixel;
}

// Paths of the program's files: the first four relative to the data folder,
// the skins and the help text to the read-only files (see ProgramFolders).
inline const QString kDatabaseFile = QStringLiteral("mdb/Shelfmark.mdb");
inline const QString kAccountFile = QStringLiteral("dat/userdata.dat");
inline const QString kSettingFile = QStringLiteral("setting.ini");
inline const QString kTipFile = QStringLiteral("QUICKTIP.INI");
inline const QString kTypeStyleFile = QStringLiteral("style/type-style.skn");
inline const QString kLightStyleFile = QStringLiteral("style/light-hearted.skn");
inline const QString kHelpFile = QStringLiteral("readme.txt");

}  // namespace AppInfo
