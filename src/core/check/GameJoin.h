#pragma once

#include "core/check/LineFindings.h"

#include <vector>

namespace vbu {

// The findings of one line for both games: what they agree on once and unmarked, the rest under
// the game's name. Each game tells a text once a line, so a finding has at most one match in
// the other game.
class GameJoin final
{
public:
    void join(const LineFindings &quake, const LineFindings &quake2, QList<CheckFinding> &out);

private:
    QString m_quakeMark = ScriptChecker::gameName(CheckGame::Quake) + QStringLiteral(": ");
    QString m_quake2Mark = ScriptChecker::gameName(CheckGame::Quake2) + QStringLiteral(": ");
    std::vector<bool> m_matched;
};

} // namespace vbu
