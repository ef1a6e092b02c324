#pragma once

#include "core/app/LargePageAllocator.h"

#include <QtGlobal>

#include <vector>

namespace vbu {

// A count a line, with the sums over the lines before any line, where changing one line's count,
// asking for a sum and finding the line a running total reaches all take time logarithmic in the
// number of lines (a Fenwick tree). Putting lines in or taking them out means building it anew.
class PrefixSums final
{
public:
    // Counts of lines 0 to count - 1 as countOf(line) tells. The room is kept from build to build.
    template<typename CountOf> void build(qsizetype count, CountOf countOf)
    {
        m_tree.resize(size_t(count) + 1);
        for (qsizetype line = 0; line < count; ++line)
            m_tree[size_t(line) + 1] = countOf(line);
        buildTree();
    }
    void reserve(qsizetype lines) { m_tree.reserve(size_t(lines) + 1); }

    qsizetype lineCount() const { return qsizetype(m_tree.size()) - 1; }
    void add(qsizetype line, qsizetype delta);
    // The counts of the lines before line.
    qsizetype before(qsizetype line) const;
    qsizetype total() const { return before(lineCount()); }
    // The line whose count holds item number rank (from 0), counting line by line; lineCount()
    // when rank is not below the total.
    qsizetype lineOf(qsizetype rank) const;

private:
    void buildTree();

    std::vector<qsizetype, LargePageAllocator<qsizetype>> m_tree{0}; // from 1
};

} // namespace vbu
