#pragma once

#include "core/check/LineCheck.h"
#include "core/check/ScriptTokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QVarLengthArray>

#include <array>

namespace vbu {

// The names a script makes anywhere: its aliases, and the variables set makes. They are made at
// the top level, or inside binds and aliases when the key is pressed or the alias runs; a name
// may be used before the line that makes it (a bind runs later), so the whole script is read
// first. Aliases match in any letter case, as in both games; variables as spelled. Each name
// keeps a count of the times the script makes it, so a line taken away takes its names with it
// without the rest being read again.
class ScriptNames final
{
public:
    // hasSet: whether the game has set; Quake has not, some of its ports have.
    ScriptNames(ScriptTokenizer::Dialect dialect, bool hasSet) : m_dialect(dialect), m_hasSet(hasSet) {}

    // A line of the script, without its line end; whether it makes any name.
    bool addLine(QByteArrayView text) { return mayMakeNames(text) && changeCommands(text, 0, 1); }
    // A line added before, with the same text, taken away again.
    void removeLine(QByteArrayView text)
    {
        if (mayMakeNames(text))
            changeCommands(text, 0, -1);
    }
    // The names other made as well, counted with these: another part of the script read apart.
    void add(const ScriptNames &other);
    bool contains(QByteArrayView name) const;

    // The same names, however often each is made.
    friend bool operator==(const ScriptNames &a, const ScriptNames &b)
    {
        return sameNames(a.m_aliases, b.m_aliases) && sameNames(a.m_variables, b.m_variables);
    }

private:
    static constexpr int deepest = LineCheck::deepestNesting;

    // Whether alias or a set is written in text at all: most lines are quickly passed over.
    bool mayMakeNames(QByteArrayView text) const;
    using Counts = QHash<QByteArray, qint32>;
    // delta: 1 to add the names text makes, -1 to take them away.
    bool changeCommands(QByteArrayView text, int depth, int delta);
    static QByteArray key(QByteArrayView name, bool lowered, QVarLengthArray<char, 64> &room);
    static void change(Counts &names, QByteArrayView name, bool lowered, int delta);
    static bool sameNames(const Counts &a, const Counts &b);
    static void addCounts(Counts &to, const Counts &from);

    ScriptTokenizer::Dialect m_dialect;
    bool m_hasSet;
    Counts m_aliases; // in lower case
    Counts m_variables;
    // Room for each depth, kept from line to line.
    std::array<ScriptTokenizer::Tokens, deepest + 1> m_tokens;
    std::array<QByteArray, deepest + 1> m_joined;
};

} // namespace vbu
