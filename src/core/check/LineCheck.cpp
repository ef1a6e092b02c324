#include "core/check/LineCheck.h"

#include "core/check/CheckTexts.h"
#include "core/check/GameKeyNames.h"
#include "core/check/ScriptNames.h"

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

using Tokens = ScriptTokenizer::Tokens;
using checkTexts::number;
using checkTexts::shown;

constexpr qsizetype longestQuoted = 127;    // Quake 2 keeps this much of a quoted argument
constexpr qsizetype shortestLostWord = 128; // Quake 2 empties an unquoted word this long
constexpr qsizetype longestName = 15;
constexpr qsizetype shortestLongAlias = 32;
// Keys are told apart by their byte; names only some ports know come after all bytes.
constexpr int firstPortKey = 256;
// Unknown names whose finding's text is remembered, and the longest; then the memory starts
// again. Far longer names than any known one have no near name, which is quickly seen.
constexpr qsizetype rememberedNames = 1024;
constexpr qsizetype longestRememberedName = 64;
// Finding texts remembered to be shared; then the memory starts again.
constexpr qsizetype rememberedTexts = 4096;

QByteArrayView trimmedRight(QByteArrayView text)
{
    while (!text.isEmpty() && ScriptTokenizer::isSeparator(text.back()))
        text.chop(1);
    return text;
}

GameKeyNames::Table keyTable(bool quake)
{
    return quake ? GameKeyNames::Table::Quake : GameKeyNames::Table::Quake2;
}

bool sameWord(QByteArrayView word, QLatin1StringView name)
{
    return QLatin1StringView(word).compare(name, Qt::CaseInsensitive) == 0;
}

// The text of a command from its first argument on, without a comment.
QByteArrayView commandText(QByteArrayView command, const Tokens &tokens)
{
    const qsizetype end = tokens.commentAt >= 0 ? tokens.commentAt : command.size();
    const qsizetype begin = tokens.tokens.isEmpty() ? end : tokens.tokens.constFirst().offset;
    return trimmedRight(command.sliced(begin, end - begin));
}

} // namespace

LineCheck::LineCheck(CheckGame game) : LineCheck(game, Known()) {}

LineCheck::LineCheck(CheckGame game, Known known)
    : m_game(game), m_known(known), m_quake(game == CheckGame::Quake),
      m_hasSet(!m_quake || (known.profile && known.profile->command("set"))),
      m_dialect(m_quake ? ScriptTokenizer::Dialect::Quake : ScriptTokenizer::Dialect::Quake2),
      m_scopes(deepestNesting + 1, KeyScope(keyCount())), m_touched(keyCount())
{}

qsizetype LineCheck::keyCount()
{
    return firstPortKey + qsizetype(GameKeyNames::portNames().size()) +
           qsizetype(GameKeyNames::table(GameKeyNames::Table::Quake2).size());
}

LineCheck::Line LineCheck::savedLine(QByteArrayView text)
{
    Line line;
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0) {
        line.text = text.first(zero);
        line.zeroByte = true;
        return line;
    }
    line.text = text;
    line.endBytes = 2;
    line.crlf = true;
    return line;
}

