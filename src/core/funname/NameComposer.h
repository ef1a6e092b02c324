#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>

namespace vbu {

// The player name being put together in the name editor: 15 cells, each with the glyph picked
// for it (or none) and the text it adds (one byte, or nothing), and namePos(), the cell the next
// pick fills. namePos() 15 means the name is full.
class NameComposer final
{
public:
    static constexpr int cellCount = 15;
    static constexpr int noPicture = -1;

    struct Cell
    {
        int picture = noPicture; // glyph code shown, or noPicture
        QByteArray text;         // one byte, or empty
    };

    enum class Pick { Taken, Refused };

    // What a palette code adds to the name: its own byte; code 0 only shows its glyph, since a
    // NUL would end the line in the game.
    static QByteArray paletteText(int code);

    // Fills the cell at namePos(), typing over what it held; refused once all 15 are filled.
    Pick pick(int picture, const QByteArray &text);
    Pick pick(int code) { return pick(code, paletteText(code)); }
    // Puts the cursor on any cell, also an empty one after the end of the name.
    void moveTo(int cell);
    // Empties the cell before the cursor and steps back onto it; nothing at the start.
    void backspace();
    // All cells empty, cursor at the start.
    void clear();

    int namePos() const { return m_pos; }
    // The cell the marker stands under: the next one to fill, or the last one when full.
    int marker() const { return m_pos < cellCount ? m_pos : cellCount - 1; }
    const Cell &cell(int k) const { return m_cells.at(static_cast<std::size_t>(k)); }
    // The cell texts in order; empty cells add nothing.
    QByteArray name() const;
    // "name ", quote, the name, quote. The bytes go as they are: nothing escaped or trimmed.
    QByteArray nameLine(QByteArrayView quote) const;

private:
    std::array<Cell, cellCount> m_cells{};
    int m_pos = 0;
};

} // namespace vbu
