#pragma once

#include <QByteArray>

#include <vector>

namespace vbu {

// The game's command buffer: text waiting to run, cut into commands from the front. Text that
// an alias runs goes in front of what waits, and each text keeps the level it runs at.
// Commands are cut inside one text: the game's texts end in a line feed (an alias, a key), all but
// a script's last line, which is only ever run alone.
class ConsoleBuffer final
{
public:
    // The same 8,192 bytes in Quake and Quake 2.
    static constexpr qsizetype capacity = 8192;

    struct Command
    {
        QByteArray text; // without the ';' or line feed that ended it
        int level = 1;
        // How many bytes at its end are the key number (and time) the game adds to a button
        // command; 0 for other commands.
        qsizetype keySuffix = 0;
    };

    // Where the front is: while holds() says so, nothing that waited below it has been taken.
    struct Mark
    {
        std::size_t depth = 0;
        quint64 id = 0;
        qsizetype pos = 0;
    };

    enum class Added {
        Done,
        Refused, // the text alone does not fit: "Cbuf_AddText: overflow", nothing added
        Overflow // the text fits, but not with what waits: the game quits with an error
    };

    bool isEmpty() const { return m_texts.empty(); }
    qsizetype size() const { return m_size; }
    void clear();

    // In front of what waits. For a key's text, keySuffix counts the bytes before its final line
    // feed that are the number the game added.
    Added insert(const QByteArray &text, int level, qsizetype keySuffix = 0);
    // Cuts the first command off: at a line feed, or at a ';' outside double quotes.
    Command takeCommand();

    Mark mark() const;
    bool holds(const Mark &mark) const;

private:
    struct Text
    {
        QByteArray bytes;
        qsizetype pos = 0;
        int level = 1;
        qsizetype suffixFrom = 0; // bytes.size() when there is no key suffix
        quint64 id = 0;
    };

    // The front of the buffer is the back of the vector, so inserting costs the text alone.
    std::vector<Text> m_texts;
    qsizetype m_size = 0;
    quint64 m_nextId = 1;
};

} // namespace vbu
