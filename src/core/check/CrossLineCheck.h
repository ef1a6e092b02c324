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
    // Findings about keys bound again, each with the number of the line's own findings before it.
    using BoundAgain = std::vector<std::pair<qsizetype, CheckFinding>>;

    // Quake or Quake 2; the size of the whole script as the game reads it.
    CrossLineCheck(CheckGame game, qsizetype scriptBytes);

    // The line's findings into out: its own, with those about earlier lines put in their place.
    // own is left unspecified.
    void check(qsizetype index, const LineCheck::Line &line, LineCheck::Result &own, LineFindings &out);

    // The finding on the line (from 0) where the script passes the command buffer's size.
    static CheckFinding scriptTooLong(CheckGame game, qsizetype index, qsizetype scriptBytes);
    // The key, as the line writes it, bound again while its bind on line earlier holds.
    static CheckFinding boundAgain(CheckGame game, qsizetype index, QByteArrayView key, qsizetype earlier);
    // A line's findings into out: the script's size first when tooLong is given, then its own
    // findings with those of boundAgain put in their places. boundAgain is left unspecified.
    static void combine(const CheckFinding *tooLong, const QList<CheckFinding> &own, BoundAgain &boundAgain,
                        LineFindings &out);

private:
    CheckGame m_game;
    qsizetype m_scriptBytes;
    qsizetype m_bytesBefore = 0;
    KeyScope m_topLevel;
    BoundAgain m_boundAgain;
};

} // namespace vbu
