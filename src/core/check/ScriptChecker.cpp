#include "core/check/ScriptChecker.h"

#include "core/check/GameKeyNames.h"
#include "core/check/ScriptTokenizer.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

using Tokens = ScriptTokenizer::Tokens;

struct Line
{
    QByteArrayView text; // without its line end
    qsizetype endBytes = 0;
    bool crlf = false;   // the game's copy of the line's last command keeps the CR
    bool loneCr = false; // a CR with no LF after it and more text to follow
};

// What exec hands to the game: the lines up to a zero byte, if there is one.
struct Script
{
    std::vector<Line> lines;
    qsizetype bytes = 0;
    qsizetype zeroByteLine = -1;
};

// The editor's list as Save writes it.
template<typename LineAt> Script scriptOfList(qsizetype count, LineAt lineAt)
{
    Script script;
    script.lines.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        Line line;
        line.text = lineAt(i);
        const qsizetype zero = line.text.indexOf('\0');
        if (zero >= 0) {
            line.text = line.text.first(zero);
            script.bytes += zero;
            script.zeroByteLine = i;
            script.lines.push_back(line);
            break;
        }
        line.endBytes = 2;
        line.crlf = true;
        script.bytes += line.text.size() + 2;
        script.lines.push_back(line);
    }
    return script;
}

// A file's own bytes, cut into the lines an editor shows: at LF, CR LF and a lone CR. The game
// itself only ends a line at LF, so a lone CR is reported rather than silently taken as a line end.
Script scriptOfFile(QByteArrayView bytes)
{
    Script script;
    const qsizetype zero = bytes.indexOf('\0');
    const qsizetype end = zero < 0 ? bytes.size() : zero;
    script.bytes = end;
    qsizetype p = 0;
    while (p < end) {
        qsizetype q = p;
        while (q < end && bytes[q] != '\n' && bytes[q] != '\r')
            ++q;
        Line line;
        line.text = bytes.sliced(p, q - p);
        if (q < end) {
            if (bytes[q] == '\n') {
                line.endBytes = 1;
            } else if (q + 1 < end && bytes[q + 1] == '\n') {
                line.endBytes = 2;
                line.crlf = true;
            } else {
                line.endBytes = 1;
                line.loneCr = q + 1 < end;
            }
        }
        script.lines.push_back(line);
        p = q + line.endBytes;
    }
    if (zero >= 0) {
        if (script.lines.empty() || script.lines.back().endBytes != 0)
            script.lines.push_back(Line{});
        script.zeroByteLine = qsizetype(script.lines.size()) - 1;
    }
    return script;
}

QString number(qsizetype n)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(qlonglong(n));
}

// Script text shown inside a message: Latin-1, long texts shortened.
QString shown(QByteArrayView bytes)
{
    constexpr qsizetype most = 40;
    if (bytes.size() <= most)
        return QString::fromLatin1(bytes);
    return QString::fromLatin1(bytes.first(most - 3)) + u"..."_s;
}

QByteArrayView trimmedRight(QByteArrayView text)
{
    while (!text.isEmpty() && ScriptTokenizer::isSeparator(text.back()))
        text.chop(1);
    return text;
}

bool sameWord(QByteArrayView word, QLatin1StringView name)
{
    return QLatin1StringView(word).compare(name, Qt::CaseInsensitive) == 0;
}

QByteArray joined(const QList<ScriptTokenizer::Token> &tokens, qsizetype from)
{
    QByteArray out;
    for (qsizetype i = from; i < tokens.size(); ++i) {
        if (i > from)
            out += ' ';
        out += tokens.at(i).text;
    }
    return out;
}

// The text of a command from its first argument on, without a comment.
QByteArrayView commandText(QByteArrayView command, const Tokens &tokens)
{
    const qsizetype end = tokens.commentAt >= 0 ? tokens.commentAt : command.size();
    const qsizetype begin = tokens.tokens.isEmpty() ? end : tokens.tokens.constFirst().offset;
    return trimmedRight(command.sliced(begin, end - begin));
}

