#pragma once

#include <QString>
#include <stdexcept>

// A statement the database refused. Carries what was being done (in the
// clerk's words) and the engine's own error text.
class StoreError : public std::runtime_error {
public:
    StoreError(const QString& action, const QString& engineText);

    const QString& action() const { return m_action; }
    const QString& engineText() const { return m_engineText; }
    // The text a window shows: what failed, then the engine's words.
    QString message() const;

private:
    QString m_action;
    QString m_engineText;
};
