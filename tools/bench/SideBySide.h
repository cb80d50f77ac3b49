#pragma once

#include <QString>
#include <functional>
#include <optional>

// Runs an operation through our layer and the same work through SQLite's own
// interface, turn about, and prints the median of each, their ratio and
// whether the target is met. Taking turns makes both sides meet the same
// moments of a busy machine, so the ratio holds where absolute times drift.
class SideBySide {
public:
    struct Target {
        std::optional<double> ratio;   // ours / raw at most
        std::optional<double> millis;  // ours at most, in milliseconds
    };

    // op(i) runs the i-th time, i from 0 to runs - 1.
    void compare(const QString& name, int runs, const Target& target, const std::function<void(int)>& ours,
                 const std::function<void(int)>& raw);
    // Medians measured elsewhere, in microseconds, printed as compare() does.
    void result(const QString& name, int runs, const Target& target, double oursMicros, double rawMicros);
    // A figure with no engine-alone counterpart, against its limit.
    void figure(const QString& name, double value, double limit, const QString& unit);
    // A heading line for the figures that follow.
    void section(const QString& title);
    // A line of its own (sizes, settings).
    void note(const QString& text);

    int unmet() const { return m_unmet; }
    int measured() const { return m_measured; }

private:
    void verdict(bool met);
    int m_unmet = 0;
    int m_measured = 0;
};
