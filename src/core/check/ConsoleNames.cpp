#include "core/check/ConsoleNames.h"

#include "core/check/GameProfile.h"

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

} // namespace vbu
