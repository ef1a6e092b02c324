#pragma once

#include "core/check/ConsoleBuffer.h"
#include "core/check/ConsoleNames.h"
#include "core/check/ScriptTokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <array>
#include <optional>

namespace vbu {

// One thing the console does for a script or a key.
struct ConsoleStep
{
    enum class Kind {
        Command, // a command it runs
        Loop,    // a loop, and what the game does about it; only Quake 2's skipped alias goes on
        Stop     // the run ends here for another reason
    };
    Kind kind = Kind::Command;
    // 1 for what the script or the binding runs itself, 2 for what an alias run at level 1
    // runs, and so on.
    int level = 1;
    // The command as it runs, blanks around it and a comment after it left out, and without the
    // number the game adds to a button command. For a loop or a stop, what happens.
    QByteArray text;
    // What the console prints for the command, each line ended by a line feed.
    QByteArray output;

    friend bool operator==(const ConsoleStep &, const ConsoleStep &) = default;
};

// The console of Quake or Quake 2, run as the game runs it: scripts and key bindings go through
// the command buffer and the tokenizer, aliases run in place, variables take their values, and
// what a script sets up stays for the next key. Every run ends in bounded time: the loops a
// script can make are found the moment they begin to repeat, and caps end anything longer.
class ConsoleModel final
{
public:
    static constexpr int maxCommandsPerRun = 10000;
    static constexpr int maxFramesPerRun = 1000;
    static constexpr int maxLevel = 100;
    // Listing aliases or bindings again and again can print without end.
    static constexpr qsizetype maxBytesPerRun = qsizetype(1024) * 1024;

    ConsoleModel(ScriptTokenizer::Dialect game, ConsoleNames names);

    // Runs a script as exec does.
    QList<ConsoleStep> exec(QByteArrayView script);
    // Key events, by the game's key number (0 to 255).
    QList<ConsoleStep> press(int key);
    QList<ConsoleStep> release(int key);
    // Back to a game that has run nothing.
    void reset();

    // True once the game has hung or quit: from then on every run is a single stop.
    bool gameStopped() const { return m_gone; }
    // What bind has put on a key; nothing for a key never bound. unbind leaves an empty binding.
    std::optional<QByteArray> binding(int key) const;
    // The value of a variable, case as written; nothing when the game has no such variable.
    std::optional<QByteArray> variable(const QByteArray &name) const;

    // The key a name stands for, as bind reads it; a single letter also in upper case, for the
    // key the game sends in lower case.
    static std::optional<int> keyNumber(QByteArrayView name, ScriptTokenizer::Dialect game);
    // The step as one line of text: two blanks a level, then the text, then " # " and each line
    // the console prints.
    static QByteArray format(const ConsoleStep &step);

private:
    struct Alias
    {
        QByteArray name;
        QByteArray value;
    };
    // How an alias stood the last time it ran in this run, to tell when it runs again from the
    // same state and so repeats without end.
    struct AliasRun
    {
        quint64 state = 0;
        int aliasCount = 0;
        ConsoleBuffer::Mark mark;
        qsizetype bufferSize = 0;
        int frame = 0;
    };
    enum class Flow { Next, Wait, End };
    // A Quake 2 command after its $names are replaced; or why the game discards it.
    struct Expanded
    {
        QByteArray text;
        QByteArray discarded;
    };
    class Run;

    QList<ConsoleStep> runBuffer();
    QList<ConsoleStep> goneSteps() const;
    QByteArray buttonSuffix(int key) const;
    bool consoleOwnsKey(int key) const;
    Expanded expandVariables(QByteArray line) const;
    Flow runCommand(const ConsoleBuffer::Command &command, Run &run);
    Flow runAlias(int index, ConsoleStep &step, Run &run);
    void runBind(const QList<QByteArray> &args, QByteArray &output);
    void runUnbind(const QList<QByteArray> &args, QByteArray &output);
    void runSet(const QList<QByteArray> &args, QByteArray &output);
    std::optional<int> keyArgument(const QByteArray &name, QByteArray &output) const;
    void defineAlias(const QList<QByteArray> &args, QByteArray &output);
    void listBindings(QByteArray &output) const;
    void setBinding(int key, const QByteArray &text);
    void setVariable(const QByteArray &name, const QByteArray &value);
    void changeState(char kind, QByteArrayView name, const QByteArray *before, const QByteArray *after);

    ScriptTokenizer::Dialect m_game;
    ConsoleNames m_names;
    ConsoleBuffer m_buffer;
    // In the order they were made; a name is looked up in any case, the newest alias first,
    // while defining matches the exact name.
    QList<Alias> m_aliases;
    QHash<QByteArray, int> m_aliasByName;
    QHash<QByteArray, int> m_aliasByLowerName;
    QHash<QByteArray, QByteArray> m_variables;
    std::array<std::optional<QByteArray>, 256> m_bindings;
    // Changes with every alias, variable and binding, so that equal values mean (but for a
    // negligible chance) an unchanged game.
    quint64 m_state = 0;
    // Set when the game hangs or quits: nothing runs after that.
    bool m_gone = false;
};

} // namespace vbu
