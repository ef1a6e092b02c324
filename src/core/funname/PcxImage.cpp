#include "core/funname/PcxImage.h"

#include "core/funname/ConsoleFont.h"
#include "core/funname/GameFileBytes.h"

#include <cstring>

namespace vbu {

namespace {

// Lays the decoded byte stream, bytesPerLine bytes to a row, into the picture and drops
// the padding beyond the width. Runs may cross rows: writers differ there.
class RowFiller
{
public:
    RowFiller(PcxImage &image, qint64 bytesPerLine)
        : m_out(image.pixels.data()), m_width(image.width), m_bytesPerLine(bytesPerLine),
          m_total(bytesPerLine * image.height)
    {}

    bool full() const { return m_at >= m_total; }

    void put(char value, qint64 count)
    {
        count = std::min(count, m_total - m_at);
        while (count > 0) {
            const qint64 row = m_at / m_bytesPerLine;
            const qint64 column = m_at % m_bytesPerLine;
            const qint64 here = std::min(count, m_bytesPerLine - column);
            if (column < m_width) {
                const qint64 shown = std::min(here, m_width - column);
                std::memset(m_out + row * m_width + column, value, std::size_t(shown));
            }
            m_at += here;
            count -= here;
        }
    }

private:
    char *m_out;
    qint64 m_width;
    qint64 m_bytesPerLine;
    qint64 m_total;
    qint64 m_at = 0;
};

} // namespace

std::optional<PcxImage> PcxImage::decode(QByteArrayView file)
{
    if (file.size() < headerSize + paletteSize)
        return std::nullopt;
    const auto byte = [&](qsizetype at) { return quint8(file[at]); };
    if (byte(0) != 0x0a || byte(1) != 5 || byte(2) != 1 || byte(3) != 8 || byte(65) != 1)
        return std::nullopt;
    const int xmin = readUInt16(file, 4);
    const int ymin = readUInt16(file, 6);
    const int xmax = readUInt16(file, 8);
    const int ymax = readUInt16(file, 10);
    const int bytesPerLine = readUInt16(file, 66);
    if (xmax < xmin || ymax < ymin || xmax - xmin + 1 > maxWidth || ymax - ymin + 1 > maxHeight)
        return std::nullopt;

    PcxImage image;
    image.width = xmax - xmin + 1;
    image.height = ymax - ymin + 1;
    if (bytesPerLine < image.width)
        return std::nullopt;
    image.palette = *ConsoleFont::paletteFromRgb(file.last(paletteSize));
    image.pixels = QByteArray(qsizetype(image.width) * image.height, '\0');

    // The pixel data ends where the palette begins at the latest. The 0x0C marker before the
    // palette is not required: a whole picture never reaches it.
    const qsizetype end = file.size() - paletteSize;
    RowFiller rows(image, bytesPerLine);
    for (qsizetype at = headerSize; !rows.full(); ++at) {
        if (at >= end)
            return std::nullopt;
        const quint8 b = byte(at);
        if (b >= 0xc0) {
            if (++at >= end)
                return std::nullopt;
            rows.put(char(byte(at)), b & 0x3f);
        } else {
            rows.put(char(b), 1);
        }
    }
    return image;
}

} // namespace vbu
