#include "core/check/ConsoleModel.h"

#include "core/check/GameKeyNames.h"

#include <algorithm>

using Dialect = vbu::ScriptTokenizer::Dialect;

namespace vbu {

namespace {

// The game's own limits.
constexpr qsizetype lineSize = 1024;    // the buffer one command is copied into
constexpr qsizetype maxArguments = 80;  // the rest of a command's words are dropped
constexpr qsizetype aliasNameSize = 32; // an alias name is shorter
constexpr int aliasLoopCount = 16;      // Quake 2: the alias a frame it refuses
constexpr qsizetype quake2TokenSize = 128;
constexpr int macroExpansions = 100; // Quake 2: $ replacements in one command

enum class Builtin { Alias, Bind, Unbind, Unbindall, Bindlist, Echo, Wait, Exec, Set, Quiet };

// The commands of the console itself, whose effect on the game is modelled here. The catalogue
// adds the game's other commands.
const QHash<QByteArray, Builtin> &builtins(Dialect game)
{
    static const QHash<QByteArray, Builtin> quake = {
        {"alias", Builtin::Alias},         {"bind", Builtin::Bind},       {"unbind", Builtin::Unbind},
        {"unbindall", Builtin::Unbindall}, {"echo", Builtin::Echo},       {"wait", Builtin::Wait},
        {"exec", Builtin::Exec},           {"stuffcmds", Builtin::Quiet}, {"cmd", Builtin::Quiet},
    };
    static const QHash<QByteArray, Builtin> quake2 = {
        {"alias", Builtin::Alias},         {"bind", Builtin::Bind},         {"unbind", Builtin::Unbind},
        {"unbindall", Builtin::Unbindall}, {"bindlist", Builtin::Bindlist}, {"echo", Builtin::Echo},
        {"wait", Builtin::Wait},           {"exec", Builtin::Exec},         {"set", Builtin::Set},
        {"cmdlist", Builtin::Quiet},       {"cvarlist", Builtin::Quiet},
    };
    return game == Dialect::Quake ? quake : quake2;
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && uchar(text.front()) <= ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && uchar(text.back()) <= ' ')
        text.chop(1);
    return text;
}

QByteArray quoted(QByteArrayView text)
{
    return '"' + text.toByteArray() + '"';
}

QByteArray joined(const QList<QByteArray> &args, qsizetype from)
{
    QByteArray out;
    for (qsizetype i = from; i < args.size(); ++i) {
        if (i > from)
            out += ' ';
        out += args.at(i);
    }
    return out;
}

// One word as Quake 2 keeps it: a quoted one is cut, a long unquoted one lost.
QByteArray quake2Word(const ScriptTokenizer::Token &token)
{
    if (token.quoted)
        return token.text.first(std::min(token.text.size(), quake2TokenSize - 1)).toByteArray();
    return token.text.size() >= quake2TokenSize ? QByteArray() : token.text.toByteArray();
}

QList<QByteArray> arguments(const ScriptTokenizer::Tokens &tokens, Dialect game)
{
    QList<QByteArray> out;
    for (const ScriptTokenizer::Token &token : tokens.tokens) {
        if (out.size() == maxArguments)
            break;
        out.append(game == Dialect::Quake2 ? quake2Word(token) : token.text.toByteArray());
    }
    return out;
}

// The key whose binding a key's release also lets go, as the shifted keys of a US keyboard.
int shiftedKey(int key)
{
    if (key >= 'a' && key <= 'z')
        return key - 'a' + 'A';
    static constexpr char plain[] = "1234567890-=,./;'[]`\\";
    static constexpr char shifted[] = "!@#$%^&*()_+<>?:\"{}~|";
    for (std::size_t i = 0; i + 1 < sizeof plain; ++i) {
        if (plain[i] == key)
            return shifted[i];
    }
    return key;
}

// The key bind and unbind take a name for. One character stands for that byte, in its own case;
// the game reads a byte above 127 as a negative number, which is no key.
std::optional<int> boundKey(QByteArrayView name, Dialect game)
{
    if (name.size() == 1)
        return uchar(name.front()) < 128 ? std::optional<int>(name.front()) : std::nullopt;
    return GameKeyNames::keyNumber(name,
                                   game == Dialect::Quake ? GameKeyNames::Table::Quake : GameKeyNames::Table::Quake2);
}

// Where the first argument of Quake 2 text ends at the latest: at the first separator after it
// starts, or for a quoted one at its closing quote.
qsizetype firstArgumentEnd(QByteArrayView text)
{
    qsizetype p = 0;
    while (p < text.size() && ScriptTokenizer::isSeparator(text[p]))
        ++p;
    if (p < text.size() && text[p] == '"') {
        const qsizetype close = text.indexOf('"', p + 1);
        return close < 0 ? text.size() : close + 1;
    }
    while (p < text.size() && !ScriptTokenizer::isSeparator(text[p]))
        ++p;
    return p;
}

// The name bindlist gives a key.
QByteArray quake2KeyName(int key)
{
    if (key > ' ' && key < 127)
        return QByteArray(1, char(key));
    for (const GameKeyNames::Entry &entry : GameKeyNames::table(GameKeyNames::Table::Quake2)) {
        if (entry.number == key)
            return QByteArray(entry.name.data(), entry.name.size());
    }
    return "<UNKNOWN KEYNUM>";
}

} // namespace