void LineCheck::check(qsizetype index, const Line &line, Result &out)
{
    m_index = index;
    m_out = &out;
    out.findings.clear();
    out.firstBinds.clear();
    out.unbindsAll = false;
    out.keysLeft.clear();
    out.aliases.clear();
    out.asksNames = false;
    out.keysBoundTwice.clear();
    m_runsAfter = {};
    m_checkNames = true;
    m_scopes[0].clear();
    m_touched.clear();
    if (line.loneCr)
        add(CheckSeverity::Error, CheckRule::LoneCarriageReturn,
            u"This line ends in a carriage return alone, which the game does not take as a line end, so it runs "
            "together with the next line."_s);
    const QByteArrayView text = line.text;
    Tokens &t = m_tokens[0];
    for (qsizetype p = 0; p < text.size();) {
        const ScriptTokenizer::Command c = ScriptTokenizer::commandAt(text, p);
        p = c.next();
        const QByteArrayView command = text.sliced(c.offset, c.length);
        // The game copies the command as it stands in the buffer, with the CR of a CR LF line end.
        const bool keepsCr = line.crlf && !c.endsAtSemicolon && c.next() >= text.size();
        const qsizetype copied = c.length + (keepsCr ? 1 : 0);
        const bool tooLong = copied >= ScriptChecker::commandLineSize;
        // The game drops a command that is too long, so its arguments do not matter.
        ScriptTokenizer::tokenize(command, m_dialect, t, tooLong ? 1 : std::numeric_limits<qsizetype>::max());
        if (t.commentAt >= 0 && c.endsAtSemicolon)
            checkCommentRunsOn(text, c.next());
        if (tooLong)
            add(CheckSeverity::Error, CheckRule::CommandTooLong,
                m_quake ? u"This command is %1 bytes long and overruns the game's 1,024-byte command buffer, "
                          "which can crash the game."_s.arg(number(copied))
                        : u"This command is %1 bytes long, and the game discards a command longer than 1,023 "
                          "bytes."_s.arg(number(copied)));
        const bool dropped = (c.oddQuotes && checkOddQuotes(command, t)) || tooLong;
        if (dropped)
            continue;
        if (!m_quake)
            checkArgumentLengths(t);
        checkCommand(command, t, 0);
    }
    if (line.zeroByte)
        add(CheckSeverity::Error, CheckRule::ZeroByte,
            u"The file holds a zero byte in this line, and the game reads nothing from there on."_s);
    for (KeyLeft &left : out.keysLeft)
        left.bound = m_scopes[0].lineOf(left.key).has_value();
}

void LineCheck::add(CheckSeverity severity, CheckRule rule, const QString &text, qsizetype otherLine)
{
    CheckFinding f;
    f.line = m_index + 1;
    f.severity = severity;
    f.rule = rule;
    f.text = sharedText(text);
    f.otherLine = otherLine + 1;
    f.game = m_game;
    m_out->findings.add(std::move(f));
}

// A finding found on many lines costs its text once. A literal, or a text shared already, is
// kept as it is.
const QString &LineCheck::sharedText(const QString &text)
{
    if (!text.isDetached())
        return text;
    if (m_texts.size() >= rememberedTexts)
        m_texts.clear();
    return *m_texts.insert(text);
}

// A comment is not seen when the buffer is cut into commands, so a ';' in it ends it.
void LineCheck::checkCommentRunsOn(QByteArrayView text, qsizetype from)
{
    RunsAfter &r = m_runsAfter;
    if (r.from < 0 || from < r.from || from > r.found) {
        r = {from, text.size(), std::nullopt};
        for (qsizetype p = from; p < text.size();) {
            const ScriptTokenizer::Command c = ScriptTokenizer::commandAt(text, p);
            const QByteArrayView command = text.sliced(c.offset, c.length);
            ScriptTokenizer::tokenize(command, m_dialect, m_lookTokens, 1);
            if (!m_lookTokens.tokens.isEmpty()) {
                r.found = c.offset;
                r.runs = commandText(command, m_lookTokens);
                break;
            }
            p = c.next();
        }
    }
    if (r.runs)
        add(CheckSeverity::Error, CheckRule::CommentRunsCommand,
            u"The ';' in this comment ends the comment, so the game runs '%1' as a command."_s.arg(shown(*r.runs)));
}