// Binds, aliases and commands nested inside a bind or an alias are looked at this deep.
constexpr int deepestNesting = 4;
constexpr qsizetype longestQuoted = 127;    // Quake 2 keeps this much of a quoted argument
constexpr qsizetype shortestLostWord = 128; // Quake 2 empties an unquoted word this long
constexpr qsizetype longestName = 15;
constexpr qsizetype shortestLongAlias = 32;

// The checks for one game.
class GameRules
{
public:
    explicit GameRules(CheckGame game)
        : m_game(game), m_quake(game == CheckGame::Quake),
          m_dialect(m_quake ? ScriptTokenizer::Dialect::Quake : ScriptTokenizer::Dialect::Quake2)
    {}

    QList<CheckFinding> run(const Script &script)
    {
        checkSize(script);
        for (size_t i = 0; i < script.lines.size(); ++i)
            checkLine(qsizetype(i), script.lines[i]);
        if (script.zeroByteLine >= 0)
            add(script.zeroByteLine, CheckSeverity::Error, CheckRule::ZeroByte,
                u"The file holds a zero byte in this line, and the game reads nothing from there on."_s);
        std::stable_sort(m_out.begin(), m_out.end(),
                         [](const CheckFinding &a, const CheckFinding &b) { return a.line < b.line; });
        return m_out;
    }

private:
    // Which keys a run of commands has bound, and where: key -> line index.
    using Scope = QHash<QByteArray, qsizetype>;

    struct Key
    {
        QByteArray id; // the same for every name of one key
        int number = -1;
    };

    void add(qsizetype line, CheckSeverity severity, CheckRule rule, const QString &text, qsizetype otherLine = -1)
    {
        // A line that does the same wrong thing twice is told once. Findings come line by line,
        // so those of this line are the last ones.
        for (auto it = m_out.crbegin(); it != m_out.crend() && it->line == line + 1; ++it) {
            if (it->text == text)
                return;
        }
        CheckFinding f;
        f.line = line + 1;
        f.severity = severity;
        f.rule = rule;
        f.text = text;
        f.otherLine = otherLine + 1;
        f.game = m_game;
        m_out.append(f);
    }

    // exec puts the whole file into the command buffer or, when it does not fit, none of it.
    // The finding goes to the line where the limit is passed: that tells how much must go.
    void checkSize(const Script &script)
    {
        if (script.bytes < ScriptChecker::commandBufferSize)
            return;
        qsizetype total = 0;
        for (size_t i = 0; i < script.lines.size(); ++i) {
            total += script.lines[i].text.size() + script.lines[i].endBytes;
            if (total >= ScriptChecker::commandBufferSize) {
                add(qsizetype(i), CheckSeverity::Error, CheckRule::ScriptTooLong,
                    u"The script is %1 bytes long and the game refuses a script of 8,192 bytes or more as a whole, "
                    "so none of it runs (this line passes the limit; some source ports allow more)."_s.arg(
                        number(script.bytes)));
                return;
            }
        }
    }

