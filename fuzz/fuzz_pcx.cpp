// PCX decoder on arbitrary bytes: a picture comes out whole and within bounds, or not at all.
#include "core/funname/ConsoleFont.h"
#include "core/funname/PcxImage.h"

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
    const QByteArrayView file(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<vbu::PcxImage> image = vbu::PcxImage::decode(file);
    if (!image)
        return 0;
    check(image->width >= 1 && image->width <= vbu::PcxImage::maxWidth);
    check(image->height >= 1 && image->height <= vbu::PcxImage::maxHeight);
    check(image->pixels.size() == qsizetype(image->width) * image->height);
    check(size >= vbu::PcxImage::headerSize + vbu::PcxImage::paletteSize);
    const auto *rgb = reinterpret_cast<const uchar *>(file.data() + size - vbu::PcxImage::paletteSize);
    check(image->palette[255] == qRgb(rgb[765], rgb[766], rgb[767]));

    if (image->width == vbu::ConsoleFont::Sheet::side && image->height == vbu::ConsoleFont::Sheet::side) {
        vbu::ConsoleFont::Sheet sheet;
        sheet.pixels = image->pixels;
        sheet.palette = image->palette;
        sheet.transparent = 255;
        const std::optional<vbu::ConsoleFont> font =
            vbu::ConsoleFont::fromSheet(sheet, vbu::ConsoleFont::Source::Quake2);
        check(font && font->glyph(0).size() == QSize(16, 16));
    }
    return 0;
}