// A command with a double quote that is not closed. Returns whether the game drops it.
bool LineCheck::checkOddQuotes(QByteArrayView command, const Tokens &t)
{
    if (!m_quake) {
        // Quake 2 counts the quotes of the whole command, its comment included.
        if (t.tokens.isEmpty())
            return true;
        add(CheckSeverity::Error, CheckRule::UnclosedQuote,
            u"A double quote is not closed, so the game discards this command."_s);
        return true;
    }
    const qsizetype end = t.commentAt >= 0 ? t.commentAt : command.size();
    if (command.first(end).count('"') % 2 != 0)
        add(CheckSeverity::Warning, CheckRule::UnclosedQuote,
            u"A double quote is not closed, so the rest of the line counts as quoted and a ';' there no longer "
            "ends a command."_s);
    return false;
}

void LineCheck::checkArgumentLengths(const Tokens &t)
{
    for (const ScriptTokenizer::Token &token : t.tokens) {
        const qsizetype size = token.text.size();
        if (token.quoted && size > longestQuoted)
            add(CheckSeverity::Error, CheckRule::ArgumentTooLong,
                u"The game cuts a quoted argument after 127 characters, and this one has %1."_s.arg(number(size)));
        else if (!token.quoted && size >= shortestLostWord)
            add(CheckSeverity::Error, CheckRule::ArgumentTooLong,
                u"The game drops an unquoted word of 128 characters or more, and this one has %1."_s.arg(number(size)));
    }
}

// Commands inside a bind or an alias run later, each string on its own, so keys bound there
// are compared only with other binds of the same string.
void LineCheck::checkNested(QByteArrayView text, int depth)
{
    if (depth > deepestNesting)
        return;
    m_scopes[size_t(depth)].clear();
    Tokens &t = m_tokens[size_t(depth)];
    for (qsizetype p = 0; p < text.size();) {
        const ScriptTokenizer::Command c = ScriptTokenizer::commandAt(text, p);
        p = c.next();
        const QByteArrayView command = text.sliced(c.offset, c.length);
        ScriptTokenizer::tokenize(command, m_dialect, t);
        checkCommand(command, t, depth);
    }
}

void LineCheck::checkCommand(QByteArrayView command, const Tokens &t, int depth)
{
    const Args &args = t.tokens;
    if (args.isEmpty())
        return;
    const QByteArrayView name = args.constFirst().text;
    if (sameWord(name, "bind"_L1))
        checkBind(args, depth);
    else if (sameWord(name, "unbind"_L1))
        checkUnbind(args, depth);
    else if (sameWord(name, "unbindall"_L1))
        checkUnbindAll(depth);
    else if (sameWord(name, "alias"_L1))
        checkAlias(args, depth);
    else if (sameWord(name, "set"_L1))
        checkSet(args);
    else if (sameWord(name, "name"_L1))
        checkNameCommand(command, args);
    else
        checkKnownName(args);
}

void LineCheck::checkBind(const Args &args, int depth)
{
    if (args.size() < 2)
        return;
    const std::optional<int> key = checkKey(args.at(1).text);
    if (args.size() == 2) // shows the binding
        return;
    if (m_quake && args.size() > 3) {
        add(CheckSeverity::Error, CheckRule::BindNotQuoted,
            u"The game takes a bind's commands as one argument and refuses this bind: put its commands in double "
            "quotes."_s);
        return;
    }
    const QByteArrayView commands = m_quake ? args.at(2).text : joined(args, 2, depth + 1);
    if (key) {
        KeyScope &scope = m_scopes[size_t(depth)];
        if (depth == 0 && !m_out->unbindsAll && !m_touched.lineOf(*key))
            m_out->firstBinds.push_back({*key, args.at(1).text, m_out->findings.size()});
        if (scope.lineOf(*key)) {
            add(CheckSeverity::Warning, CheckRule::DuplicateBind,
                checkTexts::boundAgain(args.at(1).text, m_index, m_index), m_index);
            if (depth == 0)
                m_out->keysBoundTwice.push_back(*key);
        }
        scope.bind(*key, m_index);
        if (depth == 0)
            touch(*key);
        checkKeyUse(*key, commands);
        checkPressAndRelease(args.at(1).text, commands);
    }
    // What the game never runs names nothing it must know.
    const bool namesBefore = m_checkNames;
    m_checkNames = m_checkNames && (!key || bindingRuns(*key));
    checkNested(commands, depth + 1);
    m_checkNames = namesBefore;
}

