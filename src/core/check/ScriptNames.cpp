#include "core/check/ScriptNames.h"

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

bool sameWord(QByteArrayView word, QLatin1StringView name)
{
    return QLatin1StringView(word).compare(name, Qt::CaseInsensitive) == 0;
}

// set and the ports' variants that also mark the variable for saving or for the server.
bool isSet(QByteArrayView command)
{
    return sameWord(command, "set"_L1) || sameWord(command, "seta"_L1) || sameWord(command, "sets"_L1) ||
           sameWord(command, "setu"_L1);
}

} // namespace

// The name as the sets hold it, over room or the name's own bytes: looking a name up allocates
// nothing, and a check looks up a name for most commands of the script.
QByteArray ScriptNames::key(QByteArrayView name, bool lowered, QVarLengthArray<char, 64> &room)
{
    if (!lowered)
        return QByteArray::fromRawData(name.data(), name.size());
    room.resize(name.size());
    char *to = room.data();
    for (const char c : name)
        *to++ = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return QByteArray::fromRawData(room.constData(), room.size());
}

bool ScriptNames::contains(QByteArrayView name) const
{
    QVarLengthArray<char, 64> room;
    return m_variables.contains(key(name, false, room)) || m_aliases.contains(key(name, true, room));
}

// A script makes the same few names over and over: one already known costs no allocation.
void ScriptNames::change(Counts &names, QByteArrayView name, bool lowered, int delta)
{
    QVarLengthArray<char, 64> room;
    const QByteArray k = key(name, lowered, room);
    const auto at = names.find(k);
    if (at == names.end()) {
        Q_ASSERT(delta > 0);
        names.insert(QByteArray(k.constData(), k.size()), delta); // its own copy of the bytes
    } else if ((*at += delta) == 0) {
        names.erase(at);
    }
}

void ScriptNames::add(const ScriptNames &other)
{
    addCounts(m_aliases, other.m_aliases);
    addCounts(m_variables, other.m_variables);
}

void ScriptNames::addCounts(Counts &to, const Counts &from)
{
    for (auto at = from.cbegin(); at != from.cend(); ++at)
        to[at.key()] += at.value();
}

bool ScriptNames::sameNames(const Counts &a, const Counts &b)
{
    if (a.size() != b.size())
        return false;
    for (auto at = a.keyBegin(); at != a.keyEnd(); ++at) {
        if (!b.contains(*at))
            return false;
    }
    return true;
}

bool ScriptNames::mayMakeNames(QByteArrayView text) const
{
    // The command word is a token, and a token is some of the line's bytes as they stand.
    const auto wordAt = [text](qsizetype at, QLatin1StringView word) {
        if (at + word.size() > text.size())
            return false;
        for (qsizetype k = 0; k < word.size(); ++k) {
            if ((text[at + k] | 0x20) != word[k].toLatin1()) // either case of a letter
                return false;
        }
        return true;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if ((m_hasSet && wordAt(i, "set"_L1)) || wordAt(i, "alias"_L1))
            return true;
    }
    return false;
}

bool ScriptNames::changeCommands(QByteArrayView text, int depth, int delta)
{
    bool made = false;
    ScriptTokenizer::Tokens &t = m_tokens[size_t(depth)];
    for (qsizetype p = 0; p < text.size();) {
        const ScriptTokenizer::Command c = ScriptTokenizer::commandAt(text, p);
        p = c.next();
        ScriptTokenizer::tokenize(text.sliced(c.offset, c.length), m_dialect, t);
        const QList<ScriptTokenizer::Token> &args = t.tokens;
        if (args.size() < 2)
            continue;
        const QByteArrayView command = args.constFirst().text;
        const bool alias = sameWord(command, "alias"_L1);
        if (alias) {
            change(m_aliases, args.at(1).text, true, delta);
            made = true;
        } else if (m_hasSet && args.size() >= 3 && isSet(command)) {
            change(m_variables, args.at(1).text, false, delta);
            made = true;
        }
        if (args.size() < 3 || depth == deepest || (!alias && !sameWord(command, "bind"_L1)))
            continue;
        // What the alias or the key runs: the arguments from the third on, a blank between each two.
        QByteArray &body = m_joined[size_t(depth) + 1];
        body.truncate(0);
        for (qsizetype i = 2; i < args.size(); ++i) {
            if (i > 2)
                body += ' ';
            body += args.at(i).text;
        }
        made = changeCommands(body, depth + 1, delta) || made;
    }
    return made;
}

} // namespace vbu
