#include "core/check/FactsBlock.h"

#include "core/app/LargePageAllocator.h"

#include <cstddef>
#include <new>

namespace vbu {

FactsBlock::FactsBlock(size_t bytes)
    : m_start(static_cast<char *>(LargePages::allocate(bytes))), m_size(bytes), m_low(m_start), m_high(m_start + bytes)
{}

FactsBlock::~FactsBlock()
{
    for (auto *facts = reinterpret_cast<LineFacts *>(m_start); facts != reinterpret_cast<LineFacts *>(m_low); ++facts) {
        std::destroy_n(facts->ownFindings, facts->findingCount);
        std::destroy_n(facts->aliasesDefined, facts->aliasCount);
        std::destroy_at(facts);
    }
    LargePages::release(m_start, m_size);
}

size_t FactsBlock::need(qsizetype findings, qsizetype touches, qsizetype aliases, qsizetype textBytes)
{
    // Each list may start a little further on, to be aligned.
    constexpr size_t slack = alignof(std::max_align_t);
    return sizeof(LineFacts) + size_t(findings) * sizeof(CheckFinding) + size_t(touches) * sizeof(LineFacts::KeyTouch) +
           size_t(aliases) * sizeof(LineCheck::AliasDefined) + size_t(textBytes) + 3 * slack;
}

LineFacts &FactsBlock::newFacts()
{
    auto *const facts = new (m_low) LineFacts;
    m_low += sizeof(LineFacts);
    Q_ASSERT(m_low <= m_high);
    return *facts;
}

} // namespace vbu
