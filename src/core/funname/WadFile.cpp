#include "core/funname/WadFile.h"

#include "core/funname/GameFileBytes.h"

namespace vbu {

std::optional<qint64> WadFile::lumpCount(QByteArrayView wad)
{
    if (wad.size() < headerSize || !wad.startsWith("WAD2"))
        return std::nullopt;
    const qint64 count = readInt32(wad, 4);
    const qint64 table = readInt32(wad, 8);
    if (count < 0 || table < 0 || table > wad.size() || count > (wad.size() - table) / lumpSize)
        return std::nullopt;
    return count;
}

std::optional<WadFile::Lump> WadFile::lump(QByteArrayView wad, qint64 index)
{
    const std::optional<qint64> count = lumpCount(wad);
    if (!count || index < 0 || index >= *count)
        return std::nullopt;
    const QByteArrayView raw = wad.sliced(readInt32(wad, 8) + index * lumpSize, lumpSize);
    Lump lump;
    lump.position = readInt32(raw, 0);
    lump.diskSize = readInt32(raw, 4);
    lump.size = readInt32(raw, 8);
    lump.type = quint8(raw[12]);
    lump.compression = quint8(raw[13]);
    const QByteArrayView name = raw.sliced(lumpSize - nameSize);
    const qsizetype end = name.indexOf('\0');
    lump.name = (end < 0 ? name : name.first(end)).toByteArray();
    return lump;
}

std::optional<WadFile::Lump> WadFile::find(QByteArrayView wad, QByteArrayView name)
{
    const std::optional<qint64> count = lumpCount(wad);
    if (!count)
        return std::nullopt;
    for (qint64 i = 0; i < *count; ++i) {
        std::optional<Lump> found = lump(wad, i);
        if (found && sameNameNoCase(found->name, name))
            return found;
    }
    return std::nullopt;
}

QByteArray WadFile::conchars(QByteArrayView wad)
{
    const std::optional<Lump> found = find(wad, "conchars");
    if (!found || found->compression != 0 || found->size != concharsSize || found->diskSize < concharsSize ||
        found->position < 0 || found->position > wad.size() - concharsSize)
        return {};
    return wad.sliced(found->position, concharsSize).toByteArray();
}

} // namespace vbu