    void checkLine(qsizetype index, const Line &line)
    {
        if (line.loneCr)
            add(index, CheckSeverity::Error, CheckRule::LoneCarriageReturn,
                u"This line ends in a carriage return alone, which the game does not take as a line end, so it runs "
                "together with the next line."_s);
        const QList<ScriptTokenizer::Command> commands = ScriptTokenizer::splitCommands(line.text);
        QList<Tokens> tokens;
        tokens.reserve(commands.size());
        for (const ScriptTokenizer::Command &c : commands)
            tokens.append(ScriptTokenizer::tokenize(line.text.sliced(c.offset, c.length), m_dialect));

        for (qsizetype k = 0; k < commands.size(); ++k) {
            const ScriptTokenizer::Command &c = commands.at(k);
            const QByteArrayView command = line.text.sliced(c.offset, c.length);
            const Tokens &t = tokens.at(k);
            if (t.commentAt >= 0 && c.endsAtSemicolon)
                checkCommentRunsOn(index, line, commands, tokens, k);
            // The game copies the command as it stands in the buffer, with the CR of a CR LF line end.
            const bool keepsCr = line.crlf && k == commands.size() - 1 && !c.endsAtSemicolon;
            const qsizetype copied = c.length + (keepsCr ? 1 : 0);
            bool discarded = false;
            if (copied >= ScriptChecker::commandLineSize) {
                add(index, CheckSeverity::Error, CheckRule::CommandTooLong,
                    m_quake ? u"This command is %1 bytes long and overruns the game's 1,024-byte command buffer, "
                              "which can crash the game."_s.arg(number(copied))
                            : u"This command is %1 bytes long, and the game discards a command longer than 1,023 "
                              "bytes."_s.arg(number(copied)));
                discarded = true;
            }
            discarded = checkQuotes(index, command, t) || discarded;
            if (discarded)
                continue;
            if (!m_quake)
                checkArgumentLengths(index, t);
            checkCommand(index, command, t, m_topLevel, 0);
        }
    }

    // A comment is not seen when the buffer is cut into commands, so a ';' in it ends it.
    void checkCommentRunsOn(qsizetype index, const Line &line, const QList<ScriptTokenizer::Command> &commands,
                            const QList<Tokens> &tokens, qsizetype k)
    {
        for (qsizetype j = k + 1; j < commands.size(); ++j) {
            if (tokens.at(j).tokens.isEmpty())
                continue;
            const ScriptTokenizer::Command &c = commands.at(j);
            const QByteArrayView runs = commandText(line.text.sliced(c.offset, c.length), tokens.at(j));
            add(index, CheckSeverity::Error, CheckRule::CommentRunsCommand,
                u"The ';' in this comment ends the comment, so the game runs '%1' as a command."_s.arg(shown(runs)));
            return;
        }
    }

    // Returns whether the game drops the command for it.
    bool checkQuotes(qsizetype index, QByteArrayView command, const Tokens &t)
    {
        if (command.count('"') % 2 == 0)
            return false;
        if (!m_quake) {
            // Quake 2 counts the quotes of the whole command, its comment included.
            if (t.tokens.isEmpty())
                return true;
            add(index, CheckSeverity::Error, CheckRule::UnclosedQuote,
                u"A double quote is not closed, so the game discards this command."_s);
            return true;
        }
        const qsizetype end = t.commentAt >= 0 ? t.commentAt : command.size();
        if (command.first(end).count('"') % 2 != 0)
            add(index, CheckSeverity::Warning, CheckRule::UnclosedQuote,
                u"A double quote is not closed, so the rest of the line counts as quoted and a ';' there no longer "
                "ends a command."_s);
        return false;
    }

    void checkArgumentLengths(qsizetype index, const Tokens &t)
    {
        for (const ScriptTokenizer::Token &token : t.tokens) {
            const qsizetype size = token.text.size();
            if (token.quoted && size > longestQuoted)
                add(index, CheckSeverity::Error, CheckRule::ArgumentTooLong,
                    u"The game cuts a quoted argument after 127 characters, and this one has %1."_s.arg(number(size)));
            else if (!token.quoted && size >= shortestLostWord)
                add(index, CheckSeverity::Error, CheckRule::ArgumentTooLong,
                    u"The game drops an unquoted word of 128 characters or more, and this one has %1."_s.arg(
                        number(size)));
        }
    }

    // Commands inside a bind or an alias run later, each string on its own, so keys bound there
    // are compared only with other binds of the same string.
    void checkNested(qsizetype index, QByteArrayView text, int depth)
    {
        if (depth > deepestNesting)
            return;
        Scope scope;
        for (const ScriptTokenizer::Command &c : ScriptTokenizer::splitCommands(text)) {
            const QByteArrayView command = text.sliced(c.offset, c.length);
            checkCommand(index, command, ScriptTokenizer::tokenize(command, m_dialect), scope, depth);
        }
    }