void LineCheck::checkUnbind(const Args &args, int depth)
{
    if (args.size() < 2)
        return;
    const std::optional<int> key = checkKey(args.at(1).text);
    if (!key)
        return;
    m_scopes[size_t(depth)].unbind(*key);
    if (depth == 0)
        touch(*key);
}

void LineCheck::checkUnbindAll(int depth)
{
    m_scopes[size_t(depth)].clear();
    if (depth == 0)
        m_out->unbindsAll = true;
}

// Notes a key the line binds or unbinds, once, to hand on how the line leaves it.
void LineCheck::touch(int key)
{
    if (m_touched.lineOf(key))
        return;
    m_touched.bind(key, 0);
    m_out->keysLeft.push_back({key, false});
}

// Keys whose binding the game never runs.
void LineCheck::checkKeyUse(int key, QByteArrayView commands)
{
    if (bindingRuns(key))
        return;
    const QByteArrayView what = commands.trimmed();
    if (key == 27) {
        if (!sameWord(what, "togglemenu"_L1))
            add(CheckSeverity::Warning, CheckRule::KeyNeverUsed,
                u"The Escape key always opens the menu, so this binding is never used."_s);
    } else if (!sameWord(what, "toggleconsole"_L1)) {
        add(CheckSeverity::Warning, CheckRule::KeyNeverUsed,
            u"The '%1' key always opens the console, so this binding is never used."_s.arg(QChar(key)));
    }
}

// The game keeps Escape for the menu, and Quake 2 the console keys for the console.
bool LineCheck::bindingRuns(int key) const
{
    return key != 27 && (m_quake || (key != '`' && key != '~'));
}

// A key's press runs its binding; its release runs the binding again with the first '+' turned
// into '-', and only when the binding starts with it.
void LineCheck::checkPressAndRelease(QByteArrayView key, QByteArrayView commands)
{
    const bool button = commands.startsWith('+');
    std::optional<QByteArrayView> firstRelease;
    bool onlyReleases = true;
    Tokens &t = m_bindTokens;
    for (qsizetype p = 0; p < commands.size();) {
        const ScriptTokenizer::Command c = ScriptTokenizer::commandAt(commands, p);
        p = c.next();
        ScriptTokenizer::tokenize(commands.sliced(c.offset, c.length), m_dialect, t, 1);
        if (t.tokens.isEmpty())
            continue;
        const QByteArrayView name = t.tokens.constFirst().text;
        const bool release = name.size() > 1 && name.front() == '-';
        if (release && !firstRelease)
            firstRelease = name;
        onlyReleases = onlyReleases && release;
        if (button && c.offset > 0 && name.size() > 1 && name.front() == '+')
            add(CheckSeverity::Warning, CheckRule::CommandRunsOnRelease,
                u"'%1' runs again when key '%2' is released, since the game turns only the first command of a "
                "binding into its '-' form."_s.arg(shown(name), shown(key)));
    }
    if (firstRelease && onlyReleases)
        add(CheckSeverity::Warning, CheckRule::OnlyReleaseCommands,
            u"Key '%1' runs only '-' commands, which stop an action and start none: '+%2' may be what is meant."_s.arg(
                shown(key), shown(firstRelease->sliced(1))));
}

