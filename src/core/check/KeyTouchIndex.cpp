#include "core/check/KeyTouchIndex.h"

#include <algorithm>

namespace vbu {

void KeyTouchIndex::add(Lines &lines, qsizetype line)
{
    // A check runs down the script, so most lines come last.
    if (lines.empty() || lines.back() < line)
        lines.push_back(qint32(line));
    else
        lines.insert(std::lower_bound(lines.begin(), lines.end(), line), qint32(line));
}

void KeyTouchIndex::remove(Lines &lines, qsizetype line)
{
    const auto at = std::lower_bound(lines.begin(), lines.end(), line);
    Q_ASSERT(at != lines.end() && *at == line);
    lines.erase(at);
}

void KeyTouchIndex::shift(Lines &lines, qsizetype from, qsizetype delta)
{
    for (auto at = std::lower_bound(lines.begin(), lines.end(), from); at != lines.end(); ++at)
        *at = qint32(*at + delta);
}

void KeyTouchIndex::shift(qsizetype from, qsizetype delta)
{
    for (Lines &lines : m_touches)
        shift(lines, from, delta);
    shift(m_unbindAll, from, delta);
}

std::optional<qsizetype> KeyTouchIndex::touchBefore(int key, qsizetype line) const
{
    const Lines &lines = m_touches[size_t(key)];
    const auto at = std::lower_bound(lines.begin(), lines.end(), line);
    if (at == lines.begin())
        return std::nullopt;
    return *std::prev(at);
}

std::optional<qsizetype> KeyTouchIndex::touchFrom(int key, qsizetype line) const
{
    const Lines &lines = m_touches[size_t(key)];
    const auto at = std::lower_bound(lines.begin(), lines.end(), line);
    if (at == lines.end())
        return std::nullopt;
    return *at;
}

std::optional<qsizetype> KeyTouchIndex::unbindAllAfter(qsizetype line) const
{
    const auto at = std::upper_bound(m_unbindAll.begin(), m_unbindAll.end(), line);
    if (at == m_unbindAll.end())
        return std::nullopt;
    return *at;
}

bool KeyTouchIndex::unbindsAllBetween(qsizetype after, qsizetype before) const
{
    const std::optional<qsizetype> next = unbindAllAfter(after);
    return next && *next < before;
}

} // namespace vbu
