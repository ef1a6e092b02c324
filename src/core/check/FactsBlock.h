#pragma once

#include "core/check/LineFacts.h"

#include <memory>
#include <span>

namespace vbu {

// Room for the facts of lines checked together, with the lists and texts they keep, in one
// allocation: a million small ones took longer than the check itself, and a large block comes in
// large pages, where the first write to each 4 KiB page would cost a fault. The facts fill the
// block from its start, what they keep from its end.
class FactsBlock final
{
public:
    explicit FactsBlock(size_t bytes);
    ~FactsBlock();
    Q_DISABLE_COPY_MOVE(FactsBlock)

    // The room a line's facts take, with lists of these lengths and a text of textBytes.
    static size_t need(qsizetype findings, qsizetype touches, qsizetype aliases, qsizetype textBytes);
    bool fits(size_t bytes) const { return size_t(m_high - m_low) >= bytes; }

    // New facts, with nothing in them; the room for them must fit.
    LineFacts &newFacts();
    // Room for count items that the last facts keep, made as T's default makes them.
    template<typename T> std::span<T> take(qsizetype count)
    {
        m_high -= size_t(count) * sizeof(T);
        m_high -= reinterpret_cast<quintptr>(m_high) % alignof(T);
        Q_ASSERT(m_high >= m_low);
        auto *const items = reinterpret_cast<T *>(m_high);
        std::uninitialized_default_construct_n(items, count);
        return {items, size_t(count)};
    }

private:
    char *m_start;
    size_t m_size;
    char *m_low;  // after the last facts
    char *m_high; // at the first item kept
};

} // namespace vbu
