#pragma once

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
    LineFactsCheck(const CheckTarget &target, const Names *names);

    // Whether a check for target looks at the names the script makes.
    static bool needsNames(const CheckTarget &target);
    // Room for the names of a script for target, none made yet.
    static Names emptyNames(const CheckTarget &target);

    // The facts of a line of the list as Save writes it, now at index (from 0); nothing for a
    // line that has none to keep. bytes: what the line adds to the script the game reads.
    // makesNames: the line makes names, as the script's names were read.
    std::shared_ptr<LineFacts> check(qsizetype index, QByteArrayView text, qsizetype &bytes, bool makesNames);

private:
    std::vector<LineCheck> m_checks; // a game each
    std::vector<LineCheck::Result> m_results;
    GameJoin m_join;
    QList<CheckFinding> m_joined;
};

} // namespace vbu
