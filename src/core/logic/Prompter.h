#pragma once

#include <QString>

#include "core/logic/AppInfo.h"

// Every message box and input box the program shows goes through one Prompter,
// so that windows and helpers can be driven by a script in tests.
class Prompter {
public:
    enum class Icon { None, Stop };

    virtual ~Prompter() = default;

    // A modal notice with an OK button only.
    virtual void notice(const QString& text, const QString& title = AppInfo::kNoticeTitle,
                        Icon icon = Icon::None) = 0;
    // A modal question with OK and Cancel; true on OK.
    virtual bool question(const QString& text, const QString& title = AppInfo::kNoticeTitle) = 0;
    // An input box with OK and Cancel; Cancel yields "".
    virtual QString input(const QString& prompt, const QString& title,
                          const QString& defaultText = QString()) = 0;
    // An input box whose text is masked as it is typed (a password); Cancel
    // yields "". Where nothing is shown (a script), it is an input box.
    virtual QString secret(const QString& prompt, const QString& title) { return input(prompt, title); }
};
