#pragma once

#include <QString>
#include <stdexcept>

class QSqlError;

// A statement the database refused. Carries what was being done (in the
// clerk's words) and the engine's own error text. Refusals the clerk can do
// something about (the file is busy with another desk, the disk is full, the
// file is read-only) are told apart, so the message says what to do.
class StoreError : public std::runtime_error {
public:
    enum class Cause {
        Other,     // the engine's words say it
        Busy,      // another desk or program holds the file longer than we wait
        DiskFull,  // no room left on the disk
        DiskFault, // the system refused to read or write the file
        ReadOnly,  // the file or its folder cannot be written
        Damaged,   // the file is not a database or is damaged
        ServerLost,  // the library's server cannot be reached (down, restarting, network)
    };

    StoreError(const QString& action, const QString& engineText, Cause cause = Cause::Other);
    StoreError(const QString& action, const QSqlError& error);

    const QString& action() const { return m_action; }
    const QString& engineText() const { return m_engineText; }
    Cause cause() const { return m_cause; }
    // The text a window shows: what failed, what to do about it where there
    // is something to do, then the engine's words.
    QString message() const;

private:
    QString m_action;
    QString m_engineText;
    Cause m_cause;
};
