#pragma once

#include "core/funname/ConsoleFont.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vbu {

// Finds the console font of an installed game.
//
// A place is a game's base folder (holding id1/ or baseq2/), a game folder itself (id1/,
// baseq2/ or a mod folder beside them) or a single pak file. File and folder names below a
// place match in any case, as installs copied from other systems spell them in capitals.
// Within a game folder the paks are searched as the game searches them, the last pak first,
// then the loose files.
//
// Quake is preferred to Quake 2 wherever each is found: its palette gives the colours the
// name editor is drawn for (grey text, gold digits, brown-red second set).
class GameFontFinder final
{
public:
    // Names the one place to look at; when set, the usual places are not searched, so a
    // chosen install (or a folder holding none) is what counts.
    static constexpr char environmentVariable[] = "VBU_GAME_DIR";

    struct Found
    {
        ConsoleFont::Sheet sheet;
        ConsoleFont::Source source = ConsoleFont::Source::BuiltIn;
        QString path; // the pak or loose file the font picture came from
    };

    // The place named by the environment variable, or else the usual install places.
    static QStringList places();
    // Where Linux installs and source ports keep the games, below a home folder.
    static QStringList standardPlaces(const QString &home);
    // The first usable font: Quake from any place, then Quake 2.
    static std::optional<Found> find(const QStringList &places);

    // One game folder (id1 style): gfx.wad with gfx/palette.lmp.
    static std::optional<Found> fromQuakeFolder(const QString &folder);
    // One game folder (baseq2 style): pics/conchars.pcx.
    static std::optional<Found> fromQuake2Folder(const QString &folder);
    // One pak file of either game, judged by what it holds.
    static std::optional<Found> fromPak(const QString &path);
};

} // namespace vbu
