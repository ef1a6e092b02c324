// Pak directory reader on arbitrary bytes: every entry it reads must be exactly the bytes the
// directory names, and nothing outside the file may be touched.
#include "core/funname/PakFile.h"
#include "core/funname/PcxImage.h"
#include "core/funname/WadFile.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

constexpr qint64 maxRead = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::unique_ptr<vbu::PakFile> pak = vbu::PakFile::fromBytes(bytes);
    if (!pak)
        return 0;
    using Names = vbu::PakFile::Names;
    check(pak->entries().size() <= vbu::PakFile::maxEntries);
    for (const vbu::PakFile::Entry &entry : pak->entries()) {
        check(entry.name.size() <= vbu::PakFile::nameSize && !entry.name.contains('\0'));
        const vbu::PakFile::Entry *exact = pak->find(entry.name, Names::CaseSensitive);
        const vbu::PakFile::Entry *anyCase = pak->find(entry.name.toUpper(), Names::CaseInsensitive);
        check(exact && exact->name == entry.name && exact <= &entry);
        check(anyCase && anyCase <= exact);

        const std::optional<QByteArray> contents = pak->read(entry, maxRead);
        const bool inside = entry.offset >= 0 && entry.length >= 0 && entry.length <= maxRead &&
                            entry.offset + entry.length <= qint64(size);
        check(contents.has_value() == inside);
        if (!contents)
            continue;
        check(*contents == bytes.mid(entry.offset, entry.length));
        // What the font loader does with the entries it looks for.
        if (entry.name == "gfx.wad") {
            const QByteArray conchars = vbu::WadFile::conchars(*contents);
            check(conchars.isEmpty() || conchars.size() == vbu::WadFile::concharsSize);
        } else if (entry.name.compare("pics/conchars.pcx", Qt::CaseInsensitive) == 0) {
            const std::optional<vbu::PcxImage> image = vbu::PcxImage::decode(*contents);
            check(!image || image->pixels.size() == qsizetype(image->width) * image->height);
        }
    }
    return 0;
}
