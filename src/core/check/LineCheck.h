#pragma once

#include "core/check/GameProfile.h"
#include "core/check/KeyScope.h"
#include "core/check/LineFindings.h"
#include "core/check/ScriptTokenizer.h"

#include <QHash>
#include <QSet>

#include <array>
#include <optional>
#include <vector>

namespace vbu {

class ScriptNames;

// The checks of one line for one game that depend on nothing but that line, so a line can be
// judged on its own. What the line does to the keys' bindings at the top level is handed on for
// the rule on keys bound again across lines (CrossLineCheck); that takes room for each key the
// line names, however many commands it has.
class LineCheck final
{
public:
    struct Line
    {
        QByteArrayView text; // without its line end
        qsizetype endBytes = 0;
        bool crlf = false;     // the game's copy of the line's last command keeps the CR
        bool loneCr = false;   // a CR with no LF after it and more text to follow
        bool zeroByte = false; // the line was cut at a zero byte: the game reads nothing after it
    };

    // A top-level bind of a key that the line has not bound or unbound before: whether it binds
    // the key again depends on the lines before.
    struct FirstBind
    {
        int key = -1;                 // below keyCount()
        QByteArrayView name;          // the key as written, in the line's text
        qsizetype findingsBefore = 0; // the line's findings made before it: a finding about it goes there
    };

    // How the line leaves a key it binds or unbinds at the top level.
    struct KeyLeft
    {
        int key = -1;
        bool bound = false;
    };

    // An alias the line defines, at any depth of nesting.
    struct AliasDefined
    {
        QByteArray name;
        QByteArray value; // what it runs; kept for the top level only
        bool topLevel = false;
    };

    struct Result
    {
        LineFindings findings;
        std::vector<FirstBind> firstBinds; // in the line's order
        bool unbindsAll = false;           // before the keys left as keysLeft says
        std::vector<KeyLeft> keysLeft;
        std::vector<AliasDefined> aliases; // in the line's order
        std::vector<int> keysBoundTwice;   // bound at the top level while the line's own bind holds
        bool asksNames = false;            // looked for a name among those the script makes
    };

    // What the game knows by name besides its engine's key tables, when a profile is given.
    struct Known
    {
        const GameProfile *profile = nullptr; // the game's, or a port's built on it
        const ScriptNames *made = nullptr;    // the names the whole script makes; needed with a profile
    };

    // Quake or Quake 2; without a profile, by the engine's rules alone.
    explicit LineCheck(CheckGame game);
    LineCheck(CheckGame game, Known known);

    // Binds, aliases and commands nested inside a bind or an alias are looked at this deep.
    static constexpr int deepestNesting = 4;

    // How many keys the checks tell apart: every byte, and each name only some ports know.
    static qsizetype keyCount();
    // A line of the editor's list as Save writes it: followed by CR LF, or cut at a zero byte.
    static Line savedLine(QByteArrayView text);

    // Lines from 0. Result is filled afresh; its room is kept from line to line.
    void check(qsizetype index, const Line &line, Result &out);

private:
    using Args = QList<ScriptTokenizer::Token>;

    void add(CheckSeverity severity, CheckRule rule, const QString &text, qsizetype otherLine = -1);
    const QString &sharedText(const QString &text);
    void checkCommentRunsOn(QByteArrayView text, qsizetype from);
    bool checkOddQuotes(QByteArrayView command, const ScriptTokenizer::Tokens &t);
    void checkArgumentLengths(const ScriptTokenizer::Tokens &t);
    void checkNested(QByteArrayView text, int depth);
    void checkCommand(QByteArrayView command, const ScriptTokenizer::Tokens &t, int depth);
    void checkBind(const Args &args, int depth);
    void checkUnbind(const Args &args, int depth);
    void checkUnbindAll(int depth);
    void touch(int key);
    void checkKeyUse(int key, QByteArrayView commands);
    bool bindingRuns(int key) const;
    void checkPressAndRelease(QByteArrayView key, QByteArrayView commands);
    std::optional<int> checkKey(QByteArrayView name);
    std::optional<int> portOnlyKey(QByteArrayView name) const;
    void checkAlias(const Args &args, int depth);
    void checkSet(const Args &args);
    void checkNameCommand(QByteArrayView command, const Args &args);
    void checkName(QByteArrayView name);
    QByteArrayView joined(const Args &args, qsizetype from, int depth);
    // With a profile: names the game does not know, keys of a port, values out of range.
    bool knowsPortKeys() const { return m_known.profile && !m_known.profile->baseName().isEmpty(); }
    std::optional<int> portProfileKey(QByteArrayView name) const;
    void checkKnownName(const Args &args);
    void checkValue(const GameProfile::Entry &variable, QByteArrayView value);
    QString unknownNameText(QByteArrayView name);

    // The first command with an argument after a comment that a ';' ends: what the comment runs.
    // It holds for every comment up to that command, so a line of many comments looks once.
    struct RunsAfter
    {
        qsizetype from = -1;  // where the look started; -1 before the first look on a line
        qsizetype found = -1; // where the command starts, or the line's end when there is none
        std::optional<QByteArrayView> runs;
    };

    CheckGame m_game;
    Known m_known;
    bool m_quake;
    bool m_hasSet; // Quake has no set, some of its ports have
    ScriptTokenizer::Dialect m_dialect;
    qsizetype m_index = 0;
    Result *m_out = nullptr;
    RunsAfter m_runsAfter;
    bool m_checkNames = true; // false inside a binding the game never runs
    ScriptTokenizer::Tokens m_lookTokens;
    ScriptTokenizer::Tokens m_bindTokens;
    // One of each for the top level (0) and every depth of nesting.
    std::array<ScriptTokenizer::Tokens, deepestNesting + 1> m_tokens;
    std::vector<KeyScope> m_scopes;
    KeyScope m_touched; // the keys the line has bound or unbound at the top level
    std::array<QByteArray, deepestNesting + 2> m_joined;
    // The finding's text for each unknown name met lately: a script tends to repeat its mistakes.
    QHash<QByteArray, QString> m_unknownTexts;
    // The texts of other findings made lately, which the findings with the same text share.
    QSet<QString> m_texts;
};

} // namespace vbu
