#include "cli/ItemsCommand.h"

#include "cli/ScriptFileAccess.h"
#include "core/script/ScriptWriter.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

namespace {

const QString usage = u"usage: vbu-cfg items [--command-line|--exact] FILE\n"_s;

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
    // One LF after each item; a quoted field that ran across lines keeps its line ends as they
    // stand, as it does in the list.
    return ScriptWriter::writeBlocks(*lines, "\n", [&io](QByteArrayView block) { return writeOut(io, block); }) ? 0 : 1;
}

} // namespace vbu::cli
