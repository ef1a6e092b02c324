#include "core/check/AliasCheck.h"

#include "core/check/CheckTexts.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

using checkTexts::shown;

// How far a search for a loop goes from each alias defined: far enough for any loop a player
// writes, and a bound on the work each definition costs, so the check stays linear.
constexpr qsizetype mostAliasesFollowed = 16;
constexpr qsizetype mostCallsFollowed = 4096;

bool sameWord(QByteArrayView word, QLatin1StringView name)
{
    return QLatin1StringView(word).compare(name, Qt::CaseInsensitive) == 0;
}

// "", " through 'a'", " through 'a' and 'b'", " through 'a', 'b' and 'c'".
QString through(const QList<QByteArray> &names)
{
    QString out;
    for (qsizetype i = 0; i < names.size(); ++i) {
        out += i == 0 ? u" through '"_s : i + 1 == names.size() ? u" and '"_s : u", '"_s;
        out += shown(names.at(i)) + u'\'';
    }
    return out;
}

} // namespace

AliasCheck::AliasCheck(CheckGame game)
    : m_game(game),
      m_dialect(game == CheckGame::Quake ? ScriptTokenizer::Dialect::Quake : ScriptTokenizer::Dialect::Quake2),
      m_readAhead(game)
{}

void AliasCheck::readAhead(const LineCheck::Line &line)
{
    // Most lines define no '-' alias, and a quick look tells.
    if (!line.text.contains('-') || !QLatin1StringView(line.text).contains("alias"_L1, Qt::CaseInsensitive))
        return;
    m_readAhead.check(0, line, m_readResult);
    for (const LineCheck::AliasDefined &alias : m_readResult.aliases) {
        if (alias.name.startsWith('-'))
            m_releases.insert(alias.name.toLower());
    }
}

void AliasCheck::check(qsizetype index, LineCheck::Result &line)
{
    for (const LineCheck::AliasDefined &alias : line.aliases) {
        if (alias.name.size() > 1 && alias.name.startsWith('+')) {
            const QByteArray twin = '-' + alias.name.sliced(1);
            if (!m_releases.contains(twin.toLower()))
                add(line.findings, index, CheckSeverity::Warning, CheckRule::ReleaseAliasMissing,
                    u"Alias '%1' has no '%2' alias in the script, so what it starts stays on when its key is "
                    "released."_s.arg(shown(alias.name), shown(twin)));
        }
        if (alias.topLevel)
            define(index, alias, line.findings);
    }
}

int AliasCheck::idOf(QByteArrayView name)
{
    // Lowered into a buffer kept from call to call: most names are found, and need no copy.
    m_lowerName.resize(name.size());
    std::transform(name.begin(), name.end(), m_lowerName.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    const auto found = m_ids.constFind(m_lowerName);
    if (found != m_ids.constEnd())
        return *found;
    m_aliases.emplace_back();
    return m_ids.insert(m_lowerName, int(m_aliases.size() - 1)).value();
}

// An alias runs in place of its name, so aliases that run one another before a wait never end.
// Quake repeats them until the game hangs or its command buffer overflows; Quake 2 refuses the
// 16th alias of a frame.
void AliasCheck::define(qsizetype index, const LineCheck::AliasDefined &alias, LineFindings &out)
{
    std::vector<int> calls;
    for (qsizetype p = 0; p < alias.value.size();) {
        const ScriptTokenizer::Command c = ScriptTokenizer::commandAt(alias.value, p);
        p = c.next();
        ScriptTokenizer::tokenize(QByteArrayView(alias.value).sliced(c.offset, c.length), m_dialect, m_tokens, 1);
        if (m_tokens.tokens.isEmpty())
            continue;
        const QByteArrayView name = m_tokens.tokens.constFirst().text;
        // After a wait the rest runs in a later frame; after an alias, perhaps another alias.
        if (sameWord(name, "wait"_L1) || sameWord(name, "alias"_L1))
            break;
        calls.push_back(idOf(name));
    }
    const int id = idOf(alias.name);
    Alias &entry = m_aliases[size_t(id)];
    entry.name = alias.name;
    entry.line = index;
    entry.calls = std::move(calls);

    const QList<int> loop = loopFrom(id);
    if (loop.isEmpty())
        return;
    QList<QByteArray> others;
    for (qsizetype i = 1; i < loop.size(); ++i)
        others.append(m_aliases[size_t(loop.at(i))].name);
    const QString text =
        u"Alias '"_s + shown(alias.name) + u"' runs itself again"_s + through(others) +
        (m_game == CheckGame::Quake ? u" without end, so the game hangs or quits when it runs."_s
                                    : u" without end, so the game stops it at the 16th alias of a frame "
                                      "(\"ALIAS_LOOP_COUNT\")."_s);
    add(out, index, CheckSeverity::Error, CheckRule::AliasLoop, text,
        loop.size() > 1 ? m_aliases[size_t(loop.at(1))].line : -1);
}

// The aliases from start on that lead back to it, the shortest way; empty when none do within
// the search's bounds.
QList<int> AliasCheck::loopFrom(int start)
{
    ++m_searches;
    m_search.clear();
    m_search.push_back({start, -1});
    m_aliases[size_t(start)].seen = m_searches;
    qsizetype followed = 0;
    for (qsizetype i = 0; i < qsizetype(m_search.size()) && i < mostAliasesFollowed; ++i) {
        for (const int call : m_aliases[size_t(m_search[size_t(i)].alias)].calls) {
            if (++followed > mostCallsFollowed)
                return {};
            if (call == start) {
                QList<int> loop;
                for (qsizetype at = i; at >= 0; at = m_search[size_t(at)].from)
                    loop.prepend(m_search[size_t(at)].alias);
                return loop;
            }
            Alias &called = m_aliases[size_t(call)];
            if (called.line >= 0 && called.seen != m_searches) {
                called.seen = m_searches;
                m_search.push_back({call, i});
            }
        }
    }
    return {};
}

void AliasCheck::add(LineFindings &out, qsizetype index, CheckSeverity severity, CheckRule rule, const QString &text,
                     qsizetype otherLine) const
{
    out.add({index + 1, severity, rule, text, otherLine + 1, m_game});
}

} // namespace vbu
