#include "core/script/ScriptLines.h"

#include <algorithm>

namespace vbu {

ScriptLines::ScriptLines() : m_d(new Data) {}

ScriptLines::ScriptLines(FileItems items) : m_d(new Data)
{
    if (items.size() == 0)
        return;
    m_d->pieces.push_back(Piece{quint32(items.size()), 0, quint32(items.size())});
    m_d->file = std::make_shared<const FileItems>(std::move(items));
}

size_t ScriptLines::pieceAt(qsizetype row) const
{
    const std::vector<Piece> &pieces = m_d->pieces;
    const auto it = std::upper_bound(pieces.cbegin(), pieces.cend(), row,
                                     [](qsizetype r, const Piece &p) { return r < qsizetype(p.rowEnd); });
    return size_t(it - pieces.cbegin());
}

QByteArrayView ScriptLines::view(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < size());
    const Piece &p = m_d->pieces[pieceAt(index)];
    if (p.first & ownedFlag)
        return QByteArrayView(m_d->owned[p.first & ~ownedFlag]);
    return m_d->file->view(qsizetype(p.first) + index - (qsizetype(p.rowEnd) - qsizetype(p.count)));
}

QList<QByteArray> ScriptLines::toList() const
{
    QList<QByteArray> out;
    out.reserve(size());
    forEach([&out](qsizetype, QByteArrayView line) { out.append(line.toByteArray()); });
    return out;
}

size_t ScriptLines::split(qsizetype row)
{
    const size_t i = pieceAt(row);
    std::vector<Piece> &pieces = m_d->pieces;
    if (i == pieces.size())
        return i;
    Piece &p = pieces[i];
    const quint32 head = quint32(row) - (p.rowEnd - p.count);
    if (head == 0)
        return i;
    // Only a run of the file's items is longer than one row.
    const Piece tail{p.rowEnd, p.first + head, p.count - head};
    p.rowEnd = quint32(row);
    p.count = head;
    pieces.insert(pieces.begin() + qsizetype(i) + 1, tail);
    return i + 1;
}

void ScriptLines::shiftFrom(size_t piece, qint32 rows)
{
    std::vector<Piece> &pieces = m_d->pieces;
    for (size_t i = piece; i < pieces.size(); ++i)
        pieces[i].rowEnd += quint32(rows);
}

void ScriptLines::joinAt(size_t piece)
{
    std::vector<Piece> &pieces = m_d->pieces;
    if (piece == 0 || piece >= pieces.size())
        return;
    Piece &before = pieces[piece - 1];
    const Piece &after = pieces[piece];
    if ((before.first | after.first) & ownedFlag || before.first + before.count != after.first)
        return;
    before.count += after.count;
    before.rowEnd = after.rowEnd;
    pieces.erase(pieces.begin() + qsizetype(piece));
}

void ScriptLines::insertPiece(qsizetype row, Piece piece)
{
    const size_t i = split(row);
    piece.rowEnd = quint32(row) + piece.count;
    m_d->pieces.insert(m_d->pieces.begin() + qsizetype(i), piece);
    shiftFrom(i + 1, qint32(piece.count));
    joinAt(i + 1);
    joinAt(i);
}

ScriptLines::Piece ScriptLines::takePiece(qsizetype row)
{
    const size_t i = split(row);
    split(row + 1);
    std::vector<Piece> &pieces = m_d->pieces;
    const Piece p = pieces[i];
    pieces.erase(pieces.begin() + qsizetype(i));
    shiftFrom(i, -1);
    joinAt(i);
    return p;
}

quint32 ScriptLines::makeOwned(const QByteArray &line)
{
    Data &d = *m_d;
    if (!d.freeSlots.empty()) {
        const quint32 slot = d.freeSlots.back();
        d.freeSlots.pop_back();
        d.owned[slot] = line;
        return slot | ownedFlag;
    }
    d.owned.push_back(line);
    return quint32(d.owned.size() - 1) | ownedFlag;
}

void ScriptLines::insert(qsizetype index, const QByteArray &line)
{
    Q_ASSERT(index >= 0 && index <= size());
    insertPiece(index, Piece{0, makeOwned(line), 1});
}

void ScriptLines::replace(qsizetype index, const QByteArray &line)
{
    Q_ASSERT(index >= 0 && index < size());
    const size_t i = split(index);
    split(index + 1);
    Piece &p = m_d->pieces[i];
    if (p.first & ownedFlag)
        m_d->owned[p.first & ~ownedFlag] = line;
    else
        p.first = makeOwned(line);
}

void ScriptLines::remove(qsizetype index)
{
    Q_ASSERT(index >= 0 && index < size());
    const Piece p = takePiece(index);
    if (p.first & ownedFlag) {
        m_d->owned[p.first & ~ownedFlag] = QByteArray();
        m_d->freeSlots.push_back(p.first & ~ownedFlag);
    }
}

void ScriptLines::move(qsizetype from, qsizetype to)
{
    Q_ASSERT(from >= 0 && from < size() && to >= 0 && to < size());
    // The line keeps what holds it, file item or slot: nothing is copied.
    insertPiece(to, takePiece(from));
}

void ScriptLines::clear()
{
    // Assigning {} to a vector would keep its capacity; a fresh object gives the memory back.
    *this = ScriptLines();
}

qsizetype ScriptLines::memoryUsed() const
{
    const Data &d = *m_d;
    qsizetype bytes = (d.file ? d.file->memoryUsed() : 0) + qsizetype(d.pieces.capacity() * sizeof(Piece)) +
                      qsizetype(d.owned.capacity() * sizeof(QByteArray)) +
                      qsizetype(d.freeSlots.capacity() * sizeof(quint32));
    // Each line kept apart is an allocation of its own: count its header and the allocator's share.
    constexpr qsizetype perAllocation = 32;
    for (const QByteArray &line : d.owned) {
        if (line.capacity() > 0)
            bytes += line.capacity() + perAllocation;
    }
    return bytes;
}

} // namespace vbu