    void checkCommand(qsizetype index, QByteArrayView command, const Tokens &t, Scope &scope, int depth)
    {
        const QList<ScriptTokenizer::Token> &args = t.tokens;
        if (args.isEmpty())
            return;
        const QByteArrayView name = args.constFirst().text;
        if (sameWord(name, "bind"_L1))
            checkBind(index, args, scope, depth);
        else if (sameWord(name, "unbind"_L1))
            checkUnbind(index, args, scope);
        else if (sameWord(name, "unbindall"_L1))
            scope.clear();
        else if (sameWord(name, "alias"_L1))
            checkAlias(index, args, depth);
        else if (sameWord(name, "set"_L1))
            checkSet(index, args);
        else if (sameWord(name, "name"_L1))
            checkNameCommand(index, command, args);
    }

    void checkBind(qsizetype index, const QList<ScriptTokenizer::Token> &args, Scope &scope, int depth)
    {
        if (args.size() < 2)
            return;
        const std::optional<Key> key = checkKey(index, args.at(1).text);
        if (args.size() == 2) // shows the binding
            return;
        if (m_quake && args.size() > 3) {
            add(index, CheckSeverity::Error, CheckRule::BindNotQuoted,
                u"The game takes a bind's commands as one argument and refuses this bind: put its commands in double "
                "quotes."_s);
            return;
        }
        const QByteArray commands = m_quake ? args.at(2).text.toByteArray() : joined(args, 2);
        if (key) {
            const auto earlier = scope.constFind(key->id);
            if (earlier != scope.constEnd()) {
                const QString keyName = shown(args.at(1).text);
                if (*earlier == index)
                    add(index, CheckSeverity::Warning, CheckRule::DuplicateBind,
                        u"Key '%1' is bound twice on this line, and the later bind replaces the earlier one."_s.arg(
                            keyName),
                        index);
                else
                    add(index, CheckSeverity::Warning, CheckRule::DuplicateBind,
                        u"Key '%1' is bound again here, which replaces its binding from line %2."_s.arg(keyName).arg(
                            *earlier + 1),
                        *earlier);
            }
            scope.insert(key->id, index);
            checkKeyUse(index, *key, commands);
        }
        checkNested(index, commands, depth + 1);
    }

    void checkUnbind(qsizetype index, const QList<ScriptTokenizer::Token> &args, Scope &scope)
    {
        if (args.size() < 2)
            return;
        if (const std::optional<Key> key = checkKey(index, args.at(1).text))
            scope.remove(key->id);
    }

    // Keys whose binding the game never runs.
    void checkKeyUse(qsizetype index, const Key &key, QByteArrayView commands)
    {
        const QByteArrayView what = commands.trimmed();
        if (key.number == 27 && !sameWord(what, "togglemenu"_L1))
            add(index, CheckSeverity::Warning, CheckRule::KeyNeverUsed,
                u"The Escape key always opens the menu, so this binding is never used."_s);
        if (!m_quake && (key.number == '`' || key.number == '~') && !sameWord(what, "toggleconsole"_L1))
            add(index, CheckSeverity::Warning, CheckRule::KeyNeverUsed,
                u"The '%1' key always opens the console, so this binding is never used."_s.arg(QChar(key.number)));
    }

