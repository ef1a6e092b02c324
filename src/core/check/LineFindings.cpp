#include "core/check/LineFindings.h"

namespace vbu {

namespace {

// Up to this many findings a line is searched in order; most lines have none or one.
constexpr qsizetype fewFindings = 8;

} // namespace

void LineFindings::add(CheckFinding finding)
{
    if (indexOf(finding.text) >= 0)
        return;
    if (m_list.size() >= fewFindings) {
        if (m_index.isEmpty()) {
            for (qsizetype i = 0; i < m_list.size(); ++i)
                m_index.insert(m_list.at(i).text, i);
        }
        m_index.insert(finding.text, m_list.size());
    }
    m_list.append(std::move(finding));
}

qsizetype LineFindings::indexOf(const QString &text) const
{
    if (!m_index.isEmpty())
        return m_index.value(text, -1);
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).text == text)
            return i;
    }
    return -1;
}

void LineFindings::clear()
{
    m_list.clear();
    m_index.clear();
}

} // namespace vbu
