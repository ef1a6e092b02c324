#include "core/check/ScriptTokenizer.h"

#include <algorithm>
#include <utility>

namespace vbu {

namespace {

bool isQuakeSpecial(char c)
{
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '\'' || c == ':';
}

} // namespace

ScriptTokenizer::Command ScriptTokenizer::commandAt(QByteArrayView text, qsizetype from)
{
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\n' || (c == ';' && !quoted))
            return {from, i - from, c == ';', quoted};
    }
    return {from, text.size() - from, false, quoted};
}

ScriptTokenizer::Tokens ScriptTokenizer::tokenize(QByteArrayView command, Dialect dialect)
{
    Tokens out;
    tokenize(command, dialect, out);
    return out;
}

void ScriptTokenizer::tokenize(QByteArrayView command, Dialect dialect, Tokens &out, qsizetype keep)
{
    out.tokens.clear();
    out.commentAt = -1;
    // A zero byte ends the text for the game, which reads it as a C string. It separates, so
    // words stop at it and only the blanks and quoted text need to look for it.
    const qsizetype end = command.size();
    const bool quakeSpecials = dialect == Dialect::Quake;
    qsizetype p = 0;
    for (;;) {
        while (p < end && isSeparator(command[p])) {
            if (command[p] == '\0')
                return;
            ++p;
        }
        if (p >= end)
            return;
        const char c = command[p];
        if (c == '/' && p + 1 < end && command[p + 1] == '/') {
            out.commentAt = p;
            return;
        }
        Token token;
        token.offset = p;
        if (c == '"') {
            const qsizetype from = p + 1;
            qsizetype q = from;
            while (q < end && command[q] != '"' && command[q] != '\0')
                ++q;
            token.text = command.sliced(from, q - from);
            token.quoted = true;
            token.closed = q < end && command[q] == '"';
            p = token.closed ? q + 1 : q;
        } else if (quakeSpecials && isQuakeSpecial(c)) {
            token.text = command.sliced(p, 1);
            ++p;
        } else {
            // A word runs to the next separator; a quote or "//" inside it is an ordinary byte.
            qsizetype q = p + 1;
            while (q < end && !isSeparator(command[q]) && !(quakeSpecials && isQuakeSpecial(command[q])))
                ++q;
            token.text = command.sliced(p, q - p);
            p = q;
        }
        if (out.tokens.size() < keep)
            out.tokens.append(token);
    }
}

QByteArrayView ScriptTokenizer::wordAt(QByteArrayView text, qsizetype position, Dialect dialect)
{
    Tokens t;
    for (qsizetype p = 0; p < text.size() && p <= position;) {
        const Command c = commandAt(text, p);
        p = c.next();
        if (position > c.offset + c.length)
            continue;
        tokenize(text.sliced(c.offset, c.length), dialect, t);
        for (const Token &token : std::as_const(t.tokens)) {
            // Where the word's text starts, after its quote.
            const qsizetype start = c.offset + token.offset + (token.quoted ? 1 : 0);
            if (position < start - (token.quoted ? 1 : 0))
                break;
            if (position <= start + token.text.size())
                return token.quoted ? wordAt(token.text, std::max<qsizetype>(position - start, 0), dialect)
                                    : token.text;
        }
        break;
    }
    return {};
}

} // namespace vbu