std::optional<int> LineCheck::checkKey(QByteArrayView name)
{
    if (name.isEmpty()) {
        add(CheckSeverity::Error, CheckRule::UnknownKey, u"The key name is empty, so this command does nothing."_s);
        return std::nullopt;
    }
    if (name.size() == 1) {
        const char c = name.front();
        if (c >= 'A' && c <= 'Z') {
            add(CheckSeverity::Warning, CheckRule::UpperCaseKey,
                u"The game sends letter keys in lower case, so '%1' is never pressed: use '%2'."_s.arg(
                    QString(QLatin1Char(c)), QString(QLatin1Char(char(c - 'A' + 'a')))));
            return std::nullopt;
        }
        return static_cast<unsigned char>(c);
    }
    if (knowsPortKeys()) {
        if (const std::optional<int> key = portProfileKey(name))
            return key;
    } else if (const std::optional<int> number = GameKeyNames::keyNumber(name, keyTable(m_quake))) {
        return *number;
    } else if (const std::optional<int> portKey = portOnlyKey(name)) {
        add(CheckSeverity::Error, CheckRule::PortOnlyKey,
            u"Only some source ports know the key name '%1'; the original game refuses it, so this command does "
            "nothing."_s.arg(shown(name)));
        return portKey;
    }
    add(CheckSeverity::Error, CheckRule::UnknownKey,
        u"The game knows no key named '%1', so this command does nothing."_s.arg(shown(name)));
    return std::nullopt;
}

// A port knows the names of its profile. They are told apart as those of the game and of other
// ports are, so that two names of one key count as one.
std::optional<int> LineCheck::portProfileKey(QByteArrayView name) const
{
    if (!m_known.profile->key(name))
        return std::nullopt;
    if (const std::optional<int> number = GameKeyNames::keyNumber(name, keyTable(m_quake)))
        return number;
    return portOnlyKey(name);
}

std::optional<int> LineCheck::portOnlyKey(QByteArrayView name) const
{
    if (const std::optional<qsizetype> at = GameKeyNames::portIndex(name))
        return firstPortKey + int(*at);
    // Quake's source ports took over the keypad names of Quake 2.
    if (!m_quake)
        return std::nullopt;
    if (const std::optional<qsizetype> at = GameKeyNames::indexOf(name, GameKeyNames::Table::Quake2))
        return firstPortKey + int(GameKeyNames::portNames().size()) + int(*at);
    return std::nullopt;
}

void LineCheck::checkAlias(const Args &args, int depth)
{
    if (args.size() < 2)
        return;
    const qsizetype size = args.at(1).text.size();
    if (size >= shortestLongAlias) {
        add(CheckSeverity::Error, CheckRule::AliasNameTooLong,
            u"The game refuses an alias name of 32 characters or more, and this one has %1."_s.arg(size));
        return;
    }
    const QByteArrayView value = args.size() >= 3 ? joined(args, 2, depth + 1) : QByteArrayView();
    m_out->aliases.push_back(
        {args.at(1).text.toByteArray(), depth == 0 ? value.toByteArray() : QByteArray(), depth == 0});
    if (args.size() >= 3)
        checkNested(value, depth + 1);
}

void LineCheck::checkSet(const Args &args)
{
    if (!m_hasSet) {
        add(CheckSeverity::Error, CheckRule::SetMissing,
            u"The game has no 'set' command, so this does nothing: write the variable's name and then its value "
            "instead."_s);
        return;
    }
    // set NAME VALUE, with a flag u or s as a fourth argument
    if ((args.size() == 3 || args.size() == 4) && sameWord(args.at(1).text, "name"_L1))
        checkName(args.at(2).text);
    if ((args.size() == 3 || args.size() == 4) && m_known.profile) {
        if (const GameProfile::Entry *variable = m_known.profile->variable(args.at(1).text))
            checkValue(*variable, args.at(2).text);
    }
}

void LineCheck::checkNameCommand(QByteArrayView command, const Args &args)
{
    if (args.size() < 2)
        return;
    if (m_quake) {
        // Quake takes all of the rest of the line when there is more than one argument.
        if (args.size() == 2)
            checkName(args.at(1).text);
        else
            checkName(trimmedRight(command.sliced(args.at(1).offset)));
        return;
    }
    if (args.size() > 2)
        add(CheckSeverity::Error, CheckRule::NameFirstWordOnly,
            u"The game takes only the first argument, '%1', as the name: put the whole name in one pair of "
            "double quotes."_s.arg(shown(args.at(1).text)));
    checkName(args.at(1).text);
}

