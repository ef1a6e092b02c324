#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>

#include <optional>
#include <span>

namespace vbu {

// The key names the games accept after bind and unbind, kept in the program since it
// must know them without the game installed.
class GameKeyNames final
{
public:
    enum class Table { Quake, Quake2 };

    struct Entry
    {
        QLatin1StringView name;
        int number;
    };

    // The game's own table, in the game's order.
    static std::span<const Entry> table(Table table);
    // The number of a name longer than one character, in any case; nothing when the game
    // does not know it. One-character names are not looked up: they stand for that byte.
    static std::optional<int> keyNumber(QByteArrayView name, Table table);
    // Where such a name stands in the game's table, in any case.
    static std::optional<qsizetype> indexOf(QByteArrayView name, Table table);
    // Names that some source ports added and the original games refuse.
    static std::span<const QLatin1StringView> portNames();
    // Where a name stands in portNames(), in any case.
    static std::optional<qsizetype> portIndex(QByteArrayView name);
};

} // namespace vbu
