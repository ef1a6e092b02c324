#pragma once

#include "core/check/GameJoin.h"
#include "core/check/LineCheck.h"
#include "core/check/LineFacts.h"

#include <memory>
#include <vector>

namespace vbu {

// Makes the facts of the editor's lines one at a time, for one game or both. It keeps room from
// line to line and may run on any thread.
class LineFactsCheck final
{
public:
    explicit LineFactsCheck(CheckGame game);

    // The facts of a line of the list as Save writes it, now at index (from 0); nothing for a
    // line that has none to keep. bytes: what the line adds to the script the game reads.
    std::unique_ptr<LineFacts> check(qsizetype index, QByteArrayView text, qsizetype &bytes);

private:
    std::vector<LineCheck> m_checks; // a game each
    std::vector<LineCheck::Result> m_results;
    GameJoin m_join;
    QList<CheckFinding> m_joined;
};

} // namespace vbu
