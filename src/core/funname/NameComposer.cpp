#include "core/funname/NameComposer.h"

namespace vbu {

QByteArray NameComposer::paletteText(int code)
{
    const char byte = static_cast<char>(code & 0xff);
    return byte == 0 ? QByteArray() : QByteArray(1, byte);
}

NameComposer::Pick NameComposer::pick(int picture, const QByteArray &text)
{
    if (m_pos >= cellCount)
        return Pick::Refused;
    m_cells[static_cast<std::size_t>(m_pos)] = Cell{picture, text};
    ++m_pos;
    return Pick::Taken;
}

void NameComposer::moveTo(int cell)
{
    if (cell >= 0 && cell < cellCount)
        m_pos = cell;
}

void NameComposer::backspace()
{
    if (m_pos == 0)
        return;
    --m_pos;
    m_cells[static_cast<std::size_t>(m_pos)] = Cell{};
}

void NameComposer::clear()
{
    m_cells.fill(Cell{});
    m_pos = 0;
}

QByteArray NameComposer::name() const
{
    QByteArray joined;
    for (const Cell &c : m_cells)
        joined += c.text;
    return joined;
}

QByteArray NameComposer::nameLine(QByteArrayView quote) const
{
    QByteArray line("name ");
    line += quote;
    line += name();
    line += quote;
    return line;
}

} // namespace vbu
