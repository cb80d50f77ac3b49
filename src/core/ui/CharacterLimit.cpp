#include "core/ui/CharacterLimit.h"

#include <QLineEdit>

#include "core/logic/Conversions.h"

void CharacterLimit::apply(QLineEdit* box, int characters)
{
    box->setValidator(new CharacterLimit(characters, box));
}

CharacterLimit::CharacterLimit(int characters, QObject* parent) : QValidator(parent), m_characters(characters)
{
}

QValidator::State CharacterLimit::validate(QString& input, int& position) const
{
    input = Conversions::leadingCharacters(input, m_characters);
    position = qMin(position, int(input.size()));
    return Acceptable;
}
