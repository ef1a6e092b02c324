#include "cli/PressCommand.h"

#include "core/catalogue/CatalogueFile.h"
#include "core/check/ConsoleModel.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using Dialect = vbu::ScriptTokenizer::Dialect;

namespace vbu::cli {

namespace {

int usage(Io &io)
{
    print(io.err, u"usage: vbu-cfg press [--game quake|quake2] FILE KEY...\n"_s);
    return 2;
}

// As much of the file as exec can take: the game refuses a script of the buffer's size or more,
// so a longer file need not be read further.
std::optional<QByteArray> readScript(const QString &name, Io &io)
{
    const QFileInfo info(name);
    if (!info.exists()) {
        print(io.err, u"File '"_s + name + u"' could not be found.\n"_s);
        return std::nullopt;
    }
    QFile file(name);
    QString error;
    QByteArray bytes(ConsoleBuffer::capacity, '\0');
    qsizetype have = 0;
    if (info.isDir()) {
        error = u"It is a folder, not a file."_s;
    } else if (!info.isFile()) {
        error = u"It is not an ordinary file."_s; // a FIFO would wait for a writer
    } else if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
    } else {
        for (qint64 got = 1; got > 0 && have < bytes.size(); have += got) {
            got = file.read(bytes.data() + have, bytes.size() - have);
            if (got < 0)
                error = file.errorString();
            got = std::max<qint64>(got, 0);
        }
    }
    if (!error.isEmpty()) {
        print(io.err, u"File '"_s + name + u"' could not be read: "_s + error + u'\n');
        return std::nullopt;
    }
    bytes.truncate(have);
    return bytes;
}

// The game's commands from the catalogue the editor reads; without it only the console's own.
ConsoleNames knownNames(Dialect game, Io &io)
{
    const QString path = CatalogueFile::path();
    const CatalogueFile::Load load = CatalogueFile::LoadCatalogue(path);
    if (load.status != CatalogueFile::Load::Status::Loaded) {
        print(io.err, u"vbu-cfg press: the command catalogue "_s + path +
                          u" could not be read, so only the console's own commands are known.\n"_s);
        return {};
    }
    return ConsoleNames::fromCatalogue(load.catalogue, game);
}

void write(Io &io, const QByteArray &heading, const QList<ConsoleStep> &steps)
{
    QByteArray out = heading + '\n';
    for (const ConsoleStep &step : steps)
        out += ConsoleModel::format(step) + '\n';
    io.out.write(out);
}

} // namespace

int runPress(const QStringList &args, Io &io)
{
    Dialect game = Dialect::Quake;
    qsizetype i = 0;
    while (i < args.size() && args.at(i).size() > 1 && args.at(i).startsWith(u'-')) {
        const QString option = args.at(i++);
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
    const QString fileName = args.at(i);
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
    const std::optional<QByteArray> script = readScript(fileName, io);
    if (!script)
        return 1;

    ConsoleModel console(game, knownNames(game, io));
    write(io, "exec " + fileName.toUtf8(), console.exec(*script));
    for (qsizetype k = 0; k < keys.size(); ++k) {
        const QByteArray name = keyNames.at(k).toUtf8();
        write(io, "press " + name, console.press(keys.at(k)));
        write(io, "release " + name, console.release(keys.at(k)));
    }
    return 0;
}

} // namespace vbu::cli
