#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

namespace vbu {

// For one game: the lines (from 0) that bind or unbind each key at the top level, and those that
// unbind all keys, each list in order. Lines are looked up by halving, and a change of the
// script moves the lines after it by one pass over the lists.
class KeyTouchIndex final
{
public:
    explicit KeyTouchIndex(qsizetype keyCount = 0) : m_touches(size_t(keyCount)) {}

    void addTouch(int key, qsizetype line) { add(m_touches[size_t(key)], line); }
    void removeTouch(int key, qsizetype line) { remove(m_touches[size_t(key)], line); }
    void addUnbindAll(qsizetype line) { add(m_unbindAll, line); }
    void removeUnbindAll(qsizetype line) { remove(m_unbindAll, line); }
    // Lines from line on move by delta; lines taken out of the script are removed before.
    void shift(qsizetype from, qsizetype delta);

    qsizetype keyCount() const { return qsizetype(m_touches.size()); }
    // The last line before line that touches the key.
    std::optional<qsizetype> touchBefore(int key, qsizetype line) const;
    // The first line at or after line that touches the key.
    std::optional<qsizetype> touchFrom(int key, qsizetype line) const;
    // The first line after line that unbinds all keys.
    std::optional<qsizetype> unbindAllAfter(qsizetype line) const;
    // Whether a line strictly between the two unbinds all keys.
    bool unbindsAllBetween(qsizetype after, qsizetype before) const;

private:
    using Lines = std::vector<qint32>;
    static void add(Lines &lines, qsizetype line);
    static void remove(Lines &lines, qsizetype line);
    static void shift(Lines &lines, qsizetype from, qsizetype delta);

    std::vector<Lines> m_touches; // a list a key
    Lines m_unbindAll;
};

} // namespace vbu
