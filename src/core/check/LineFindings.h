#pragma once

#include "core/check/ScriptChecker.h"

#include <QHash>

namespace vbu {

// The findings of one line in the order they were made, each text told once: a line that does
// the same wrong thing twice is told once. Finding a text stays quick on a line with thousands
// of findings.
class LineFindings final
{
public:
    const QList<CheckFinding> &list() const { return m_list; }
    qsizetype size() const { return m_list.size(); }
    bool isEmpty() const { return m_list.isEmpty(); }

    // Left out when the line already has its text.
    void add(CheckFinding finding);
    // Where the finding with this text is in list(), -1 for none.
    qsizetype indexOf(const QString &text) const;
    // Starts again; the room is kept for the next line.
    void clear();

private:
    QList<CheckFinding> m_list;
    QHash<QString, qsizetype> m_index; // by text, once the line has more than a few findings
};

} // namespace vbu
