#pragma once

#include "core/app/LargePageAllocator.h"
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
    // Facts are made in blocks, not one allocation a line: a million small allocations took
    // longer than the check itself. A block lives as long as the facts of one of its lines, and
    // holds the texts they keep.
    struct Block
    {
        std::vector<LineFacts, LargePageAllocator<LineFacts>> facts;
        std::vector<std::unique_ptr<char[]>> texts;
        char *textFree = nullptr; // in the last of texts
        qsizetype textRoom = 0;
    };
    LineFacts &newFacts();
    QByteArrayView keepText(QByteArrayView text);

    std::vector<LineCheck> m_checks; // a game each
    std::vector<LineCheck::Result> m_results;
    GameJoin m_join;
    QList<CheckFinding> m_joined;
    std::shared_ptr<Block> m_block;
    qsizetype m_linesLeft = 0;
};

} // namespace vbu
