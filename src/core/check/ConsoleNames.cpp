#include "core/check/ConsoleNames.h"

#include "core/check/GameProfiles.h"

using namespace Qt::StringLiterals;

namespace vbu {

void ConsoleNames::addCommand(QByteArrayView name)
{
    m_commands.insert(name.toByteArray().toLower());
}

ConsoleNames ConsoleNames::fromProfile(const GameProfile &profile)
{
    ConsoleNames out;
    for (const GameProfile::Entry &entry : profile.entries()) {
        if (entry.kind == GameProfile::Kind::Command)
            out.addCommand(entry.name);
        else if (entry.kind == GameProfile::Kind::Variable)
            out.addVariable(entry.name, entry.defaultValue.value_or(QByteArray()));
    }
    return out;
}

ConsoleNames ConsoleNames::ofGame(ScriptTokenizer::Dialect game, QString *error)
{
    GameProfiles::Load load = GameProfiles::load(game == ScriptTokenizer::Dialect::Quake ? u"quake"_s : u"quake2"_s,
                                                 GameProfiles::directory());
    *error = std::move(load.error);
    return load.profile ? fromProfile(*load.profile) : ConsoleNames();
}

} // namespace vbu
