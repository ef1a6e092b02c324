#include "core/check/ScriptTokenizer.h"

namespace vbu {

namespace {

bool isQuakeSpecial(char c)
{
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '\'' || c == ':';
}

} // namespace

QList<ScriptTokenizer::Command> ScriptTokenizer::splitCommands(QByteArrayView text)
{
    QList<Command> out;
    qsizetype start = 0;
    int quotes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            ++quotes;
        const bool semicolon = c == ';' && quotes % 2 == 0;
        if (semicolon || c == '\n') {
            out.append({start, i - start, semicolon});
            start = i + 1;
            quotes = 0;
        }
    }
    if (start < text.size())
        out.append({start, text.size() - start, false});
    return out;
}

ScriptTokenizer::Tokens ScriptTokenizer::tokenize(QByteArrayView command, Dialect dialect)
{
    Tokens out;
    // A zero byte ends the text for the game, which reads it as a C string.
    const qsizetype zero = command.indexOf('\0');
    const qsizetype end = zero < 0 ? command.size() : zero;
    const bool quakeSpecials = dialect == Dialect::Quake;
    qsizetype p = 0;
    for (;;) {
        while (p < end && isSeparator(command[p]))
            ++p;
        if (p >= end)
            return out;
        const char c = command[p];
        if (c == '/' && p + 1 < end && command[p + 1] == '/') {
            out.commentAt = p;
            return out;
        }
        Token token;
        token.offset = p;
        if (c == '"') {
            const qsizetype from = p + 1;
            qsizetype q = from;
            while (q < end && command[q] != '"')
                ++q;
            token.text = command.sliced(from, q - from);
            token.quoted = true;
            token.closed = q < end;
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
        out.tokens.append(token);
    }
}

} // namespace vbu
