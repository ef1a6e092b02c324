#include "core/check/NameHelp.h"

#include "core/check/CheckProfile.h"
#include "core/check/GameProfiles.h"
#include "core/check/ScriptTokenizer.h"

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// The game whose engine a profile runs on: its own for an original game, its base's for a port.
CheckGame gameOf(const GameProfile &profile)
{
    const QString &name = profile.baseName().isEmpty() ? profile.name() : profile.baseName();
    return ScriptChecker::gameFromName(name).value_or(CheckGame::Both);
}

QString lines(const GameProfile &profile, const GameProfile::Entry &entry)
{
    QString out = profile.title() + u": "_s + entry.description + u'\n';
    if (entry.kind == GameProfile::Kind::Variable)
        out += entry.defaultValue ? u"Default: \""_s + QString::fromLatin1(*entry.defaultValue) + u"\"\n"_s
                                  : u"Default: set by the game\n"_s;
    return out;
}

} // namespace

NameHelp::NameHelp(const QString &directory)
{
    // CheckProfile lists the original games first.
    for (const QString &name : CheckProfile::names(directory)) {
        if (name == GameProfiles::bothName)
            continue;
        if (std::optional<GameProfile> profile = GameProfiles::load(name, directory).profile)
            m_profiles.push_back(std::move(*profile));
    }
}

QString NameHelp::describe(QByteArrayView name, CheckGame game) const
{
    QString out;
    // The original games first; a port only when neither has the name, and then the first port that has it.
    for (const bool ports : {false, true}) {
        for (const GameProfile &profile : m_profiles) {
            if (profile.baseName().isEmpty() == ports || (game != CheckGame::Both && gameOf(profile) != game))
                continue;
            for (const GameProfile::Entry *entry : {profile.command(name), profile.variable(name)}) {
                if (entry)
                    out += lines(profile, *entry);
            }
            if (ports && !out.isEmpty())
                break;
        }
        if (!out.isEmpty())
            break;
    }
    out.chop(1);
    return out;
}

QString NameHelp::describeWordAt(QByteArrayView text, qsizetype position, CheckGame game) const
{
    // Read as Quake 2 reads it: Quake would cut ':' and brackets off as words of their own, and
    // no command or variable name holds them.
    const QByteArrayView word = ScriptTokenizer::wordAt(text, position, ScriptTokenizer::Dialect::Quake2);
    const QString help = word.isEmpty() ? QString() : describe(word, game);
    return help.isEmpty() ? help : QString::fromLatin1(word) + u'\n' + help;
}

} // namespace vbu
