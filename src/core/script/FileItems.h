#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

namespace vbu {

// The items read from one file: the file's own bytes, and about one byte an item to find them.
// Each item is kept as the distance from its start to the next item's start; where it ends is
// found again from its bytes, as the reader found it (the first delimiter, or the closing double
// quote). Items that cannot be told so (long, joined from two pieces, cut short) are kept apart,
// and every sixteenth item's start is kept, so an item is found by adding at most fifteen steps.
// Built once by the reader, then only read, from any number of threads.
class FileItems final
{
public:
    // Where a slice ends, as the reader cut it.
    enum class End : quint8 {
        Delimiter, // at the first line end (or comma, when commas cut) from its start
        Quote,     // at the first double quote from its start
        Given      // anywhere else
    };

    // The largest file the starts can address.
    static constexpr qsizetype maxSize = 0x7fffffff;

    // Takes the bytes the items are cut from; commas end a Delimiter item when commasCut.
    FileItems(QByteArray bytes, bool commasCut);

    qsizetype size() const { return qsizetype(m_codes.size()); }
    QByteArrayView view(qsizetype item) const;
    // Calls fn(view) for the items [first, end) in order: a step an item, where view() takes up
    // to sixteen.
    template<typename Fn> void forEach(qsizetype first, qsizetype end, Fn &&fn) const;

    // Items are added in the order of their starts in the bytes.
    void appendSlice(qsizetype begin, qsizetype end, End how);
    // An item that is not one slice of the bytes; begin is where it starts in them.
    void appendJoined(qsizetype begin, const QByteArray &text);
    // Gives back room that appending reserved but did not use.
    void squeeze();

    qsizetype memoryUsed() const;

private:
    static constexpr qsizetype checkpointStep = 16;
    static constexpr quint8 quoteEnds = 0x80;
    static constexpr quint8 strideMask = 0x7f; // the rest of a code: the stride, or kept apart
    static constexpr quint8 keptApart = strideMask;

    struct Apart
    {
        quint32 item;
        quint32 stride;
        quint32 length;
        QByteArray joined; // null for a slice
    };

    void append(qsizetype begin, quint8 code);
    const Apart &apart(qsizetype item) const;
    qsizetype stride(qsizetype item) const;
    qsizetype delimiterEnd(qsizetype pos) const;
    qsizetype startOf(qsizetype item) const;
    QByteArrayView viewAt(qsizetype item, qsizetype pos) const;

    QByteArray m_bytes;
    bool m_commasCut;
    std::vector<quint8> m_codes;
    std::vector<quint32> m_checkpoints; // the start of every checkpointStep-th item
    std::vector<Apart> m_apart;         // in item order
    qsizetype m_lastStart = 0;
    qsizetype m_lastEnd = 0;
};

// Inline: the reader calls these once an item, a million times for a large file.
inline void FileItems::append(qsizetype begin, quint8 code)
{
    const qsizetype item = size();
    if (item > 0) {
        // The item before learns its stride now that its successor's start is known.
        const qsizetype s = begin - m_lastStart;
        quint8 &before = m_codes.back();
        if ((before & strideMask) == keptApart)
            m_apart.back().stride = quint32(s);
        else if (s < keptApart)
            before |= quint8(s);
        else {
            before = keptApart;
            m_apart.push_back(Apart{quint32(item - 1), quint32(s), quint32(m_lastEnd - m_lastStart), {}});
        }
    }
    if (item % checkpointStep == 0)
        m_checkpoints.push_back(quint32(begin));
    m_codes.push_back(code);
    m_lastStart = begin;
}

inline void FileItems::appendSlice(qsizetype begin, qsizetype end, End how)
{
    Q_ASSERT(begin >= m_lastStart && begin <= end && end <= m_bytes.size());
    Q_ASSERT(how != End::Delimiter || delimiterEnd(begin) == end);
    append(begin, how == End::Given ? keptApart : how == End::Quote ? quoteEnds : 0);
    if (how == End::Given)
        m_apart.push_back(Apart{quint32(size() - 1), 0, quint32(end - begin), {}});
    m_lastEnd = end;
}

template<typename Fn> void FileItems::forEach(qsizetype first, qsizetype end, Fn &&fn) const
{
    if (first >= end)
        return;
    qsizetype pos = startOf(first);
    for (qsizetype item = first;; ++item) {
        fn(viewAt(item, pos));
        if (item + 1 == end)
            return;
        pos += stride(item);
    }
}

} // namespace vbu
