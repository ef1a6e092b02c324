#include "core/script/OpenMarks.h"

namespace vbu {

OpenMarks::OpenMarks(OpenChanges changes) : m_changes(std::move(changes))
{
    const QList<OpenChanges::Entry> &entries = m_changes.entries();
    qsizetype rows = 0;
    for (const OpenChanges::Entry &e : entries)
        rows += e.itemCount;
    m_rows.reserve(rows);
    for (Mark mark = 0; mark < Mark(entries.size()); ++mark) {
        const OpenChanges::Entry &e = entries.at(mark);
        for (qint32 item = e.firstItem; item < e.firstItem + e.itemCount; ++item)
            m_rows.append(Row{item, mark});
    }
}

OpenMarks::Mark OpenMarks::markOf(qsizetype row) const
{
    const auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), row, before);
    return it != m_rows.cend() && it->row == row ? it->mark : none;
}

void OpenMarks::inserted(qsizetype row, Mark mark)
{
    auto it = lowerBound(row);
    for (auto later = it; later != m_rows.end(); ++later)
        ++later->row;
    if (mark != none)
        m_rows.insert(it, Row{qint32(row), mark});
}

OpenMarks::Mark OpenMarks::removed(qsizetype row)
{
    auto it = lowerBound(row);
    Mark mark = none;
    if (it != m_rows.end() && it->row == row) {
        mark = it->mark;
        it = m_rows.erase(it);
    }
    for (; it != m_rows.end(); ++it)
        --it->row;
    return mark;
}

void OpenMarks::moved(qsizetype from, qsizetype to)
{
    inserted(to, removed(from));
}

void OpenMarks::setMark(qsizetype row, Mark mark)
{
    const auto it = lowerBound(row);
    const bool marked = it != m_rows.end() && it->row == row;
    if (mark == none && marked)
        m_rows.erase(it);
    else if (mark != none && marked)
        it->mark = mark;
    else if (mark != none)
        m_rows.insert(it, Row{qint32(row), mark});
}

} // namespace vbu
