#pragma once

#include <QByteArrayView>
#include <QList>

#include <limits>

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
        bool oddQuotes = false;       // an odd number of double quotes: one is not closed

        // Where the command after this one starts; past the text's end after the last one.
        qsizetype next() const { return offset + length + 1; }
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

    // The command that starts at from, which is inside the text: it runs to the next line feed or
    // ';' outside double quotes, the quotes counted afresh in each command. Walking the text with
    // next() until it passes the end leaves out an empty rest after the last cut.
    static Command commandAt(QByteArrayView text, qsizetype from);
    // The arguments of one command, into out, whose room is kept from call to call. Comments are
    // only seen where an argument would start. Only the first keep tokens are kept, yet the
    // comment is found all the same.
    static void tokenize(QByteArrayView command, Dialect dialect, Tokens &out,
                         qsizetype keep = std::numeric_limits<qsizetype>::max());
    // The same, into a fresh list, where a command is tokenized only once.
    static Tokens tokenize(QByteArrayView command, Dialect dialect);
    // The argument the position is in, or touches at either end: the word a pointer or the cursor
    // is on. Inside double quotes, the word of the commands quoted there. Empty between words.
    static QByteArrayView wordAt(QByteArrayView text, qsizetype position, Dialect dialect);
    // Bytes up to the blank separate arguments; so do 128 to 255, which the games read as
    // negative (signed) characters.
    static bool isSeparator(char c) { return static_cast<signed char>(c) <= ' '; }
};

} // namespace vbu
