#include "cli/DescribeCommand.h"

#include "core/check/GameProfiles.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

namespace {

int usage(Io &io)
{
    print(io.err, u"usage: vbu-cfg describe [--game PROFILE] NAME...\n"_s);
    return 2;
}

QString line(const GameProfile::Entry &entry)
{
    const QString name = QString::fromLatin1(entry.name);
    if (entry.kind == GameProfile::Kind::Command)
        return name + u": command: "_s + entry.description + u'\n';
    const QString value =
        entry.defaultValue ? u"default \""_s + QString::fromLatin1(*entry.defaultValue) + u'"' : u"set by the game"_s;
    return name + u": variable, "_s + value + u": "_s + entry.description + u'\n';
}

} // namespace

int runDescribe(const QStringList &args, Io &io)
{
    QString game = GameProfiles::bothName;
    qsizetype i = 0;
    // Options come first: names such as -attack start with a dash too.
    for (; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == "--game"_L1) {
            if (++i >= args.size())
                return usage(io);
            game = args.at(i);
        } else if (arg.startsWith("--game="_L1)) {
            game = arg.mid(7);
        } else {
            if (arg == "--"_L1)
                ++i;
            break;
        }
    }
    const QStringList names = args.mid(i);
    if (names.isEmpty())
        return usage(io);

    const QString directory = GameProfiles::directory();
    const QStringList known = GameProfiles::names(directory);
    if (!known.contains(game)) {
        print(io.err, u"vbu-cfg describe: unknown game profile '%1'; choose %2.\n"_s.arg(game, known.join(u", "_s)));
        return 2;
    }
    const GameProfiles::Load load = GameProfiles::load(game, directory);
    if (!load.profile) {
        print(io.err, u"vbu-cfg describe: "_s + load.error + u'\n');
        return 1;
    }
    const GameProfile &profile = *load.profile;

    bool allKnown = true;
    for (const QString &name : names) {
        const QByteArray bytes = name.toUtf8();
        const GameProfile::Entry *command = profile.command(bytes);
        const GameProfile::Entry *variable = profile.variable(bytes);
        if (command)
            print(io.out, line(*command));
        if (variable)
            print(io.out, line(*variable));
        if (command || variable)
            continue;
        allKnown = false;
        const std::optional<QByteArray> nearest = profile.nearestName(bytes);
        print(io.err, u"vbu-cfg describe: '%1' is not a command or variable of %2; %3\n"_s.arg(
                          name, profile.title(),
                          nearest ? u"did you mean '%1'?"_s.arg(QString::fromLatin1(*nearest))
                                  : u"no known name is spelled like it."_s));
    }
    return allKnown ? 0 : 1;
}

} // namespace vbu::cli
