#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vbu {

// The 256 characters of the game's console font as the name editor shows them: each glyph a
// 16 by 16 picture (every font pixel doubled), transparent pixels black. The pictures are made
// once per font, so handing one out costs nothing.
class ConsoleFont final
{
public:
    static constexpr int glyphCount = 256;
    static constexpr int glyphSize = 16;

    enum class Source {
        BuiltIn, // our own drawing
        Quake,   // conchars of gfx.wad, coloured by gfx/palette.lmp
        Quake2   // pics/conchars.pcx
    };

    // The font as the games keep it: 16 by 16 cells of 8 by 8 pixels in one 128 by 128 picture
    // of palette indices, glyph n at x = (n mod 16) * 8, y = (n div 16) * 8.
    struct Sheet
    {
        static constexpr int side = 128;
        static constexpr int cell = 8;

        QByteArray pixels; // side * side indices, row by row
        std::array<QRgb, 256> palette{};
        int transparent = -1; // index drawn black, or -1
    };

    // Our own font; never fails.
    static ConsoleFont builtIn();
    // The installed game's font (see GameFontFinder for where it is looked for), or the built-in
    // font when none is found or the files are damaged.
    static ConsoleFont load();
    // Like load(), from these places only.
    static ConsoleFont loadFrom(const QStringList &places);
    // load(), done once for the whole run.
    static const ConsoleFont &shared();
    // Cuts a sheet into glyphs; nothing when the sheet is not 128 by 128.
    static std::optional<ConsoleFont> fromSheet(const Sheet &sheet, Source source, const QString &path = {});

    // 256 RGB triplets as in a game palette file; the rest of the bytes is ignored.
    static std::optional<std::array<QRgb, 256>> paletteFromRgb(QByteArrayView bytes);

    Source source() const { return m_source; }
    // The pak or file the glyphs came from; empty for the built-in font.
    QString path() const { return m_path; }
    // The glyph of a code; only the low eight bits count, so a char from a line works as it is.
    const QImage &glyph(int code) const { return m_glyphs[static_cast<std::size_t>(code & 0xff)]; }

private:
    ConsoleFont() = default;

    std::array<QImage, glyphCount> m_glyphs;
    Source m_source = Source::BuiltIn;
    QString m_path;
};

} // namespace vbu
