#include "cli/CheckCommand.h"

#include "cli/ScriptFileAccess.h"
#include "core/check/OpenChangeFindings.h"
#include "core/check/ScriptChecker.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

namespace {

int usage(Io &io)
{
    print(io.err, u"usage: vbu-cfg check [--game quake|quake2|both] FILE\n"_s);
    return 2;
}

} // namespace

int runCheck(const QStringList &args, Io &io)
{
    CheckGame game = CheckGame::Both;
    QString fileName;
    bool haveFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString gameArg;
        if (arg == "--game"_L1) {
            if (++i >= args.size())
                return usage(io);
            gameArg = args.at(i);
        } else if (arg.startsWith("--game="_L1)) {
            gameArg = arg.mid(7);
        } else if (arg == "--"_L1 && i + 2 == args.size() && !haveFile) {
            fileName = args.at(++i);
            haveFile = true;
            continue;
        } else if (haveFile || (arg.startsWith(u'-') && arg.size() > 1)) {
            return usage(io);
        } else {
            fileName = arg;
            haveFile = true;
            continue;
        }
        const std::optional<CheckGame> chosen = ScriptChecker::gameFromName(gameArg);
        if (!chosen) {
            print(io.err, u"vbu-cfg check: unknown game '"_s + gameArg + u"'; choose quake, quake2 or both.\n"_s);
            return 2;
        }
        game = *chosen;
    }
    if (!haveFile)
        return usage(io);

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
    for (const CheckFinding &f : OpenChangeFindings::withChanges(ScriptChecker::checkFile(*bytes, game), changes)) {
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