    std::optional<Key> checkKey(qsizetype index, QByteArrayView name)
    {
        if (name.isEmpty()) {
            add(index, CheckSeverity::Error, CheckRule::UnknownKey,
                u"The key name is empty, so this command does nothing."_s);
            return std::nullopt;
        }
        if (name.size() == 1) {
            const char c = name.front();
            if (c >= 'A' && c <= 'Z') {
                add(index, CheckSeverity::Warning, CheckRule::UpperCaseKey,
                    u"The game sends letter keys in lower case, so '%1' is never pressed: use '%2'."_s.arg(
                        QString(QLatin1Char(c)), QString(QLatin1Char(char(c - 'A' + 'a')))));
                return std::nullopt;
            }
            const int number = static_cast<unsigned char>(c);
            return Key{"#" + QByteArray::number(number), number};
        }
        const GameKeyNames::Table table = m_quake ? GameKeyNames::Table::Quake : GameKeyNames::Table::Quake2;
        if (const std::optional<int> number = GameKeyNames::keyNumber(name, table))
            return Key{"#" + QByteArray::number(*number), *number};
        // Quake's source ports took over the keypad names of Quake 2.
        const bool portName =
            GameKeyNames::isPortName(name) || (m_quake && GameKeyNames::keyNumber(name, GameKeyNames::Table::Quake2));
        if (portName) {
            add(index, CheckSeverity::Warning, CheckRule::PortOnlyKey,
                u"Only some source ports know the key name '%1'; the original game refuses it."_s.arg(shown(name)));
            return Key{"=" + name.toByteArray().toUpper(), -1};
        }
        add(index, CheckSeverity::Error, CheckRule::UnknownKey,
            u"The game knows no key named '%1', so this command does nothing."_s.arg(shown(name)));
        return std::nullopt;
    }

    void checkAlias(qsizetype index, const QList<ScriptTokenizer::Token> &args, int depth)
    {
        if (args.size() < 2)
            return;
        const qsizetype size = args.at(1).text.size();
        if (size >= shortestLongAlias) {
            add(index, CheckSeverity::Error, CheckRule::AliasNameTooLong,
                u"The game refuses an alias name of 32 characters or more, and this one has %1."_s.arg(size));
            return;
        }
        if (args.size() >= 3)
            checkNested(index, joined(args, 2), depth + 1);
    }

    void checkSet(qsizetype index, const QList<ScriptTokenizer::Token> &args)
    {
        if (m_quake) {
            add(index, CheckSeverity::Error, CheckRule::SetMissing,
                u"The game has no 'set' command, so this does nothing: write the variable's name and then its value "
                "instead."_s);
            return;
        }
        // set NAME VALUE, with a flag u or s as a fourth argument
        if ((args.size() == 3 || args.size() == 4) && sameWord(args.at(1).text, "name"_L1))
            checkName(index, args.at(2).text);
    }

    void checkNameCommand(qsizetype index, QByteArrayView command, const QList<ScriptTokenizer::Token> &args)
    {
        if (args.size() < 2)
            return;
        if (m_quake) {
            // Quake takes all of the rest of the line when there is more than one argument.
            if (args.size() == 2)
                checkName(index, args.at(1).text);
            else
                checkName(index, trimmedRight(command.sliced(args.at(1).offset)));
            return;
        }
        if (args.size() > 2)
            add(index, CheckSeverity::Error, CheckRule::NameFirstWordOnly,
                u"The game takes only the first argument, '%1', as the name: put the whole name in one pair of "
                "double quotes."_s.arg(shown(args.at(1).text)));
        checkName(index, args.at(1).text);
    }

    void checkName(qsizetype index, QByteArrayView name)
    {
        if (name.contains('"'))
            add(index, CheckSeverity::Error, CheckRule::NameBadCharacter,
                u"A player name cannot hold a double quote."_s);
        if (!m_quake && (name.contains(';') || name.contains('\\')))
            add(index, CheckSeverity::Error, CheckRule::NameBadCharacter,
                u"The game refuses a player name that holds ';' or '\\'."_s);
        if (name.size() > longestName)
            add(index, CheckSeverity::Warning, CheckRule::NameTooLong,
                u"The game keeps only 15 characters of a name, so '%1' becomes '%2'."_s.arg(
                    QString::fromLatin1(name), QString::fromLatin1(name.first(longestName))));
    }

    CheckGame m_game;
    bool m_quake;
    ScriptTokenizer::Dialect m_dialect;
    QList<CheckFinding> m_out;
    Scope m_topLevel;
};

bool sameButGame(const CheckFinding &a, const CheckFinding &b)
{
    return a.line == b.line && a.severity == b.severity && a.rule == b.rule && a.otherLine == b.otherLine &&
           a.text == b.text;
}

