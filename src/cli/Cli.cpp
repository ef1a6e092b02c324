#include "cli/Cli.h"

#include "cli/CatalogueCommand.h"
#include "cli/CheckCommand.h"
#include "cli/DescribeCommand.h"
#include "cli/ItemsCommand.h"
#include "cli/PressCommand.h"
#include "cli/ResaveCommand.h"
#include "cli/UpdateCommand.h"
#include "core/app/AppInfo.h"

#include <QFileDevice>

#include <iterator>

using namespace Qt::StringLiterals;

namespace vbu::cli {

namespace {

struct Command
{
    QLatin1StringView name;
    QLatin1StringView usage;
    int (*run)(const QStringList &args, Io &io);
};

// Each subcommand lives in a file of its own and is listed here.
constexpr Command commands[] = {
    {"help"_L1, "vbu-cfg --help"_L1, nullptr},
    {"version"_L1, "vbu-cfg --version"_L1, nullptr},
    {"catalogue"_L1,
     "vbu-cfg catalogue [FILE]  print the version and the tree the Command List shows (default: its own)"_L1,
     runCatalogue},
    {"check"_L1, "vbu-cfg check [--game PROFILE] FILE  report what the game would get wrong"_L1, runCheck},
    {"describe"_L1, "vbu-cfg describe [--game PROFILE] NAME...  tell what commands and variables do"_L1, runDescribe},
    {"items"_L1,
     "vbu-cfg items [--command-line|--exact] FILE  print the items Open (the command line, Open Exactly) lists"_L1,
     runItems},
    {"press"_L1, "vbu-cfg press [--game quake|quake2] FILE KEY...  run FILE as exec does, then press each KEY"_L1,
     runPress},
    {"resave"_L1,
     "vbu-cfg resave [--exact] IN OUT  open IN as Open (or Open Exactly) does and save the list as OUT as Save does"_L1,
     runResave},
    {"update"_L1, "vbu-cfg update [--yes] [CATALOGUE]  check VBU_UPDATE_URL for a newer list; --yes installs it"_L1,
     runUpdate},
};

int help(Io &io)
{
    QString text = u"Usage: vbu-cfg COMMAND ARGS...\n\n"_s
                   u"Reads and writes the script files of Vantor's Bind Utility the way the editor does.\n\n"_s;
    for (const Command &c : commands)
        text += u"  "_s + c.usage + u'\n';
    print(io.out, text);
    return 0;
}

} // namespace

void print(QIODevice &device, const QString &text)
{
    device.write(text.toUtf8());
}

bool writeOut(Io &io, QByteArrayView bytes)
{
    // A file's writes wait in buffers until flushed; only the flush tells whether they landed.
    auto *file = qobject_cast<QFileDevice *>(&io.out);
    if (io.out.write(bytes.data(), bytes.size()) == bytes.size() && (!file || file->flush()))
        return true;
    print(io.err, u"vbu-cfg: the output could not be written: "_s + io.out.errorString() + u'\n');
    return false;
}

int run(const QStringList &args, Io &io)
{
    if (args.isEmpty() || args.constFirst() == "--help"_L1 || args.constFirst() == "-h"_L1 ||
        args.constFirst() == "help"_L1)
        return help(io);
    if (args.constFirst() == "--version"_L1) {
        print(io.out, u"vbu-cfg "_s + AppInfo::versionText() + u'\n');
        return 0;
    }
    for (const Command &c : commands) {
        if (c.run && args.constFirst() == c.name)
            return c.run(args.mid(1), io);
    }
    print(io.err, u"vbu-cfg: unknown command '"_s + args.constFirst() + u"'. Try vbu-cfg --help.\n"_s);
    return 2;
}

} // namespace vbu::cli