// What one run (a script or a key event) has done so far.
class ConsoleModel::Run
{
public:
    QList<ConsoleStep> steps;
    QHash<int, AliasRun> aliases; // by index in m_aliases
    int commands = 0;
    int frame = 0;
    int aliasCount = 0; // Quake 2 counts the aliases of each frame
    qsizetype bytes = 0;

    void add(const ConsoleStep &step)
    {
        steps.append(step);
        bytes += step.text.size() + step.output.size();
    }
    void note(ConsoleStep::Kind kind, int level, const QByteArray &text) { add(ConsoleStep{kind, level, text, {}}); }
    // Why the run may go no further; empty while it may.
    QByteArray pastCap() const
    {
        if (frame == maxFramesPerRun)
            return QByteArray::number(maxFramesPerRun) + " frames";
        if (commands == maxCommandsPerRun)
            return QByteArray::number(maxCommandsPerRun) + " commands";
        if (bytes >= maxBytesPerRun)
            return QByteArray::number(maxBytesPerRun / (1024 * 1024)) + " MiB of steps";
        return {};
    }
};

ConsoleModel::ConsoleModel(Dialect game, ConsoleNames names) : m_game(game), m_names(std::move(names))
{
    reset();
}

void ConsoleModel::reset()
{
    m_buffer.clear();
    m_aliases.clear();
    m_aliasByName.clear();
    m_aliasByLowerName.clear();
    m_variables = m_names.variables();
    m_bindings.fill(std::nullopt);
    m_state = 0;
    m_gone = false;
}

std::optional<QByteArray> ConsoleModel::binding(int key) const
{
    if (key < 0 || key >= int(m_bindings.size()))
        return std::nullopt;
    return m_bindings[std::size_t(key)];
}

