#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

namespace vbu {

// Which keys a run of commands has bound, and on which line: a slot for each key the check
// tells apart, so that binding, unbinding and forgetting them all take the same short time
// whatever the script holds.
class KeyScope final
{
public:
    explicit KeyScope(qsizetype keyCount) : m_slots(size_t(keyCount)) {}

    std::optional<qsizetype> lineOf(int key) const;
    void bind(int key, qsizetype line);
    void unbind(int key) { m_slots[size_t(key)].round = 0; }
    // unbindall: every slot of an earlier round counts as free.
    void clear() { ++m_round; }

private:
    struct Slot
    {
        quint64 round = 0;
        qsizetype line = 0;
    };
    std::vector<Slot> m_slots;
    quint64 m_round = 1;
};

} // namespace vbu
