#include "core/funname/ConsoleFont.h"

#include "core/funname/BuiltInFont.h"
#include "core/funname/GameFontFinder.h"

namespace vbu {

ConsoleFont ConsoleFont::builtIn()
{
    // The built-in sheet is always well formed.
    return *fromSheet(BuiltInFont::sheet(), Source::BuiltIn);
}

ConsoleFont ConsoleFont::load()
{
    return loadFrom(GameFontFinder::places());
}

ConsoleFont ConsoleFont::loadFrom(const QStringList &places)
{
    if (const std::optional<GameFontFinder::Found> found = GameFontFinder::find(places)) {
        if (std::optional<ConsoleFont> font = fromSheet(found->sheet, found->source, found->path))
            return *std::move(font);
    }
    return builtIn();
}

const ConsoleFont &ConsoleFont::shared()
{
    static const ConsoleFont font = load();
    return font;
}

std::optional<ConsoleFont> ConsoleFont::fromSheet(const Sheet &sheet, Source source, const QString &path)
{
    if (sheet.pixels.size() != Sheet::side * Sheet::side)
        return std::nullopt;

    // Glyphs are opaque: what the game leaves transparent shows as the black of the palette.
    std::array<QRgb, 256> colours;
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = int(i) == sheet.transparent ? qRgb(0, 0, 0) : (0xff000000 | sheet.palette[i]);

    ConsoleFont font;
    font.m_source = source;
    font.m_path = path;
    const auto *pixels = reinterpret_cast<const uchar *>(sheet.pixels.constData());
    constexpr int scale = glyphSize / Sheet::cell;
    for (int code = 0; code < glyphCount; ++code) {
        QImage image(glyphSize, glyphSize, QImage::Format_RGB32);
        const int left = (code % 16) * Sheet::cell;
        const int top = (code / 16) * Sheet::cell;
        for (int y = 0; y < glyphSize; ++y) {
            const uchar *row = pixels + (top + y / scale) * Sheet::side + left;
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < glyphSize; ++x)
                line[x] = colours[row[x / scale]];
        }
        font.m_glyphs[std::size_t(code)] = image;
    }
    return font;
}

std::optional<std::array<QRgb, 256>> ConsoleFont::paletteFromRgb(QByteArrayView bytes)
{
    if (bytes.size() < 768)
        return std::nullopt;
    std::array<QRgb, 256> palette;
    const auto *rgb = reinterpret_cast<const uchar *>(bytes.data());
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return palette;
}

} // namespace vbu