// Both games: what they agree on once and unmarked, the rest under the game's name. Both lists
// are in line order, so findings are matched line by line.
QList<CheckFinding> joinGames(const QList<CheckFinding> &quake, const QList<CheckFinding> &quake2)
{
    QList<CheckFinding> out;
    out.reserve(quake.size() + quake2.size());
    const QString quakeMark = ScriptChecker::gameName(CheckGame::Quake) + u": "_s;
    const QString quake2Mark = ScriptChecker::gameName(CheckGame::Quake2) + u": "_s;
    qsizetype i = 0;
    qsizetype j = 0;
    std::vector<bool> matched;
    while (i < quake.size() || j < quake2.size()) {
        const qsizetype line = std::min(i < quake.size() ? quake.at(i).line : quake2.at(j).line,
                                        j < quake2.size() ? quake2.at(j).line : quake.at(i).line);
        qsizetype iEnd = i;
        while (iEnd < quake.size() && quake.at(iEnd).line == line)
            ++iEnd;
        const qsizetype jFirst = j;
        qsizetype jEnd = j;
        while (jEnd < quake2.size() && quake2.at(jEnd).line == line)
            ++jEnd;
        matched.assign(size_t(jEnd - jFirst), false);
        for (; i < iEnd; ++i) {
            CheckFinding f = quake.at(i);
            qsizetype same = -1;
            for (qsizetype k = jFirst; k < jEnd && same < 0; ++k) {
                if (!matched[size_t(k - jFirst)] && sameButGame(quake2.at(k), f))
                    same = k;
            }
            if (same >= 0) {
                matched[size_t(same - jFirst)] = true;
                f.game = CheckGame::Both;
            } else {
                f.text = quakeMark + f.text;
            }
            out.append(f);
        }
        for (; j < jEnd; ++j) {
            if (matched[size_t(j - jFirst)])
                continue;
            CheckFinding f = quake2.at(j);
            f.text = quake2Mark + f.text;
            out.append(f);
        }
    }
    return out;
}

QList<CheckFinding> checkScript(const Script &script, CheckGame game)
{
    if (game != CheckGame::Both)
        return GameRules(game).run(script);
    return joinGames(GameRules(CheckGame::Quake).run(script), GameRules(CheckGame::Quake2).run(script));
}

} // namespace

QList<CheckFinding> ScriptChecker::check(const ScriptLines &lines, CheckGame game)
{
    return checkScript(scriptOfList(lines.size(), [&lines](qsizetype i) { return lines.view(i); }), game);
}

QList<CheckFinding> ScriptChecker::check(const QList<QByteArray> &lines, CheckGame game)
{
    return checkScript(scriptOfList(lines.size(), [&lines](qsizetype i) { return QByteArrayView(lines.at(i)); }), game);
}

QList<CheckFinding> ScriptChecker::checkFile(QByteArrayView bytes, CheckGame game)
{
    return checkScript(scriptOfFile(bytes), game);
}

QString ScriptChecker::format(const QString &fileName, const CheckFinding &finding)
{
    const QString severity = finding.severity == CheckSeverity::Error ? u"error"_s : u"warning"_s;
    return fileName + u':' + QString::number(finding.line) + u": "_s + severity + u": "_s + finding.text;
}

std::optional<CheckGame> ScriptChecker::gameFromName(QStringView name)
{
    if (name == u"quake")
        return CheckGame::Quake;
    if (name == u"quake2")
        return CheckGame::Quake2;
    if (name == u"both")
        return CheckGame::Both;
    return std::nullopt;
}

QString ScriptChecker::gameName(CheckGame game)
{
    switch (game) {
    case CheckGame::Quake:
        return u"Quake"_s;
    case CheckGame::Quake2:
        return u"Quake 2"_s;
    case CheckGame::Both:
        break;
    }
    return u"Quake and Quake 2"_s;
}

} // namespace vbu
