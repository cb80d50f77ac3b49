#pragma once

#include <QString>

// A file written under a scratch name in the target's folder and moved over
// the target in one step when it is complete, so that the target is either
// the old file (or none) or the whole new one: a cancelled or failed write,
// or a crash, never leaves a half-written target. The scratch file is
// removed when the object goes without commit().
class FileBeside {
public:
    // Reserves the scratch name (an empty file). Throws ExportError when the
    // folder cannot be written.
    explicit FileBeside(const QString& target);
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    const QString& scratchPath() const { return m_scratch; }
    const QString& target() const { return m_target; }
    // Moves the scratch file over the target (replacing an existing file, and
    // keeping its permissions). Throws ExportError when it cannot.
    void commit();

private:
    QString m_target;
    QString m_scratch;
    bool m_committed = false;
};
