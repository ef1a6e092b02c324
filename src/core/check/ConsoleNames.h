#pragma once

#include "core/check/ScriptTokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QSet>

namespace vbu {

class Catalogue;

// What a game knows by name besides the console's own commands (alias, bind, echo, wait...):
// its other commands, and its variables with their values at start. Any list of a game's
// commands and variables fills it through addCommand and addVariable; the catalogue is one.
class ConsoleNames final
{
public:
    // Commands match in any case, so they are kept in lower case.
    void addCommand(QByteArrayView name);
    bool isCommand(QByteArrayView lowerCaseName) const { return m_commands.contains(lowerCaseName.toByteArray()); }
    // Variable names match in their own case.
    void addVariable(const QByteArray &name, const QByteArray &value) { m_variables.insert(name, value); }
    const QHash<QByteArray, QByteArray> &variables() const { return m_variables; }

    // The first word of every command the catalogue lists under the game's group ({Quake} or
    // {Quake2}), and the release of each button command. The catalogue does not tell commands
    // from variables, so all of them count as commands: they run without a word from the console.
    static ConsoleNames fromCatalogue(const Catalogue &catalogue, ScriptTokenizer::Dialect game);

private:
    QSet<QByteArray> m_commands;
    QHash<QByteArray, QByteArray> m_variables;
};

} // namespace vbu