std::optional<QByteArray> ConsoleModel::variable(const QByteArray &name) const
{
    const auto found = m_variables.constFind(name);
    if (found == m_variables.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<int> ConsoleModel::keyNumber(QByteArrayView name, Dialect game)
{
    if (name.size() == 1 && name.front() >= 'A' && name.front() <= 'Z')
        return name.front() - 'A' + 'a';
    return boundKey(name, game);
}

QByteArray ConsoleModel::format(const ConsoleStep &step)
{
    QByteArray out(2 * step.level, ' ');
    if (step.kind == ConsoleStep::Kind::Loop)
        out += "loop: ";
    else if (step.kind == ConsoleStep::Kind::Stop)
        out += "stop: ";
    out += step.text;
    for (const QByteArray &line : step.output.split('\n')) {
        QByteArrayView shown = line;
        while (!shown.isEmpty() && uchar(shown.back()) <= ' ')
            shown.chop(1);
        if (!shown.isEmpty())
            out += " # " + shown.toByteArray();
    }
    return out;
}

QList<ConsoleStep> ConsoleModel::exec(QByteArrayView script)
{
    if (m_gone)
        return goneSteps();
    // The game reads the file as a C string: a zero byte ends it.
    const qsizetype zero = script.indexOf('\0');
    const QByteArray text = script.first(zero < 0 ? script.size() : zero).toByteArray();
    m_buffer.clear();
    if (m_buffer.insert(text, 1) != ConsoleBuffer::Added::Done)
        return {ConsoleStep{ConsoleStep::Kind::Stop,
                            1,
                            "the game runs none of the script: at 8,192 bytes or more it does not fit the "
                            "command buffer (\"Cbuf_AddText: overflow\")",
                            {}}};
    return runBuffer();
}

bool ConsoleModel::consoleOwnsKey(int key) const
{
    // Escape always opens the menu; Quake 2 keeps its console keys too.
    return key == 27 || (m_game == Dialect::Quake2 && (key == '`' || key == '~'));
}

// The text a button command's key event adds: the binding, the key number and, in Quake 2, the
// time of the event, which nothing here depends on and which is written as 0.
QByteArray ConsoleModel::buttonSuffix(int key) const
{
    QByteArray out = ' ' + QByteArray::number(key);
    if (m_game == Dialect::Quake2)
        out += " 0";
    return out;
}

QList<ConsoleStep> ConsoleModel::press(int key)
{
    if (m_gone)
        return goneSteps();
    const std::optional<QByteArray> bound = binding(key);
    if (!bound || consoleOwnsKey(key))
        return {};
    m_buffer.clear();
    if (bound->startsWith('+')) {
        const QByteArray suffix = buttonSuffix(key);
        m_buffer.insert(*bound + suffix + '\n', 1, suffix.size());
    } else {
        m_buffer.insert(*bound + '\n', 1);
    }
    return runBuffer();
}

QList<ConsoleStep> ConsoleModel::release(int key)
{
    if (m_gone)
        return goneSteps();
    if (key < 0 || key >= int(m_bindings.size()) || consoleOwnsKey(key))
        return {};
    // Only button commands hear of a release: the key's own, then that of its shifted key.
    m_buffer.clear();
    const QByteArray suffix = buttonSuffix(key);
    const auto letGo = [&](int bound) {
        const std::optional<QByteArray> &text = m_bindings[std::size_t(bound)];
        if (text && text->startsWith('+'))
            m_buffer.insert('-' + text->sliced(1) + suffix + '\n', 1, suffix.size());
    };
    if (const int shifted = shiftedKey(key); shifted != key)
        letGo(shifted);
    letGo(key); // in front
    return runBuffer();
}

QList<ConsoleStep> ConsoleModel::goneSteps() const
{
    return {ConsoleStep{ConsoleStep::Kind::Stop, 1, "nothing runs: the game hung or quit above", {}}};
}

QList<ConsoleStep> ConsoleModel::runBuffer()
{
    Run run;
    for (; !m_buffer.isEmpty(); ++run.frame) {
        run.aliasCount = 0;
        Flow flow = Flow::Next;
        while (flow == Flow::Next && !m_buffer.isEmpty()) {
            const ConsoleBuffer::Command command = m_buffer.takeCommand();
            if (const QByteArray cap = run.pastCap(); !cap.isEmpty()) {
                run.note(ConsoleStep::Kind::Stop, command.level,
                         "still running after " + cap + "; the simulation stops here");
                flow = Flow::End;
                break;
            }
            ++run.commands;
            flow = runCommand(command, run);
        }
        if (flow == Flow::End)
            break;
    }
    m_buffer.clear();
    return run.steps;
}

ConsoleModel::Expanded ConsoleModel::expandVariables(QByteArray line) const
{
    if (line.size() >= lineSize)
        return {{}, "Line exceeded 1024 chars, discarded.\n"};
    qsizetype counted = line.size();
    bool inQuotes = false;
    int expansions = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            inQuotes = !inQuotes;
        if (inQuotes || line.at(i) != '$')
            continue;
        // The name is read as an argument would be; nothing after the $ leaves it alone. Only the
        // first argument is read, so that a long line costs no more than its length.
        const QByteArrayView rest = QByteArrayView(line).sliced(i + 1);
        const ScriptTokenizer::Tokens after = ScriptTokenizer::tokenize(rest.first(firstArgumentEnd(rest)), m_game);
        if (after.tokens.isEmpty())
            continue;
        const ScriptTokenizer::Token &name = after.tokens.constFirst();
        const qsizetype length = name.quoted ? name.text.size() + (name.closed ? 2 : 1) : name.text.size();
        const QByteArray value = m_variables.value(quake2Word(name));
        counted += value.size();
        if (counted >= lineSize)
            return {{}, "Expanded line exceeded 1024 chars, discarded.\n"};
        line.replace(i, 1 + name.offset + length, value);
        --i; // the value is read again
        if (++expansions == macroExpansions)
            return {{}, "Macro expansion loop, discarded.\n"};
    }
    if (inQuotes)
        return {{}, "Line has unmatched quote, discarded.\n"};
    return {line, {}};
}

ConsoleModel::Flow ConsoleModel::runCommand(const ConsoleBuffer::Command &command, Run &run)
{
    QByteArray text = command.text;
    if (m_game == Dialect::Quake && text.size() >= lineSize) {
        run.note(ConsoleStep::Kind::Stop, command.level,
                 "a command of " + QByteArray::number(text.size()) +
                     " bytes overruns the game's 1,024-byte line buffer, which can crash the game");
        m_gone = true;
        return Flow::End;
    }
    // Shown without the key number the game adds to a button command, unless that is all it is.
    const QByteArrayView suffix = QByteArrayView(command.text).last(command.keySuffix);
    const auto withoutSuffix = [&](QByteArrayView line) {
        if (!suffix.isEmpty() && line.endsWith(suffix) && !trimmed(line.chopped(suffix.size())).isEmpty())
            line.chop(suffix.size());
        return line;
    };
    ConsoleStep step{ConsoleStep::Kind::Command, command.level, {}, {}};
    if (m_game == Dialect::Quake2) {
        Expanded expanded = expandVariables(text);
        if (!expanded.discarded.isEmpty()) {
            step.text = trimmed(withoutSuffix(text)).toByteArray();
            step.output = expanded.discarded;
            run.add(step);
            return Flow::Next;
        }
        text = std::move(expanded.text);
    }
    const ScriptTokenizer::Tokens tokens = ScriptTokenizer::tokenize(text, m_game);
    if (tokens.tokens.isEmpty())
        return Flow::Next;
    const QList<QByteArray> args = arguments(tokens, m_game);
    const QByteArrayView shown = withoutSuffix(text);
    step.text =
        trimmed(tokens.commentAt >= 0 ? shown.first(std::min(shown.size(), tokens.commentAt)) : shown).toByteArray();

    const QByteArray &name = args.constFirst();
    const QByteArray lowerName = name.toLower();
    const auto builtin = builtins(m_game).constFind(lowerName);
    if (builtin != builtins(m_game).constEnd()) {
        switch (*builtin) {
        case Builtin::Alias:
            defineAlias(args, step.output);
            break;
        case Builtin::Bind:
            runBind(args, step.output);
            break;
        case Builtin::Unbind:
            runUnbind(args, step.output);
            break;
        case Builtin::Unbindall:
            for (int key = 0; key < int(m_bindings.size()); ++key) {
                if (m_bindings[std::size_t(key)])
                    setBinding(key, {});
            }
            break;
        case Builtin::Bindlist:
            listBindings(step.output);
            break;
        case Builtin::Echo: {
            // Also without the key number.
            const QList<QByteArray> words =
                shown.size() < text.size() ? arguments(ScriptTokenizer::tokenize(shown, m_game), m_game) : args;
            for (qsizetype i = 1; i < words.size(); ++i)
                step.output += words.at(i) + ' ';
            step.output += '\n';
            break;
        }
        case Builtin::Wait:
            run.add(step);
            return Flow::Wait;
        case Builtin::Exec:
            if (args.size() != 2)
                step.output = "exec <filename> : execute a script file\n";
            break;
        case Builtin::Set:
            runSet(args, step.output);
            break;
        case Builtin::Quiet:
            break;
        }
    } else if (m_names.isCommand(lowerName)) {
        // One of the game's commands: it does its work without a word.
    } else if (const auto alias = m_aliasByLowerName.constFind(lowerName); alias != m_aliasByLowerName.constEnd()) {
        return runAlias(*alias, step, run);
    } else if (const auto found = m_variables.constFind(name); found != m_variables.constEnd()) {
        if (args.size() > 1)
            setVariable(name, args.at(1));
        step.output = quoted(name) + " is " + quoted(m_variables.value(name)) + '\n';
    } else {
        step.output = "Unknown command " + quoted(name) + '\n';
    }
    run.add(step);
    return Flow::Next;
}

ConsoleModel::Flow ConsoleModel::runAlias(int index, ConsoleStep &step, Run &run)
{
    if (m_game == Dialect::Quake2 && ++run.aliasCount == aliasLoopCount) {
        step.output = "ALIAS_LOOP_COUNT\n";
        run.add(step);
        run.note(ConsoleStep::Kind::Loop, step.level,
                 "Quake 2 runs no more than 15 aliases a frame; it skips this one and goes on");
        return Flow::Next;
    }
    run.add(step);

    // The same alias again, in the same game, with what waited below it then still untouched: from
    // here on the game does the same again and again.
    const AliasRun now{m_state, std::min(run.aliasCount, aliasLoopCount + 1), m_buffer.mark(), m_buffer.size(),
                       run.frame};
    const auto before = run.aliases.constFind(index);
    if (before != run.aliases.constEnd() && before->state == now.state && before->aliasCount == now.aliasCount &&
        m_buffer.holds(before->mark)) {
        const int frames = run.frame - before->frame;
        QByteArray text;
        if (now.bufferSize > before->bufferSize) {
            text = "this repeats without end, and more waits in the command buffer each time, until the game "
                   "quits with \"SZ_GetSpace: overflow without allowoverflow set\"";
            m_gone = true;
        } else if (frames == 0) {
            text = "the game hangs here: this repeats without end within one frame";
            m_gone = true;
        } else {
            text = "this repeats every " +
                   (frames == 1 ? QByteArray("frame") : QByteArray::number(frames) + " frames") +
                   " for as long as the game runs; the simulation follows it no further";
        }
        run.note(ConsoleStep::Kind::Loop, step.level, text);
        return Flow::End;
    }
    run.aliases.insert(index, now);

    if (step.level >= maxLevel) {
        run.note(ConsoleStep::Kind::Stop, step.level,
                 "aliases run " + QByteArray::number(maxLevel) + " deep here; the simulation stops");
        return Flow::End;
    }
    switch (m_buffer.insert(m_aliases.at(index).value, step.level + 1)) {
    case ConsoleBuffer::Added::Done:
        break;
    case ConsoleBuffer::Added::Refused:
        run.steps.last().output = "Cbuf_AddText: overflow\n";
        break;
    case ConsoleBuffer::Added::Overflow:
        run.note(ConsoleStep::Kind::Stop, step.level,
                 "the command buffer overflows here and the game quits with \"SZ_GetSpace: overflow without "
                 "allowoverflow set\"");
        m_gone = true;
        return Flow::End;
    }
    return Flow::Next;
}

void ConsoleModel::defineAlias(const QList<QByteArray> &args, QByteArray &output)
{
    if (args.size() == 1) {
        output = "Current alias commands:\n";
        for (qsizetype i = m_aliases.size() - 1; i >= 0; --i)
            output += m_aliases.at(i).name + " : " + m_aliases.at(i).value + '\n';
        return;
    }
    const QByteArray &name = args.at(1);
    if (name.size() >= aliasNameSize) {
        output = "Alias name is too long\n";
        return;
    }
    // Quake puts a blank after every word, Quake 2 between words.
    QByteArray value = joined(args, 2);
    if (m_game == Dialect::Quake && args.size() > 2)
        value += ' ';
    value += '\n';
    const auto existing = m_aliasByName.constFind(name);
    if (existing != m_aliasByName.constEnd()) {
        changeState('a', name, &m_aliases.at(*existing).value, &value);
        m_aliases[*existing].value = value;
        return;
    }
    changeState('a', name, nullptr, &value);
    m_aliases.append(Alias{name, value});
    m_aliasByName.insert(name, int(m_aliases.size() - 1));
    m_aliasByLowerName.insert(name.toLower(), int(m_aliases.size() - 1));
}

void ConsoleModel::runBind(const QList<QByteArray> &args, QByteArray &output)
{
    // Quake takes the commands as one argument; Quake 2 joins the rest of the line.
    if (args.size() < 2 || (m_game == Dialect::Quake && args.size() > 3)) {
        output = "bind <key> [command] : attach a command to a key\n";
        return;
    }
    const std::optional<int> key = keyArgument(args.at(1), output);
    if (!key)
        return;
    if (args.size() == 2) {
        const std::optional<QByteArray> &bound = m_bindings[std::size_t(*key)];
        output = quoted(args.at(1)) + (bound ? " = " + quoted(*bound) : QByteArray(" is not bound")) + '\n';
        return;
    }
    setBinding(*key, joined(args, 2));
}

void ConsoleModel::runUnbind(const QList<QByteArray> &args, QByteArray &output)
{
    if (args.size() != 2) {
        output = "unbind <key> : remove commands from a key\n";
        return;
    }
    if (const std::optional<int> key = keyArgument(args.at(1), output))
        setBinding(*key, {});
}

std::optional<int> ConsoleModel::keyArgument(const QByteArray &name, QByteArray &output) const
{
    const std::optional<int> key = boundKey(name, m_game);
    if (!key)
        output = quoted(name) + " isn't a valid key\n";
    return key;
}

void ConsoleModel::runSet(const QList<QByteArray> &args, QByteArray &output)
{
    if (args.size() != 3 && args.size() != 4) {
        output = "usage: set <variable> <value> [u / s]\n";
        return;
    }
    if (args.size() == 4 && args.at(3) != "u" && args.at(3) != "s") {
        output = "flags can only be 'u' or 's'\n";
        return;
    }
    setVariable(args.at(1), args.at(2));
    output = quoted(args.at(1)) + " is " + quoted(args.at(2)) + '\n';
}

void ConsoleModel::listBindings(QByteArray &output) const
{
    for (int key = 0; key < int(m_bindings.size()); ++key) {
        const std::optional<QByteArray> &bound = m_bindings[std::size_t(key)];
        if (bound && !bound->isEmpty())
            output += quake2KeyName(key) + ' ' + quoted(*bound) + '\n';
    }
}

void ConsoleModel::setBinding(int key, const QByteArray &text)
{
    std::optional<QByteArray> &bound = m_bindings[std::size_t(key)];
    changeState('b', QByteArray::number(key), bound ? &*bound : nullptr, &text);
    bound = text;
}

void ConsoleModel::setVariable(const QByteArray &name, const QByteArray &value)
{
    const auto found = m_variables.constFind(name);
    changeState('v', name, found != m_variables.constEnd() ? &*found : nullptr, &value);
    m_variables.insert(name, value);
}

void ConsoleModel::changeState(char kind, QByteArrayView name, const QByteArray *before, const QByteArray *after)
{
    const auto entry = [&](const QByteArray &value) {
        const QByteArray bytes = kind + name.toByteArray() + '\0' + value;
        return quint64(qHashBits(bytes.constData(), size_t(bytes.size()), 0x2545f4914f6cdd1dULL));
    };
    if (before)
        m_state ^= entry(*before);
    if (after)
        m_state ^= entry(*after);
}

} // namespace vbu
