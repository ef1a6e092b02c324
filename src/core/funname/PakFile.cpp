#include "core/funname/PakFile.h"

#include "core/app/BoundedFile.h"
#include "core/funname/GameFileBytes.h"

#include <QBuffer>
#include <QFile>

namespace vbu {

PakFile::PakFile(std::unique_ptr<QIODevice> device) : m_device(std::move(device)) {}

PakFile::~PakFile() = default;

std::unique_ptr<PakFile> PakFile::open(const QString &path)
{
    auto file = std::make_unique<QFile>();
    if (BoundedFile::open(path, *file) != BoundedFile::Status::Ok)
        return nullptr;
    return openDevice(std::move(file));
}

std::unique_ptr<PakFile> PakFile::fromBytes(const QByteArray &bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    if (!buffer->open(QIODevice::ReadOnly))
        return nullptr;
    return openDevice(std::move(buffer));
}

std::unique_ptr<PakFile> PakFile::openDevice(std::unique_ptr<QIODevice> device)
{
    std::unique_ptr<PakFile> pak(new PakFile(std::move(device)));
    if (!pak->readDirectory())
        return nullptr;
    return pak;
}

bool PakFile::readDirectory()
{
    m_size = m_device->size();
    if (m_size < headerSize || !m_device->seek(0))
        return false;
    const QByteArray header = m_device->read(headerSize);
    if (header.size() != headerSize || !header.startsWith("PACK"))
        return false;
    const qint64 offset = readInt32(header, 4);
    const qint64 length = readInt32(header, 8);
    // The games drop a partial entry at the end of the directory; so do we.
    const qint64 count = length / entrySize;
    if (offset < 0 || length < 0 || count > maxEntries || offset + count * entrySize > m_size)
        return false;
    if (count == 0)
        return true;
    if (!m_device->seek(offset))
        return false;
    const QByteArray directory = m_device->read(count * entrySize);
    if (directory.size() != count * entrySize)
        return false;

    m_entries.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const QByteArrayView raw = QByteArrayView(directory).sliced(i * entrySize, entrySize);
        const QByteArrayView name = raw.first(nameSize);
        const qsizetype end = name.indexOf('\0');
        Entry entry;
        entry.name = (end < 0 ? name : name.first(end)).toByteArray();
        entry.offset = readInt32(raw, nameSize);
        entry.length = readInt32(raw, nameSize + 4);
        m_entries.append(std::move(entry));
    }
    return true;
}

const PakFile::Entry *PakFile::find(QByteArrayView name, Names names) const
{
    for (const Entry &entry : m_entries) {
        if (names == Names::CaseSensitive ? entry.name == name : sameNameNoCase(entry.name, name))
            return &entry;
    }
    return nullptr;
}

std::optional<QByteArray> PakFile::read(const Entry &entry, qint64 maxLength) const
{
    if (entry.offset < 0 || entry.length < 0 || entry.length > maxLength || entry.offset > m_size ||
        entry.length > m_size - entry.offset)
        return std::nullopt;
    if (!m_device->seek(entry.offset))
        return std::nullopt;
    QByteArray bytes = m_device->read(entry.length);
    if (bytes.size() != entry.length)
        return std::nullopt;
    return bytes;
}

} // namespace vbu
