#include "FontFiles.h"

#include <QtEndian>

namespace vbu::test::fontfiles {

namespace {

template<typename T> void put(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

} // namespace

QByteArray pak(const QList<Entry> &entries, bool directoryFirst)
{
    const auto directoryLength = qint32(entries.size() * 64);
    const qint32 dataStart = directoryFirst ? 12 + directoryLength : 12;
    QByteArray data;
    QByteArray directory;
    for (const Entry &entry : entries) {
        directory += entry.name.leftJustified(56, '\0', true);
        put(directory, qint32(dataStart + data.size()));
        put(directory, qint32(entry.data.size()));
        data += entry.data;
    }
    QByteArray out = "PACK";
    put(out, directoryFirst ? 12 : qint32(12 + data.size()));
    put(out, directoryLength);
    return out + (directoryFirst ? directory + data : data + directory);
}

QByteArray wad(const QList<Entry> &lumps)
{
    QByteArray data;
    QByteArray table;
    for (const Entry &lump : lumps) {
        put(table, qint32(12 + data.size()));
        put(table, qint32(lump.data.size())); // on disk
        put(table, qint32(lump.data.size()));
        table += QByteArray("\x44\0\0\0", 4); // type, no compression, padding
        table += lump.name.leftJustified(16, '\0', true);
        data += lump.data;
    }
    QByteArray out = "WAD2";
    put(out, qint32(lumps.size()));
    put(out, qint32(12 + data.size()));
    return out + data + table;
}

QByteArray pcx(int width, int height, const QByteArray &pixels, const QByteArray &palette, int bytesPerLine)
{
    if (bytesPerLine == 0)
        bytesPerLine = width;
    // Maker, version 5, run-length coded, 8 bits; the window and 72 dpi; one plane.
    QByteArray out("\x0a\x05\x01\x08", 4);
    for (const int field : {0, 0, width - 1, height - 1, 72, 72})
        put(out, quint16(field));
    out += QByteArray(49, '\0');
    out += char(1);
    put(out, quint16(bytesPerLine));
    put(out, quint16(1));
    out = out.leftJustified(128, '\0');
    for (int y = 0; y < height; ++y) {
        const QByteArray row = pixels.mid(qsizetype(y) * width, width).leftJustified(bytesPerLine, '\0');
        for (qsizetype x = 0; x < row.size();) {
            qsizetype run = 1;
            while (x + run < row.size() && run < 63 && row[x + run] == row[x])
                ++run;
            if (run > 1 || quint8(row[x]) >= 0xc0)
                out += char(0xc0 | run);
            out += row[x];
            x += run;
        }
    }
    return out + '\x0c' + palette;
}

QByteArray palette()
{
    QByteArray out;
    for (int i = 0; i < 256; ++i) {
        const char rgb[] = {char(i), char(255 - i), char((i * 7) & 0xff)};
        out.append(rgb, 3);
    }
    return out;
}

QByteArray conchars()
{
    QByteArray out(128 * 128, '\0');
    for (int i = 0; i < out.size(); ++i) {
        const int x = i % 128;
        const int y = i / 128;
        // Runs of equal bytes for the encoder to find, short and whole rows, plus both transparent
        // indices.
        out[i] = char(y % 8 == 7 ? 255 : x % 8 < 2 ? 0 : ((y / 8) * 16 + x / 8 + (x % 8) * 3 + y % 8) & 0xff);
    }
    return out;
}

QList<Entry> quakeFiles()
{
    return {{"gfx.wad", wad({{"CONBACK", QByteArray(64, 'c')}, {"conchars", conchars()}})},
            {"gfx/palette.lmp", palette()}};
}

} // namespace vbu::test::fontfiles
