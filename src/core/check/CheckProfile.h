#pragma once

#include "core/check/GameProfile.h"
#include "core/check/ScriptChecker.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vbu {

// The game a check is for, chosen by the name of its profile: quake, quake2, both, or a source
// port's profile, which is judged by the engine rules of the game it is built on. It holds the
// profiles that target() points to.
//
//   QString error;
//   const std::optional<CheckProfile> p = CheckProfile::load(u"q2pro"_s, GameProfiles::directory(), &error);
//   if (p) findings = ScriptChecker::checkFile(bytes, p->target());
class CheckProfile final
{
public:
    // quake, quake2 and both, then every other profile in the folder, sorted.
    static QStringList names(const QString &directory);
    // A name from names(). Nothing when a port's profile cannot be read; the original games
    // are checked all the same, by their engine's rules alone when their profile cannot be read.
    // error tells why a profile could not be read, naming the file, and is empty when all went well.
    static std::optional<CheckProfile> load(const QString &name, const QString &directory, QString *error);

    const QString &name() const { return m_name; }
    // "Quake", "Quake 2", "Quake and Quake 2", or the port's own title.
    const QString &title() const { return m_title; }
    // Holds while this profile lives where it is.
    CheckTarget target() const;

private:
    CheckProfile() = default;

    QString m_name;
    QString m_title;
    CheckGame m_game = CheckGame::Both;
    std::optional<GameProfile> m_quake;
    std::optional<GameProfile> m_quake2;
};

} // namespace vbu
