#pragma once

#include "core/script/FileItems.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSharedData>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace vbu {

// The lines of a script, as bytes: runs of the items read from a file, which stay the file's
// own bytes, and lines added or changed later, kept apart. The runs are a short list, so a line
// is found by a binary search over it and an edit touches the runs after it, not the lines; a
// million-line script thus costs little more than its file.
//
// A copy shares the lines until one of the two changes, so it is a snapshot that costs nothing
// up front: a check can read it on another thread while the list goes on being edited.
class ScriptLines final
{
public:
    ScriptLines();
    explicit ScriptLines(FileItems items);

    qsizetype size() const { return m_d->pieces.empty() ? 0 : qsizetype(m_d->pieces.back().rowEnd); }
    bool isEmpty() const { return m_d->pieces.empty(); }

    // Valid until the next change of this object.
    QByteArrayView view(qsizetype index) const;
    QByteArray at(qsizetype index) const { return view(index).toByteArray(); }
    // Calls fn(index, view) for the lines [first, end) in order; cheaper than view() a line.
    template<typename Fn> void forEach(qsizetype first, qsizetype end, Fn &&fn) const;
    template<typename Fn> void forEach(Fn &&fn) const { forEach(0, size(), std::forward<Fn>(fn)); }
    QList<QByteArray> toList() const;

    void append(const QByteArray &line) { insert(size(), line); }
    void insert(qsizetype index, const QByteArray &line);
    void replace(qsizetype index, const QByteArray &line);
    void remove(qsizetype index);
    // Takes the line at from out and puts it back so that it ends at index to.
    void move(qsizetype from, qsizetype to);
    void clear();

    // Bytes held for the lines: the file's items, the runs and the lines kept apart.
    qsizetype memoryUsed() const;

private:
    static constexpr quint32 ownedFlag = 0x80000000u;
    // Rows [rowEnd - count, rowEnd): items first.. of the file, or (count 1) the line in slot
    // first & ~ownedFlag of owned.
    struct Piece
    {
        quint32 rowEnd;
        quint32 first;
        quint32 count;
    };

    struct Data : QSharedData
    {
        std::shared_ptr<const FileItems> file;
        std::vector<Piece> pieces;
        std::vector<QByteArray> owned;
        std::vector<quint32> freeSlots;
    };

    // The first piece that ends after row.
    size_t pieceAt(qsizetype row) const;
    // Cuts the piece holding row so that one begins there; returns that piece (or the end).
    size_t split(qsizetype row);
    void insertPiece(qsizetype row, Piece piece);
    Piece takePiece(qsizetype row);
    void shiftFrom(size_t piece, qint32 rows);
    // Makes one run of the piece and the one before it when they are neighbouring file items.
    void joinAt(size_t piece);
    quint32 makeOwned(const QByteArray &line);

    QSharedDataPointer<Data> m_d;
};

template<typename Fn> void ScriptLines::forEach(qsizetype first, qsizetype end, Fn &&fn) const
{
    for (size_t i = first < end ? pieceAt(first) : m_d->pieces.size(); i < m_d->pieces.size() && first < end; ++i) {
        const Piece &p = m_d->pieces[i];
        const qsizetype pieceStart = qsizetype(p.rowEnd) - qsizetype(p.count);
        const qsizetype stop = std::min(end, qsizetype(p.rowEnd));
        if (p.first & ownedFlag) {
            fn(first, QByteArrayView(m_d->owned[p.first & ~ownedFlag]));
        } else {
            qsizetype row = first;
            const qsizetype offset = qsizetype(p.first) - pieceStart;
            m_d->file->forEach(first + offset, stop + offset, [&](QByteArrayView line) { fn(row++, line); });
        }
        first = stop;
    }
}

} // namespace vbu
