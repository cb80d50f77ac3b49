#pragma once

#include <QString>

// The saved window style (setting.ini, key LoadStyle): 0 the system look,
// 1 "经典传奇" (style/type-style.skn), 2 "轻松一刻" (style/light-hearted.skn).
namespace StyleSetting {

enum Style { kSystem = 0, kTypeStyle = 1, kLight = 2 };
// What read() gives for a stored number that is not a whole number ("1.5"):
// like any other number outside 0..2 it names no style.
constexpr int kNoStyle = -1;

// The stored value read as a number (a text without a leading number, a
// missing file or key: 0). Any whole number is returned as read, even one
// that names no style.
int read(const QString& dataDir);
// Writes the value as "0", "1" or "2" (a read-only file is left alone).
void write(const QString& dataDir, Style style);
// The skin file of a style among the read-only files; "" for the system look.
QString skinFile(const QString& resourceDir, int style);

}  // namespace StyleSetting
