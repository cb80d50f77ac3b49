#pragma once

#include <QList>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

// splitmix64: small, fast and the same on every platform, so a fixed seed
// makes the same demo library on every machine.
class Dice {
public:
    explicit Dice(quint64 seed) : m_state(seed) {}
    // 0 <= result < bound
    int below(int bound) { return int(next() % quint64(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const QList<T>& list) { return list.at(below(int(list.size()))); }
    // Mostly the first entries of a list, now and then any: index i comes up
    // about in proportion to 1 / (i + 1), as words and publishers do.
    int skewed(int size)
    {
        // The inverse of the harmonic weights' running sum, close enough for a demo.
        const double u = double(next() >> 11) / double(1ull << 53);
        const int i = int(std::exp(u * std::log(double(size) + 1.0))) - 1;
        return std::min(std::max(i, 0), size - 1);
    }

private:
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    quint64 m_state;
};
