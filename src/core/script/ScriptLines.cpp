#include "core/script/ScriptLines.h"

#include <algorithm>

namespace vbu {

ScriptLines::ScriptLines() : m_d(new Data) {}

ScriptLines::ScriptLines(QByteArray buffer) : m_d(new Data)
{
    m_d->buffer = std::move(buffer);
    Q_ASSERT(m_d->buffer.size() <= maxBufferSize);
}

QByteArrayView ScriptLines::view(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < size());
    const Entry &e = m_d->entries[size_t(index)];
    if (e.length & ownedFlag)
        return QByteArrayView(m_d->owned[e.start]);
    return QByteArrayView(m_d->buffer.constData() + e.start, qsizetype(e.length));
}

QList<QByteArray> ScriptLines::toList() const
{
    QList<QByteArray> out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        out.append(at(i));
    return out;
}

void ScriptLines::appendSlice(qsizetype offset, qsizetype length)
{
    Q_ASSERT(offset >= 0 && length >= 0 && offset + length <= m_d->buffer.size());
    m_d->entries.push_back(Entry{quint32(offset), quint32(length)});
}

ScriptLines::Entry ScriptLines::makeOwned(const QByteArray &line)
{
    if (!m_d->freeSlots.empty()) {
        const quint32 slot = m_d->freeSlots.back();
        m_d->freeSlots.pop_back();
        m_d->owned[slot] = line;
        return Entry{slot, ownedFlag};
    }
    m_d->owned.push_back(line);
    return Entry{quint32(m_d->owned.size() - 1), ownedFlag};
}

void ScriptLines::releaseOwned(const Entry &entry)
{
    if (!(entry.length & ownedFlag))
        return;
    m_d->owned[entry.start] = QByteArray();
    m_d->freeSlots.push_back(entry.start);
}

void ScriptLines::insert(qsizetype index, const QByteArray &line)
{
    Q_ASSERT(index >= 0 && index <= size());
    const Entry e = makeOwned(line);
    m_d->entries.insert(m_d->entries.begin() + index, e);
}

void ScriptLines::replace(qsizetype index, const QByteArray &line)
{
    Q_ASSERT(index >= 0 && index < size());
    Entry &e = m_d->entries[size_t(index)];
    if (e.length & ownedFlag) {
        m_d->owned[e.start] = line;
        return;
    }
    e = makeOwned(line);
}

void ScriptLines::remove(qsizetype index)
{
    Q_ASSERT(index >= 0 && index < size());
    releaseOwned(m_d->entries[size_t(index)]);
    m_d->entries.erase(m_d->entries.begin() + index);
}

void ScriptLines::move(qsizetype from, qsizetype to)
{
    Q_ASSERT(from >= 0 && from < size() && to >= 0 && to < size());
    const auto first = m_d->entries.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else if (from > to)
        std::rotate(first + to, first + from, first + from + 1);
}

void ScriptLines::squeeze()
{
    // A sixteenth of slack is cheaper to keep than a copy of a million entries.
    if (m_d->entries.capacity() - m_d->entries.size() > m_d->entries.size() / 16)
        m_d->entries.shrink_to_fit();
}

void ScriptLines::clear()
{
    // Assigning {} to a vector would keep its capacity; a fresh object gives the memory back.
    *this = ScriptLines();
}

qsizetype ScriptLines::memoryUsed() const
{
    qsizetype bytes = m_d->buffer.capacity() + qsizetype(m_d->entries.capacity() * sizeof(Entry)) +
                      qsizetype(m_d->owned.capacity() * sizeof(QByteArray)) +
                      qsizetype(m_d->freeSlots.capacity() * sizeof(quint32));
    // Each line kept apart is an allocation of its own: count its header and the allocator's share.
    constexpr qsizetype perAllocation = 32;
    for (const QByteArray &line : m_d->owned) {
        if (line.capacity() > 0)
            bytes += line.capacity() + perAllocation;
    }
    return bytes;
}

} // namespace vbu
