#pragma once

#include "core/script/ScriptLines.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace vbu {

class GameProfile;

enum class CheckGame { Quake, Quake2, Both };

// What a check judges by: the rules of the game's engine and, when given, a profile of what the
// game knows (its commands, variables, keys and the ranges it keeps variables in). A source
// port's profile goes with the game it is built on; a check for both games takes one of each.
// A game alone is judged by its engine's rules and key tables only.
struct CheckTarget
{
    // Not explicit: wherever a target is asked for, a game alone will do.
    CheckTarget(CheckGame checkGame) : game(checkGame) {}
    CheckTarget(CheckGame checkGame, const GameProfile *quake, const GameProfile *quake2)
        : game(checkGame), quakeProfile(quake), quake2Profile(quake2)
    {}

    CheckGame game;
    const GameProfile *quakeProfile = nullptr;  // for Quake, or both games
    const GameProfile *quake2Profile = nullptr; // for Quake 2, or both games
};

enum class CheckSeverity {
    Error,  // the game will not do what the line says
    Warning // likely a mistake
};

enum class CheckRule {
    ScriptTooLong,
    DuplicateBind,
    UnknownKey,
    PortOnlyKey,
    UpperCaseKey,
    KeyNeverUsed,
    CommentRunsCommand,
    UnclosedQuote,
    ArgumentTooLong,
    CommandTooLong,
    SetMissing,
    BindNotQuoted,
    NameTooLong,
    NameBadCharacter,
    NameFirstWordOnly,
    AliasNameTooLong,
    LoneCarriageReturn,
    ZeroByte,
    UnknownName,
    ValueOutOfRange,
    // How keys and aliases behave when they run.
    CommandRunsOnRelease,
    AliasLoop,
    ReleaseAliasMissing,
    OnlyReleaseCommands,
    OpenChangesLine
};

struct CheckFinding
{
    qsizetype line = 0; // 1-based
    CheckSeverity severity = CheckSeverity::Error;
    CheckRule rule = CheckRule::ScriptTooLong;
    // One sentence for the player. In a check for both games, a finding that holds for one
    // of them only starts with that game's name: "Quake 2: ...".
    QString text;
    qsizetype otherLine = 0;          // the other line involved, 1-based; 0 when there is none
    CheckGame game = CheckGame::Both; // the game the finding holds for

    friend bool operator==(const CheckFinding &, const CheckFinding &) = default;
};

} // namespace vbu

// A check can find millions; the lists holding them grow by moving bytes.
Q_DECLARE_TYPEINFO(vbu::CheckFinding, Q_RELOCATABLE_TYPE);

namespace vbu {

// Reads a script as Quake or Quake 2 would when it is run with exec, and tells what goes wrong:
// a script the game refuses, keys bound twice or unknown to the game, comments that run
// commands, lines the game cuts or discards, commands the game does not have, and keys and
// aliases that misbehave when pressed and released; with a profile also names the game does not
// know and values it does not keep. Time and memory grow in step with the script and the
// findings. A line's own checks are LineCheck; the two rules that look across lines, script size
// and keys bound again, are CrossLineCheck, and those about aliases AliasCheck.
class ScriptChecker final
{
public:
    // The command buffer: a script of this size or more is refused whole.
    static constexpr qsizetype commandBufferSize = 8192;
    // The buffer one command is copied into, its terminating zero included.
    static constexpr qsizetype commandLineSize = 1024;

    // The editor's list, judged as Save writes it: every line followed by CR LF.
    static QList<CheckFinding> check(const ScriptLines &lines, const CheckTarget &target);
    static QList<CheckFinding> check(const QList<QByteArray> &lines, const CheckTarget &target);
    // A file as it is on disk, cut at its own line ends.
    static QList<CheckFinding> checkFile(QByteArrayView bytes, const CheckTarget &target);

    // "FILE:LINE: error: text", the form compilers use.
    static QString format(const QString &fileName, const CheckFinding &finding);
    // "quake", "quake2" or "both".
    static std::optional<CheckGame> gameFromName(QStringView name);
    static QString gameName(CheckGame game);
};

} // namespace vbu
