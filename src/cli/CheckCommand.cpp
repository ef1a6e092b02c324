#include "cli/CheckCommand.h"

#include "cli/ScriptFileAccess.h"
#include "core/check/CheckProfile.h"
#include "core/check/GameProfiles.h"
#include "core/check/OpenChangeFindings.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

namespace {

int usage(Io &io)
{
    print(io.err, u"usage: vbu-cfg check [--game PROFILE] FILE\n"_s);
    return 2;
}

} // namespace

int runCheck(const QStringList &args, Io &io)
{
    QString game = GameProfiles::bothName;
    QString fileName;
    bool haveFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == "--game"_L1) {
            if (++i >= args.size())
                return usage(io);
            game = args.at(i);
        } else if (arg.startsWith("--game="_L1)) {
            game = arg.mid(7);
        } else if (arg == "--"_L1 && i + 2 == args.size() && !haveFile) {
            fileName = args.at(++i);
            haveFile = true;
        } else if ((arg.startsWith(u'-') && arg.size() > 1) || haveFile) {
            return usage(io);
        } else {
            fileName = arg;
            haveFile = true;
        }
    }
    if (!haveFile)
        return usage(io);

    const QString directory = GameProfiles::directory();
    const QStringList known = CheckProfile::names(directory);
    if (!known.contains(game)) {
        print(io.err, u"vbu-cfg check: unknown game profile '%1'; choose %2.\n"_s.arg(game, known.join(u", "_s)));
        return 2;
    }
    QString error;
    const std::optional<CheckProfile> profile = CheckProfile::load(game, directory, &error);
    if (!profile) {
        print(io.err, u"vbu-cfg check: "_s + error + u'\n');
        return 1;
    }
    // The original games can still be checked by their engine's rules.
    if (!error.isEmpty())
        print(io.err, u"vbu-cfg check: "_s + error + u"; commands and variables are not checked.\n"_s);

    // The file's own bytes, not the editor's list: Open would cut lines at commas and drop the
    // quotes of a field, while the game runs the bytes as they stand. Where Open would, the
    // player is warned.
    const std::optional<QByteArray> bytes = readScriptBytes(fileName, io);
    if (!bytes)
        return 1;
    OpenChanges changes;
    ScriptReader::parse(*bytes, ScriptReader::Mode::Open, &changes);

    bool anyError = false;
    QString report;
    for (const CheckFinding &f :
         OpenChangeFindings::withChanges(ScriptChecker::checkFile(*bytes, profile->target()), changes)) {
        report += ScriptChecker::format(fileName, f) + u'\n';
        anyError = anyError || f.severity == CheckSeverity::Error;
        // Printed in pieces: the report of a long script can be many times its size.
        if (report.size() >= 1 << 16) {
            if (!writeOut(io, report.toUtf8()))
                return 1;
            report.truncate(0);
        }
    }
    if (!writeOut(io, report.toUtf8()))
        return 1;
    return anyError ? 1 : 0;
}

} // namespace vbu::cli
