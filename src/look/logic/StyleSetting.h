#pragma once

#include <QString>

// The saved window style (setting.ini, key LoadStyle): 0 the system look,
// 1 "经典传奇" (style/type-style.skn), 2 "轻松一刻" (style/light-hearted.skn).
namespace StyleSetting {

enum Style { kSystem = 0, kTypeStyle = 1, kLight = 2 };

// The stored value read as a number (a text without a leading number, a
// missing file or key: 0). Any number is returned as read, even one that
// names no style.
int read(const QString& programDir);
// Writes the value as "0", "1" or "2" (a read-only file is left alone).
void write(const QString& programDir, Style style);
// The skin file of a style beside the program; "" for the system look.
QString skinFile(const QString& programDir, int style);

}  // namespace StyleSetting
