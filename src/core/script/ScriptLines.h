#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSharedData>

#include <vector>

namespace vbu {

// The lines of a script, as bytes. Lines read from a file stay slices of that file's single
// buffer (eight bytes of index a line); lines added or changed later are kept apart. A
// million-line script thus costs little more than its file.
//
// A copy shares the lines until one of the two changes, so it is a snapshot that costs nothing
// up front: a check can read it on another thread while the list goes on being edited.
class ScriptLines final
{
public:
    // The largest buffer the index can address.
    static constexpr qsizetype maxBufferSize = 0x7fffffff;

    ScriptLines();
    // Takes the bytes that later appendSlice calls point into.
    explicit ScriptLines(QByteArray buffer);

    qsizetype size() const { return qsizetype(m_d->entries.size()); }
    bool isEmpty() const { return m_d->entries.empty(); }

    // Valid until the next change of this object.
    QByteArrayView view(qsizetype index) const;
    QByteArray at(qsizetype index) const { return view(index).toByteArray(); }
    QList<QByteArray> toList() const;

    void reserve(qsizetype lines) { m_d->entries.reserve(size_t(lines)); }
    // Gives back index room that appends reserved but did not use.
    void squeeze();
    // A line made of buffer bytes [offset, offset + length).
    void appendSlice(qsizetype offset, qsizetype length);
    void append(const QByteArray &line) { insert(size(), line); }
    void insert(qsizetype index, const QByteArray &line);
    void replace(qsizetype index, const QByteArray &line);
    void remove(qsizetype index);
    // Takes the line at from out and puts it back so that it ends at index to.
    void move(qsizetype from, qsizetype to);
    void clear();

    // Bytes held for the lines: buffer, index and the lines kept apart.
    qsizetype memoryUsed() const;

private:
    static constexpr quint32 ownedFlag = 0x80000000u;
    struct Entry
    {
        quint32 start;  // buffer offset, or slot in owned when length has ownedFlag
        quint32 length; // slice length, or ownedFlag
    };
    static_assert(sizeof(Entry) == 8);

    struct Data : QSharedData
    {
        QByteArray buffer;
        std::vector<Entry> entries;
        std::vector<QByteArray> owned;
        std::vector<quint32> freeSlots;
    };

    Entry makeOwned(const QByteArray &line);
    void releaseOwned(const Entry &entry);

    QSharedDataPointer<Data> m_d;
};

} // namespace vbu
