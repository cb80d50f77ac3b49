#pragma once

#include <QString>

class Prompter;

// The quick-tip file QUICKTIP.INI in the program data folder: section "TIP"
// with the start flag "START" ("T" shows the tips when the main window
// starts), the number of the tip to show next "CURRENT", and the tips "1",
// "2", … .
//
// Every read and write goes to the file in the data folder (an installed
// program lays a copy of its own tips there first), so the start flag and
// the tips always come from one file, wherever the program was started
// from. Missing entries read as "unknown"; an entry present with an empty
// value and a file that cannot be written are reported through the
// prompter by the profile helpers.
class TipFile {
public:
    TipFile(const QString& dataDir, Prompter& prompter);

    const QString& path() const { return m_path; }

    // The start flag as stored, without blanks around it.
    QString startFlag() const;
    // True when the start flag is exactly "T" (case matters: "t" is not).
    bool showsAtStart() const;
    // Stores the start flag "T" or "F".
    void saveStartFlag(bool showAtStart);

    // The tip CURRENT names (the text "unknown" when there is no such tip),
    // and CURRENT moved on to the following tip, back to 1 after the last.
    QString nextTip();

private:
    QString entry(const QString& key) const;

    QString m_path;
    Prompter& m_prompter;
};
