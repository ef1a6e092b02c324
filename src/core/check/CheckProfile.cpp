#include "core/check/CheckProfile.h"

#include "core/check/GameProfiles.h"

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

const QString quakeName = u"quake"_s;
const QString quake2Name = u"quake2"_s;

} // namespace

QStringList CheckProfile::names(const QString &directory)
{
    QStringList out{quakeName, quake2Name, GameProfiles::bothName};
    for (const QString &name : GameProfiles::names(directory)) {
        if (!out.contains(name))
            out.append(name);
    }
    return out;
}

std::optional<CheckProfile> CheckProfile::load(const QString &name, const QString &directory, QString *error)
{
    error->clear();
    CheckProfile profile;
    profile.m_name = name;
    const auto read = [&](const QString &game, std::optional<GameProfile> &into) {
        GameProfiles::Load loaded = GameProfiles::load(game, directory);
        into = std::move(loaded.profile);
        if (error->isEmpty())
            *error = std::move(loaded.error);
    };
    if (const std::optional<CheckGame> game = ScriptChecker::gameFromName(name)) {
        profile.m_game = *game;
        profile.m_title = ScriptChecker::gameName(*game);
        if (*game != CheckGame::Quake2)
            read(quakeName, profile.m_quake);
        if (*game != CheckGame::Quake)
            read(quake2Name, profile.m_quake2);
        return profile;
    }

    std::optional<GameProfile> port;
    read(name, port);
    if (!port)
        return std::nullopt;
    // A port is checked by the rules of the game its profile names as its base.
    if (port->baseName() != quakeName && port->baseName() != quake2Name) {
        *error = u"the game profile %1 is not built on quake or quake2, so the rules of neither game can be "
                 "told to hold for it"_s.arg(name);
        return std::nullopt;
    }
    profile.m_game = port->baseName() == quakeName ? CheckGame::Quake : CheckGame::Quake2;
    profile.m_title = port->title();
    (profile.m_game == CheckGame::Quake ? profile.m_quake : profile.m_quake2) = std::move(port);
    return profile;
}

CheckTarget CheckProfile::target() const
{
    return {m_game, m_quake ? &*m_quake : nullptr, m_quake2 ? &*m_quake2 : nullptr};
}

} // namespace vbu