void LineCheck::checkName(QByteArrayView name)
{
    if (name.contains('"'))
        add(CheckSeverity::Error, CheckRule::NameBadCharacter, u"A player name cannot hold a double quote."_s);
    if (!m_quake && (name.contains(';') || name.contains('\\')))
        add(CheckSeverity::Error, CheckRule::NameBadCharacter,
            u"The game refuses a player name that holds ';' or '\\'."_s);
    if (name.size() > longestName)
        add(CheckSeverity::Warning, CheckRule::NameTooLong,
            u"The game keeps only 15 characters of a name, so '%1' becomes '%2'."_s.arg(
                QString::fromLatin1(name), QString::fromLatin1(name.first(longestName))));
}

// The arguments from one on, as the game joins them: with a blank between each two.
QByteArrayView LineCheck::joined(const Args &args, qsizetype from, int depth)
{
    if (args.size() == from + 1)
        return args.at(from).text;
    QByteArray &out = m_joined[size_t(depth)];
    out.truncate(0);
    for (qsizetype i = from; i < args.size(); ++i) {
        if (i > from)
            out += ' ';
        out += args.at(i).text;
    }
    return out;
}

// A command's name as the game looks it up: a command, an alias, then a variable, which the
// command sets when it has an argument.
void LineCheck::checkKnownName(const Args &args)
{
    const GameProfile *profile = m_known.profile;
    if (!profile || !m_checkNames)
        return;
    const QByteArrayView name = args.constFirst().text;
    if (const GameProfile::Entry *variable = profile->variable(name)) {
        if (args.size() > 1 && !profile->command(name))
            checkValue(*variable, args.at(1).text);
        return;
    }
    // Quake 2 puts a variable's value in place of $NAME only as the line runs.
    if (name.isEmpty() || profile->command(name) || (!m_quake && name.contains('$')))
        return;
    m_out->asksNames = true;
    if (m_known.made->contains(name))
        return;
    add(CheckSeverity::Warning, CheckRule::UnknownName, unknownNameText(name));
}

void LineCheck::checkValue(const GameProfile::Entry &variable, QByteArrayView value)
{
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    if (!isNumber ||
        ((!variable.minimum || number >= *variable.minimum) && (!variable.maximum || number <= *variable.maximum)))
        return;
    const auto bound = [](double b) { return QString::number(b, 'g', 12); };
    const QString range = !variable.maximum ? u"at %1 or more"_s.arg(bound(*variable.minimum))
                          : !variable.minimum
                              ? u"at %1 or less"_s.arg(bound(*variable.maximum))
                              : u"between %1 and %2"_s.arg(bound(*variable.minimum), bound(*variable.maximum));
    add(CheckSeverity::Warning, CheckRule::ValueOutOfRange,
        u"The game keeps '%1' %2, so it does not take %3 as written."_s.arg(shown(variable.name), range, shown(value)));
}

QString LineCheck::unknownNameText(QByteArrayView name)
{
    const auto make = [this, name]() -> QString {
        const std::optional<QByteArray> nearest = m_known.profile->nearestName(name);
        return u"The game knows no command or variable named '%1', and the script makes no alias or variable of that "
               "name"_s.arg(shown(name)) +
               (nearest ? u"; did you mean '%1'?"_s.arg(shown(*nearest)) : u"."_s);
    };
    if (name.size() > longestRememberedName)
        return make();
    // One text for every finding about the name, shared rather than copied.
    const QByteArray key = name.toByteArray();
    if (const auto known = m_unknownTexts.constFind(key); known != m_unknownTexts.cend())
        return *known;
    if (m_unknownTexts.size() >= rememberedNames)
        m_unknownTexts.clear();
    return *m_unknownTexts.insert(key, make());
}

} // namespace vbu
