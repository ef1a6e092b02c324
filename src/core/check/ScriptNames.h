#pragma once

#include "core/check/LineCheck.h"
#include "core/check/ScriptTokenizer.h"

#include <QByteArray>
#include <QSet>
#include <QVarLengthArray>

#include <array>

namespace vbu {

// The names a script makes anywhere: its aliases, and the variables set makes. They are made at
// the top level, or inside binds and aliases when the key is pressed or the alias runs; a name
// may be used before the line that makes it (a bind runs later), so the whole script is read
// first. Aliases match in any letter case, as in both games; variables as spelled.
class ScriptNames final
{
public:
    // hasSet: whether the game has set; Quake has not, some of its ports have.
    ScriptNames(ScriptTokenizer::Dialect dialect, bool hasSet) : m_dialect(dialect), m_hasSet(hasSet) {}

    // A line of the script, without its line end; whether it makes any name.
    bool addLine(QByteArrayView text) { return mayMakeNames(text) && addCommands(text, 0); }
    bool contains(QByteArrayView name) const;

    friend bool operator==(const ScriptNames &a, const ScriptNames &b)
    {
        return a.m_aliases == b.m_aliases && a.m_variables == b.m_variables;
    }

private:
    static constexpr int deepest = LineCheck::deepestNesting;

    // Whether alias or a set is written in text at all: most lines are quickly passed over.
    bool mayMakeNames(QByteArrayView text) const;
    bool addCommands(QByteArrayView text, int depth);
    static QByteArray key(QByteArrayView name, bool lowered, QVarLengthArray<char, 64> &room);
    static void insert(QSet<QByteArray> &names, QByteArrayView name, bool lowered);

    ScriptTokenizer::Dialect m_dialect;
    bool m_hasSet;
    QSet<QByteArray> m_aliases; // in lower case
    QSet<QByteArray> m_variables;
    // Room for each depth, kept from line to line.
    std::array<ScriptTokenizer::Tokens, deepest + 1> m_tokens;
    std::array<QByteArray, deepest + 1> m_joined;
};

} // namespace vbu
