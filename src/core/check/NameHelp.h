#pragma once

#include "core/check/GameProfile.h"
#include "core/check/ScriptChecker.h"

#include <QString>

#include <vector>

namespace vbu {

// What the shipped game profiles say about a console name, for tool tips: what the original
// games say, or when neither has the name, what the first source port that has it says.
class NameHelp final
{
public:
    // Reads every profile in the folder; one that cannot be read is left out.
    explicit NameHelp(const QString &directory);

    // A line "TITLE: description" for each command and variable of that name, and after a
    // variable's a line "Default: "VALUE"". Quake or Quake 2 looks in that game and its ports,
    // Both in both games and all ports. Empty for a name none of them knows.
    QString describe(QByteArrayView name, CheckGame game) const;
    // For a tool tip over script text: the word at position (ScriptTokenizer::wordAt), then what
    // describe() says of it. Empty when it says nothing.
    QString describeWordAt(QByteArrayView text, qsizetype position, CheckGame game) const;

private:
    // The profiles in the order they are asked: the original games, then the ports.
    std::vector<GameProfile> m_profiles;
};

} // namespace vbu
