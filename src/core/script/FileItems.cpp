#include "core/script/FileItems.h"

#include "core/script/ByteScan.h"

#include <algorithm>
#include <cstring>

namespace vbu {

FileItems::FileItems(QByteArray bytes, bool commasCut) : m_bytes(std::move(bytes)), m_commasCut(commasCut)
{
    Q_ASSERT(m_bytes.size() <= maxSize);
    // Real scripts have lines of twenty-odd bytes; squeeze() trims a wrong guess.
    m_codes.reserve(size_t(m_bytes.size() / 16));
}

const FileItems::Apart &FileItems::apart(qsizetype item) const
{
    const auto it = std::lower_bound(m_apart.cbegin(), m_apart.cend(), item,
                                     [](const Apart &a, qsizetype i) { return qsizetype(a.item) < i; });
    Q_ASSERT(it != m_apart.cend() && qsizetype(it->item) == item);
    return *it;
}

qsizetype FileItems::stride(qsizetype item) const
{
    const quint8 s = m_codes[size_t(item)] & strideMask;
    return s == keptApart ? qsizetype(apart(item).stride) : s;
}

qsizetype FileItems::delimiterEnd(qsizetype pos) const
{
    const char *const data = m_bytes.constData();
    return firstOf(data + pos, data + m_bytes.size(), '\n', '\r', m_commasCut ? ',' : '\n') - data;
}

qsizetype FileItems::startOf(qsizetype item) const
{
    Q_ASSERT(item >= 0 && item < size());
    qsizetype pos = m_checkpoints[size_t(item / checkpointStep)];
    for (qsizetype i = item - item % checkpointStep; i < item; ++i)
        pos += stride(i);
    return pos;
}

QByteArrayView FileItems::view(qsizetype item) const
{
    return viewAt(item, startOf(item));
}

QByteArrayView FileItems::viewAt(qsizetype item, qsizetype pos) const
{
    const quint8 code = m_codes[size_t(item)];
    const char *const start = m_bytes.constData() + pos;
    if ((code & strideMask) == keptApart) {
        const Apart &a = apart(item);
        return a.joined.isNull() ? QByteArrayView(start, qsizetype(a.length)) : QByteArrayView(a.joined);
    }
    if (code & quoteEnds) {
        const void *close = std::memchr(start, '"', size_t(m_bytes.size() - pos));
        return QByteArrayView(start, close ? static_cast<const char *>(close) : m_bytes.constData() + m_bytes.size());
    }
    return QByteArrayView(start, delimiterEnd(pos) - pos);
}

void FileItems::appendJoined(qsizetype begin, const QByteArray &text)
{
    append(begin, keptApart);
    m_apart.push_back(Apart{quint32(size() - 1), 0, 0, text});
    m_lastEnd = begin;
}

void FileItems::squeeze()
{
    // A sixteenth of slack is cheaper to keep than a copy.
    if (m_codes.capacity() - m_codes.size() > m_codes.size() / 16)
        m_codes.shrink_to_fit();
    m_checkpoints.shrink_to_fit();
    m_apart.shrink_to_fit();
}

qsizetype FileItems::memoryUsed() const
{
    qsizetype bytes = m_bytes.capacity() + qsizetype(m_codes.capacity()) +
                      qsizetype(m_checkpoints.capacity() * sizeof(quint32)) +
                      qsizetype(m_apart.capacity() * sizeof(Apart));
    for (const Apart &a : m_apart)
        bytes += a.joined.capacity();
    return bytes;
}

} // namespace vbu
