#pragma once

#include "core/check/KeyScope.h"
#include "core/check/LineCheck.h"

#include <utility>
#include <vector>

namespace vbu {

// The two rules of one game that look across lines: a script too long for the command buffer,
// and a key bound again while an earlier bind of it holds. It keeps only a running byte count
// and a slot per key, and is fed every line in order.
class CrossLineCheck final
{
public:
    // Quake or Quake 2; the size of the whole script as the game reads it.
    CrossLineCheck(CheckGame game, qsizetype scriptBytes);

    // The line's findings into out: its own, with those about earlier lines put in their place.
    // own is left unspecified.
    void check(qsizetype index, const LineCheck::Line &line, LineCheck::Result &own, LineFindings &out);

private:
    CheckFinding finding(qsizetype index, CheckRule rule, const QString &text, qsizetype otherLine) const;

    CheckGame m_game;
    qsizetype m_scriptBytes;
    qsizetype m_bytesBefore = 0;
    KeyScope m_topLevel;
    // The line's findings about keys bound again, each with the number of its own findings before it.
    std::vector<std::pair<qsizetype, CheckFinding>> m_boundAgain;
};

} // namespace vbu
