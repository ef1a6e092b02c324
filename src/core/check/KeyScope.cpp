#include "core/check/KeyScope.h"

namespace vbu {

std::optional<qsizetype> KeyScope::lineOf(int key) const
{
    const Slot &slot = m_slots[size_t(key)];
    if (slot.round != m_round)
        return std::nullopt;
    return slot.line;
}

void KeyScope::bind(int key, qsizetype line)
{
    m_slots[size_t(key)] = {m_round, line};
}

} // namespace vbu
