#include "FontFiles.h"

#include <QtEndian>

namespace vbu::test::fontfiles {

namespace {

void putInt32(QByteArray &out, qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void putUInt16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

QByteArray padded(const QByteArray &name, int size)
{
    QByteArray out = name.left(size);
    out.append(size - out.size(), '\0');
    return out;
}

} // namespace

QByteArray pak(const QList<PakEntry> &entries, bool directoryFirst)
{
    const qint32 directoryLength = qint32(entries.size() * 64);
    const qint32 dataStart = directoryFirst ? 12 + directoryLength : 12;
    QByteArray data;
    QByteArray directory;
    for (const PakEntry &entry : entries) {
        directory += padded(entry.name, 56);
        putInt32(directory, qint32(dataStart + data.size()));
        putInt32(directory, qint32(entry.data.size()));
        data += entry.data;
    }
    QByteArray out = "PACK";
    putInt32(out, directoryFirst ? 12 : qint32(12 + data.size()));
    putInt32(out, directoryLength);
    out += directoryFirst ? directory + data : data + directory;
    return out;
}

QByteArray wad(const QList<WadLump> &lumps)
{
    QByteArray data;
    QByteArray table;
    for (const WadLump &lump : lumps) {
        putInt32(table, qint32(12 + data.size()));
        putInt32(table, qint32(lump.data.size()));
        putInt32(table, qint32(lump.data.size()));
        table += char(lump.type);
        table += '\0';
        table += QByteArray(2, '\0');
        table += padded(lump.name, 16);
        data += lump.data;
    }
    QByteArray out = "WAD2";
    putInt32(out, qint32(lumps.size()));
    putInt32(out, qint32(12 + data.size()));
    return out + data + table;
}

QByteArray pcx(int width, int height, const QByteArray &pixels, const QByteArray &palette, int bytesPerLine)
{
    if (bytesPerLine == 0)
        bytesPerLine = width;
    QByteArray out;
    out += char(0x0a);
    out += char(5);
    out += char(1);
    out += char(8);
    putUInt16(out, 0);
    putUInt16(out, 0);
    putUInt16(out, quint16(width - 1));
    putUInt16(out, quint16(height - 1));
    putUInt16(out, 72);
    putUInt16(out, 72);
    out += QByteArray(48, '\0');
    out += '\0';
    out += char(1);
    putUInt16(out, quint16(bytesPerLine));
    putUInt16(out, 1);
    out += QByteArray(128 - out.size(), '\0');
    for (int y = 0; y < height; ++y) {
        QByteArray row = pixels.mid(qsizetype(y) * width, width);
        row.append(bytesPerLine - width, '\0');
        for (qsizetype x = 0; x < row.size();) {
            qsizetype run = 1;
            while (x + run < row.size() && run < 63 && row[x + run] == row[x])
                ++run;
            const auto value = quint8(row[x]);
            if (run > 1 || value >= 0xc0)
                out += char(0xc0 | run);
            out += row[x];
            x += run;
        }
    }
    out += char(0x0c);
    return out + palette;
}

QByteArray palette()
{
    QByteArray out;
    for (int i = 0; i < 256; ++i) {
        out += char(i);
        out += char(255 - i);
        out += char((i * 7) & 0xff);
    }
    return out;
}

QByteArray conchars()
{
    QByteArray out(128 * 128, '\0');
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            // Runs of equal bytes for the encoder to find, plus both transparent indices.
            const int code = (y / 8) * 16 + x / 8;
            const int value = (x % 8 < 2) ? 0 : (y % 8 == 7 ? 255 : (code + (x % 8) * 3 + y % 8) & 0xff);
            out[y * 128 + x] = char(value);
        }
    }
    return out;
}

QList<PakEntry> quakeFiles()
{
    return {{"gfx.wad", wad({{"CONBACK", QByteArray(64, 'c'), 66}, {"conchars", conchars(), 68}})},
            {"gfx/palette.lmp", palette()}};
}

QList<PakEntry> quake2Files()
{
    return {{"pics/conchars.pcx", pcx(128, 128, conchars(), palette())}};
}

} // namespace vbu::test::fontfiles
