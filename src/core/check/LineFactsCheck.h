#pragma once

#include "core/check/FactsBlock.h"
#include "core/check/GameJoin.h"
#include "core/check/LineCheck.h"
#include "core/check/LineFacts.h"
#include "core/check/ScriptNames.h"

#include <memory>
#include <vector>

namespace vbu {

// Makes the facts of the editor's lines one at a time, for one game or both. It keeps room from
// line to line and may run on any thread.
class LineFactsCheck final
{
public:
    // The names a script makes, a game each, as the games of target read them.
    using Names = std::vector<ScriptNames>;

    // names: those of the whole script, when target has a profile; they must outlive the check.
    // lines: how many lines are to be checked, at most, so that the facts take no more room
    // than they need.
    LineFactsCheck(const CheckTarget &target, const Names *names, qsizetype lines);

    // Whether a check for target looks at the names the script makes.
    static bool needsNames(const CheckTarget &target);
    // Room for the names of a script for target, none made yet.
    static Names emptyNames(const CheckTarget &target);

    // The facts of a line of the list as Save writes it, now at index (from 0); nothing for a
    // line that has none to keep. bytes: what the line adds to the script the game reads.
    // makesNames: the line makes names, as the script's names were read.
    // The facts share their room with those of the lines checked around them.
    std::shared_ptr<const LineFacts> check(qsizetype index, QByteArrayView text, qsizetype &bytes, bool makesNames);

private:
    std::vector<LineCheck> m_checks; // a game each
    std::vector<LineCheck::Result> m_results;
    GameJoin m_join;
    QList<CheckFinding> m_joined;
    std::shared_ptr<FactsBlock> m_block; // where the facts of the next lines go
    qsizetype m_linesLeft = 0;
};

} // namespace vbu
