#pragma once

#include "core/script/OpenChanges.h"

#include <algorithm>

namespace vbu {

// The rows of the list that came from a line Open changed, each tied to that line's entry.
// Only marked rows are held, in row order; the marks follow their rows as lines are put in,
// taken out and moved.
class OpenMarks final
{
public:
    // A row's mark: the index of its entry, or none.
    using Mark = qint32;
    static constexpr Mark none = -1;

    OpenMarks() = default;
    // The marks of a list just read, where row n is item n.
    explicit OpenMarks(OpenChanges changes);

    bool isEmpty() const { return m_rows.isEmpty(); }
    Mark markOf(qsizetype row) const;
    // The entry behind a mark other than none.
    const OpenChanges::Entry &entry(Mark mark) const { return m_changes.entries().at(mark); }
    // Calls each(row, mark) for the marked rows, in row order.
    template<typename Each> void forEach(Each each) const
    {
        for (const Row &r : m_rows)
            each(qsizetype(r.row), r.mark);
    }

    // A row was put in before row (row == count appends) and carries mark.
    void inserted(qsizetype row, Mark mark);
    // The row was taken out; returns the mark it had.
    Mark removed(qsizetype row);
    // The row at from was taken out and put back so that it is now at to.
    void moved(qsizetype from, qsizetype to);
    void setMark(qsizetype row, Mark mark);

private:
    struct Row
    {
        qint32 row;
        Mark mark;
    };
    // For finding the first marked row at or after a row.
    static bool before(const Row &r, qsizetype row) { return r.row < row; }
    QList<Row>::iterator lowerBound(qsizetype row)
    {
        return std::lower_bound(m_rows.begin(), m_rows.end(), row, before);
    }

    OpenChanges m_changes;
    QList<Row> m_rows;
};

} // namespace vbu
