#pragma once

#include <QString>
#include <stdexcept>

// An export that could not be written: `message()` says so in the clerk's
// words, naming the file. Nothing is left at the target when it is thrown.
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& message);
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
