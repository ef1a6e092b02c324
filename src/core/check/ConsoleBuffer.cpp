#include "core/check/ConsoleBuffer.h"

namespace vbu {

void ConsoleBuffer::clear()
{
    m_texts.clear();
    m_size = 0;
}

ConsoleBuffer::Added ConsoleBuffer::insert(const QByteArray &text, int level, qsizetype keySuffix)
{
    // The game first puts the text alone into the emptied buffer, then copies back what waited.
    if (text.size() >= capacity)
        return Added::Refused;
    if (text.size() + m_size > capacity)
        return Added::Overflow;
    if (text.isEmpty())
        return Added::Done;
    const qsizetype suffixFrom = keySuffix > 0 ? text.size() - 1 - keySuffix : text.size();
    m_texts.push_back(Text{text, 0, level, suffixFrom, m_nextId++});
    m_size += text.size();
    return Added::Done;
}

ConsoleBuffer::Command ConsoleBuffer::takeCommand()
{
    Text &front = m_texts.back();
    const char *bytes = front.bytes.constData();
    const qsizetype size = front.bytes.size();
    const qsizetype from = front.pos;
    qsizetype end = from;
    bool quoted = false;
    for (; end < size; ++end) {
        const char c = bytes[end];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\n' || (c == ';' && !quoted))
            break;
    }
    Command out{front.bytes.sliced(from, end - from), front.level, 0};
    if (end > front.suffixFrom)
        out.keySuffix = end - std::max(from, front.suffixFrom);
    const qsizetype next = std::min(end + 1, size);
    m_size -= next - from;
    front.pos = next;
    if (next == size)
        m_texts.pop_back();
    return out;
}

ConsoleBuffer::Mark ConsoleBuffer::mark() const
{
    if (m_texts.empty())
        return {};
    return Mark{m_texts.size(), m_texts.back().id, m_texts.back().pos};
}

bool ConsoleBuffer::holds(const Mark &mark) const
{
    if (mark.depth == 0)
        return true;
    if (m_texts.size() < mark.depth)
        return false;
    const Text &text = m_texts[mark.depth - 1];
    return text.id == mark.id && text.pos == mark.pos;
}

} // namespace vbu
