#include "cli/ResaveCommand.h"

#include "cli/ScriptFileAccess.h"
#include "core/script/ScriptWriter.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

int runResave(const QStringList &args, Io &io)
{
    QStringList rest = args;
    ScriptReader::Mode mode = ScriptReader::Mode::Open;
    if (!rest.isEmpty() && rest.constFirst() == "--exact"_L1) {
        mode = ScriptReader::Mode::Exact;
        rest.removeFirst();
    }
    if (!rest.isEmpty() && rest.constFirst() == "--"_L1)
        rest.removeFirst();
    if (rest.size() != 2) {
        print(io.err, u"usage: vbu-cfg resave [--exact] IN OUT\n"_s);
        return 2;
    }
    const std::optional<ScriptLines> lines = loadScript(rest.at(0), mode, io);
    if (!lines)
        return 1;
    const QString &target = rest.at(1);
    QString why;
    if (!ScriptWriter::writeFile(target, *lines, &why)) {
        print(io.err, u"File '"_s + target + u"' was not written: "_s + why + u'\n');
        return 1;
    }
    return 0;
}

} // namespace vbu::cli
