#pragma once

#include "core/check/GameProfile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vbu::GameProfiles {

// The profile files the program ships, found the way the command list's file is: beside the
// executable (<bin>/profiles), or when only the installed copy exists, in
// <bin>/../share/vbu/profiles.

// Both original games at once: quake's entries, then those of quake2 that Quake lacks.
inline constexpr QLatin1StringView bothName("both");

QString directory();
QString directory(const QString &programDir);

// The profiles in the folder (one NAME.tsv file each), sorted, then "both".
QStringList names(const QString &directory);

struct Load
{
    std::optional<GameProfile> profile;
    QString error; // why there is no profile, naming the file and line
};

// Reads NAME.tsv from the folder, and the base profile it names; "both" reads quake and quake2.
Load load(const QString &name, const QString &directory);

} // namespace vbu::GameProfiles
