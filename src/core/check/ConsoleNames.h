#pragma once

#include "core/check/ScriptTokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QSet>

namespace vbu {

class GameProfile;

// What a game knows by name besides the console's own commands (alias, bind, echo, wait...):
// its other commands, and its variables with their values at start. Any list of a game's
// commands and variables fills it through addCommand and addVariable; a game profile is one.
class ConsoleNames final
{
public:
    // Commands match in any case, so they are kept in lower case.
    void addCommand(QByteArrayView name);
    bool isCommand(QByteArrayView lowerCaseName) const { return m_commands.contains(lowerCaseName.toByteArray()); }
    // Variable names match in their own case.
    void addVariable(const QByteArray &name, const QByteArray &value) { m_variables.insert(name, value); }
    const QHash<QByteArray, QByteArray> &variables() const { return m_variables; }

    // The profile's commands, and its variables with their defaults; a variable whose value the
    // game works out as it runs starts empty.
    static ConsoleNames fromProfile(const GameProfile &profile);
    // Those of the game's shipped profile (quake or quake2). Without it only the console's own,
    // and error tells why, naming the file; it is empty when the profile was read.
    static ConsoleNames ofGame(ScriptTokenizer::Dialect game, QString *error);

private:
    QSet<QByteArray> m_commands;
    QHash<QByteArray, QByteArray> m_variables;
};

} // namespace vbu
