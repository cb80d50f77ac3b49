#pragma once

#include <QString>

// The maker's web addresses the About box shows and opens.
namespace MakerLinks {

// Opened by the logo.
inline const QString kHomePage = QStringLiteral("https://www.veltara.cn/");
// The maker's software page (the first address of the About box).
inline const QString kSoftwarePage = QStringLiteral("https://www.veltara.cn/shelfmark");
// The page about the window skins (the second address).
inline const QString kSkinPage = QStringLiteral("https://www.veltara.cn/skins");

}  // namespace MakerLinks
