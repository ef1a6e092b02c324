#include "cli/PressCommand.h"

#include "cli/ScriptFileAccess.h"
#include "core/check/ConsoleModel.h"

using namespace Qt::StringLiterals;
using Dialect = vbu::ScriptTokenizer::Dialect;

namespace vbu::cli {

namespace {

int usage(Io &io)
{
    print(io.err, u"usage: vbu-cfg press [--game quake|quake2] FILE KEY...\n"_s);
    return 2;
}

// The game's commands and variables from its profile; without it only the console's own.
ConsoleNames knownNames(Dialect game, Io &io)
{
    QString error;
    ConsoleNames names = ConsoleNames::ofGame(game, &error);
    if (!error.isEmpty())
        print(io.err, u"vbu-cfg press: "_s + error + u"; only the console's own commands are known.\n"_s);
    return names;
}

void append(QByteArray &out, const QByteArray &heading, const QList<ConsoleStep> &steps)
{
    out += heading + '\n';
    for (const ConsoleStep &step : steps)
        out += ConsoleModel::format(step) + '\n';
}

} // namespace

int runPress(const QStringList &args, Io &io)
{
    Dialect game = Dialect::Quake;
    qsizetype i = 0;
    while (i < args.size() && args.at(i).size() > 1 && args.at(i).startsWith(u'-')) {
        const QString &option = args.at(i++);
        if (option == "--"_L1)
            break;
        QString name;
        if (option == "--game"_L1 && i < args.size())
            name = args.at(i++);
        else if (option.startsWith("--game="_L1))
            name = option.mid(7);
        else
            return usage(io);
        if (name != "quake"_L1 && name != "quake2"_L1) {
            print(io.err, u"vbu-cfg press: unknown game '"_s + name + u"'; choose quake or quake2.\n"_s);
            return 2;
        }
        game = name == "quake"_L1 ? Dialect::Quake : Dialect::Quake2;
    }
    // The file, then at least one key; what follows the file is all keys, '-' included.
    if (args.size() - i < 2)
        return usage(io);
    const QString &fileName = args.at(i);
    const QStringList keyNames = args.mid(i + 1);
    QList<int> keys;
    for (const QString &name : keyNames) {
        const std::optional<int> key = ConsoleModel::keyNumber(name.toUtf8(), game);
        if (!key) {
            print(io.err, u"vbu-cfg press: \""_s + name + u"\" isn't a valid key\n"_s);
            return 1;
        }
        keys.append(*key);
    }
    const std::optional<QByteArray> script = readScriptBytes(fileName, io);
    if (!script)
        return 1;

    ConsoleModel console(game, knownNames(game, io));
    QByteArray out;
    append(out, "exec " + fileName.toUtf8(), console.exec(*script));
    for (qsizetype k = 0; k < keys.size(); ++k) {
        const QByteArray name = keyNames.at(k).toUtf8();
        append(out, "press " + name, console.press(keys.at(k)));
        append(out, "release " + name, console.release(keys.at(k)));
    }
    return writeOut(io, out) ? 0 : 1;
}

} // namespace vbu::cli
