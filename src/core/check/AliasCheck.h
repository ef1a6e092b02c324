#pragma once

#include "core/check/LineCheck.h"

#include <QHash>
#include <QSet>

namespace vbu {

// The rules of one game about aliases that look across lines: a '+' alias whose '-' twin the
// script never defines, and aliases that run one another without end. A twin may come after its
// '+' alias, so every line goes through readAhead() before the first check().
class AliasCheck final
{
public:
    // Quake or Quake 2.
    explicit AliasCheck(CheckGame game);

    // The first pass: the '-' aliases the line defines, at any depth.
    void readAhead(const LineCheck::Line &line);
    // The second pass, in line order: the findings about the aliases the line defines, added to
    // those of the line.
    void check(qsizetype index, LineCheck::Result &line);

private:
    // Names are numbered as they first come, defined or only called, so that following calls
    // costs no look-up by name.
    struct Alias
    {
        QByteArray name;     // as last defined
        qsizetype line = -1; // where it was last defined; -1 while it has not been
        // The commands it runs before a wait or a new alias: those run in the same frame, with
        // the aliases as they stand.
        std::vector<int> calls;
        quint32 seen = 0; // the search that reached it last
    };
    struct Reached
    {
        int alias = 0;
        qsizetype from = -1; // where in the search the alias that calls it is
    };

    int idOf(QByteArrayView name);
    void define(qsizetype index, const LineCheck::AliasDefined &alias, LineFindings &out);
    QList<int> loopFrom(int start);
    void add(LineFindings &out, qsizetype index, CheckSeverity severity, CheckRule rule, const QString &text,
             qsizetype otherLine = -1) const;

    CheckGame m_game;
    ScriptTokenizer::Dialect m_dialect;
    LineCheck m_readAhead;
    LineCheck::Result m_readResult;
    QSet<QByteArray> m_releases; // lower case
    std::vector<Alias> m_aliases;
    QHash<QByteArray, int> m_ids; // by lower-case name
    QByteArray m_lowerName;
    std::vector<Reached> m_search;
    quint32 m_searches = 0;
    ScriptTokenizer::Tokens m_tokens;
};

} // namespace vbu
