#include "cli/ItemsCommand.h"

#include "cli/ScriptFileAccess.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

namespace {

const QString usage = u"usage: vbu-cfg items [--command-line|--exact] FILE\n"_s;

bool writeItems(Io &io, const ScriptLines &lines)
{
    // One LF after each item; a quoted field that ran across lines keeps its line ends as they
    // stand, as it does in the list.
    QByteArray block;
    constexpr qsizetype blockSize = 1 << 20;
    block.reserve(blockSize);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        block.append(lines.view(i));
        block.append('\n');
        if (block.size() >= blockSize) {
            if (!writeOut(io, block))
                return false;
            block.resize(0); // keeps the room: clear() would give it back and grow it afresh
        }
    }
    return block.isEmpty() || writeOut(io, block);
}

} // namespace

int runItems(const QStringList &args, Io &io)
{
    ScriptReader::Mode mode = ScriptReader::Mode::Open;
    QStringList rest = args;
    if (!rest.isEmpty() && rest.constFirst() == "--command-line"_L1) {
        mode = ScriptReader::Mode::CommandLine;
        rest.removeFirst();
    } else if (!rest.isEmpty() && rest.constFirst() == "--exact"_L1) {
        mode = ScriptReader::Mode::Exact;
        rest.removeFirst();
    }
    if (!rest.isEmpty() && rest.constFirst() == "--"_L1)
        rest.removeFirst();
    if (rest.size() != 1) {
        print(io.err, usage);
        return 2;
    }
    const std::optional<ScriptLines> lines = loadScript(rest.constFirst(), mode, io);
    if (!lines)
        return 1;
    return writeItems(io, *lines) ? 0 : 1;
}

} // namespace vbu::cli
