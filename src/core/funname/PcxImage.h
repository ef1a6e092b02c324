#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QRgb>

#include <array>
#include <optional>

namespace vbu {

// An 8-bit run-length encoded PCX picture with the palette at its end, as Quake 2 keeps its
// pictures; decoded without trusting a byte of the file.
struct PcxImage final
{
    static constexpr int headerSize = 128;
    static constexpr int paletteSize = 768;
    // Quake 2 refuses anything of 640 by 480 or more; so do we.
    static constexpr int maxWidth = 639;
    static constexpr int maxHeight = 479;

    int width = 0;
    int height = 0;
    QByteArray pixels; // width * height palette indices, row by row
    std::array<QRgb, 256> palette{};

    // Nothing when the header is not that of such a picture or the pixel data ends early.
    static std::optional<PcxImage> decode(QByteArrayView file);
};

} // namespace vbu
