#pragma once

#include <QValidator>

class QLineEdit;

// Holds a text box to a number of characters, whether the clerk types or
// pastes them or the window puts them in: longer text is cut to its leading
// characters. Characters, not UTF-16 units: one outside the basic plane
// counts as one and is never cut in half (the box's own maximum length
// would leave half of it, which the store cannot keep).
class CharacterLimit : public QValidator {
public:
    // Installs a limit of `characters` on the box.
    static void apply(QLineEdit* box, int characters);

    CharacterLimit(int characters, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    int m_characters;
};
