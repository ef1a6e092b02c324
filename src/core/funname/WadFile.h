#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace vbu {

// Quake's WAD2 picture archive (gfx.wad), read from memory without trusting a byte of it.
class WadFile final
{
public:
    static constexpr int headerSize = 12;
    static constexpr int lumpSize = 32;
    static constexpr int nameSize = 16;
    // The console font: 128 by 128 palette indices, no header.
    static constexpr qsizetype concharsSize = 128 * 128;

    struct Lump
    {
        QByteArray name; // up to the first NUL, at most 16 bytes
        qint64 position = 0;
        qint64 diskSize = 0;
        qint64 size = 0;
        int type = 0;
        int compression = 0;
    };

    // How many lumps the table holds; nothing when the header or the table is damaged.
    static std::optional<qint64> lumpCount(QByteArrayView wad);
    // Lump index of the table (from 0), or nothing.
    static std::optional<Lump> lump(QByteArrayView wad, qint64 index);
    // The first lump of that name, any case, as Quake searches.
    static std::optional<Lump> find(QByteArrayView wad, QByteArrayView name);
    // The bytes of the conchars lump; empty when it is missing, compressed, not 16,384 bytes
    // long or reaching past the end of the file. Its type is not looked at: files disagree.
    static QByteArray conchars(QByteArrayView wad);
};

} // namespace vbu
