#include "look/logic/TipFile.h"

#include <QDir>

#include "core/logic/AppInfo.h"
#include "core/logic/Conversions.h"
#include "core/logic/ProfileFile.h"

namespace {
const QString kSection = QStringLiteral("TIP");
const QString kStart = QStringLiteral("START");
const QString kCurrent = QStringLiteral("CURRENT");
const QString kUnknown = QStringLiteral("unknown");
}  // namespace

TipFile::TipFile(const QString& dataDir, Prompter& prompter)
    : m_path(QDir(dataDir).filePath(AppInfo::kTipFile)), m_prompter(prompter)
{
}

QString TipFile::entry(const QString& key) const
{
    return ReadTipEntry(m_path, kSection, key, m_prompter);
}

QString TipFile::startFlag() const
{
    return entry(kStart).trimmed();
}

bool TipFile::showsAtStart() const
{
    return startFlag() == QLatin1String("T");
}

void TipFile::saveStartFlag(bool showAtStart)
{
    WriteTipEntry(m_path, kSection, kStart,
                  showAtStart ? QStringLiteral("T") : QStringLiteral("F"), m_prompter);
}

QString TipFile::nextTip()
{
    const QString current = entry(kCurrent);
    const QString tip = entry(current);
    // The number is read as a number text is read everywhere in the program
    // ("abc" and "unknown" count as 0), so a lost CURRENT starts again at 1.
    QString next = Conversions::numberText(Conversions::leadingNumber(current) + 1);
    if (entry(next) == kUnknown)
        next = QStringLiteral("1");
    WriteTipEntry(m_path, kSection, kCurrent, next, m_prompter);
    return tip;
}
