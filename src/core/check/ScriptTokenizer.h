#pragma once

#include <QByteArrayView>
#include <QList>

namespace vbu {

// Cuts script text into commands and arguments the way the games' command buffer and
// tokenizer do, so that a check judges what the game will really run.
class ScriptTokenizer final
{
public:
    enum class Dialect {
        Quake, // WinQuake: { } ( ) ' and : are arguments of their own
        Quake2
    };

    // One command of the text: [offset, offset + length), its end not included.
    struct Command
    {
        qsizetype offset = 0;
        qsizetype length = 0;
        bool endsAtSemicolon = false; // false: ended by a line feed or the end of the text
    };

    struct Token
    {
        qsizetype offset = 0; // in the command; a quoted token starts at its opening quote
        QByteArrayView text;  // without the quotes
        bool quoted = false;
        bool closed = true; // false for a quoted token that ran to the end of the command
    };

    struct Tokens
    {
        QList<Token> tokens;
        qsizetype commentAt = -1; // where the "//" that ends the arguments starts, -1 for none
    };

    // Cuts at every line feed and at every ';' outside double quotes, the quotes counted
    // afresh in each command. An empty rest after the last cut is left out.
    static QList<Command> splitCommands(QByteArrayView text);
    // The arguments of one command. Comments are only seen where an argument would start.
    static Tokens tokenize(QByteArrayView command, Dialect dialect);
    // Bytes up to the blank separate arguments; so do 128 to 255, which the games read as
    // negative (signed) characters.
    static bool isSeparator(char c) { return static_cast<signed char>(c) <= ' '; }
};

} // namespace vbu
