// WAD2 lump table and the conchars lump on arbitrary bytes, through to the glyph pictures.
#include "core/funname/ConsoleFont.h"
#include "core/funname/WadFile.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView wad(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<qint64> count = vbu::WadFile::lumpCount(wad);
    if (!count)
        return 0;
    // The table may overlap the header (the game does not mind), never run past the end.
    const qint64 table = qFromLittleEndian<qint32>(wad.data() + 8);
    check(*count >= 0 && table >= 0 && table + *count * vbu::WadFile::lumpSize <= qint64(size));
    for (qint64 i = 0; i < std::min<qint64>(*count, 64); ++i) {
        const std::optional<vbu::WadFile::Lump> lump = vbu::WadFile::lump(wad, i);
        check(lump && lump->name.size() <= vbu::WadFile::nameSize && !lump->name.contains('\0'));
    }
    check(!vbu::WadFile::lump(wad, *count));

    const QByteArray conchars = vbu::WadFile::conchars(wad);
    if (conchars.isEmpty())
        return 0;
    check(conchars.size() == vbu::WadFile::concharsSize);
    const std::optional<vbu::WadFile::Lump> lump = vbu::WadFile::find(wad, "CONCHARS");
    check(lump && conchars == wad.sliced(lump->position, vbu::WadFile::concharsSize));

    vbu::ConsoleFont::Sheet sheet;
    sheet.pixels = conchars;
    sheet.palette = *vbu::ConsoleFont::paletteFromRgb(QByteArray(768, '\x40'));
    sheet.transparent = 0;
    const std::optional<vbu::ConsoleFont> font = vbu::ConsoleFont::fromSheet(sheet, vbu::ConsoleFont::Source::Quake);
    check(font && font->glyph(255).size() == QSize(16, 16));
    return 0;
}
