#include "core/check/PrefixSums.h"

#include <bit>

namespace vbu {

void PrefixSums::buildTree()
{
    const size_t size = m_tree.size();
    for (size_t i = 1; i < size; ++i) {
        const size_t parent = i + (i & (~i + 1));
        if (parent < size)
            m_tree[parent] += m_tree[i];
    }
}

void PrefixSums::add(qsizetype line, qsizetype delta)
{
    if (delta == 0)
        return;
    for (size_t i = size_t(line) + 1; i < m_tree.size(); i += i & (~i + 1))
        m_tree[i] += delta;
}

qsizetype PrefixSums::before(qsizetype line) const
{
    qsizetype sum = 0;
    for (auto i = size_t(line); i > 0; i -= i & (~i + 1))
        sum += m_tree[i];
    return sum;
}

qsizetype PrefixSums::lineOf(qsizetype rank) const
{
    // Down from the widest step: the most lines whose counts together stay at or below rank.
    size_t lines = 0;
    for (size_t step = std::bit_floor(m_tree.size() - 1); step > 0; step /= 2) {
        if (lines + step < m_tree.size() && m_tree[lines + step] <= rank) {
            lines += step;
            rank -= m_tree[lines];
        }
    }
    return qsizetype(lines);
}

} // namespace vbu
