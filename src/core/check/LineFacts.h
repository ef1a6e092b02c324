#pragma once

#include "core/check/LineCheck.h"

#include <optional>
#include <span>

namespace vbu {

// What the checks of one game, or of both, make of one line on its own, kept for as long as the
// line stays as it is: its own findings, and what it does to the keys' bindings and the aliases
// it defines, which the rules across lines need. Nothing here depends on other lines or on where the line stands.
// With both games, the lists hold Quake's part first, then Quake 2's.
struct LineFacts
{
    // A key the line binds or unbinds at the top level.
    struct KeyTouch
    {
        qint32 key = 0;            // below LineCheck::keyCount()
        qint32 nameOffset = 0;     // the key as the first bind writes it, in the line's text
        qint32 findingsBefore = 0; // the game's own findings made before that bind
        quint16 nameLength = 0;
        // Bound before the line unbinds all or touches the key otherwise: whether that binds it
        // again depends on the lines before.
        bool firstBind = false;
        bool bound = false; // how the line leaves the key
    };

    // The number of games a check for game looks at, and the one at index.
    static int gameCount(CheckGame game) { return game == CheckGame::Both ? 2 : 1; }
    static CheckGame gameAt(CheckGame game, int index)
    {
        return game != CheckGame::Both ? game : index == 0 ? CheckGame::Quake : CheckGame::Quake2;
    }

    // Line numbers are those of the line when it was checked.
    std::span<const CheckFinding> findings(int game) const
    {
        return part(ownFindings, secondFindings, findingCount, game);
    }
    std::span<const KeyTouch> touches(int game) const { return part(keyTouches, secondTouches, touchCount, game); }
    std::span<const LineCheck::AliasDefined> aliases(int game) const
    {
        return part(aliasesDefined, secondAliases, aliasCount, game);
    }
    bool definesAliases() const { return aliasCount > 0; }
    bool unbindsAll(int game) const { return (unbindsAllGames & (1u << game)) != 0; }

    // The lists are kept in the block of the lines checked together (FactsBlock): a million
    // lines may have facts, and each keeps no more than a pointer and a count a list.
    const CheckFinding *ownFindings = nullptr;
    const KeyTouch *keyTouches = nullptr;
    const LineCheck::AliasDefined *aliasesDefined = nullptr;
    // Of a line that makes names: the text they were read from, to take them away when the line goes.
    QByteArrayView madeText;
    qint32 findingCount = 0;
    qint32 secondFindings = 0;
    qint32 touchCount = 0;
    qint32 secondTouches = 0;
    qint32 aliasCount = 0;
    qint32 secondAliases = 0;
    // The report's rows of the line's own findings, the games' joined; of them errors; the worst.
    qint32 ownRows = 0;
    qint32 ownErrors = 0;
    std::optional<CheckSeverity> ownWorst;
    quint8 unbindsAllGames = 0; // a bit a game
    bool zeroByte = false;      // the line holds a zero byte: the game reads nothing after it
    // With a profile: the line makes aliases or variables, or its findings depend on the names
    // the script makes.
    bool makesNames = false;
    bool asksNames = false;

private:
    template<typename T> static std::span<const T> part(const T *items, qint32 second, qint32 count, int game)
    {
        return game == 0 ? std::span<const T>(items, size_t(second))
                         : std::span<const T>(items + second, size_t(count - second));
    }
};

} // namespace vbu
