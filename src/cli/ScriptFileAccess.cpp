#include "cli/ScriptFileAccess.h"

#include "core/app/BoundedFile.h"
#include "core/app/FileExists.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

std::optional<ScriptLines> loadScript(const QString &name, ScriptReader::Mode mode, Io &io)
{
    const QString notFound = u"File '"_s + name + u"' could not be found.\n"_s;
    // Open and Open Exactly test for the file first; the command line just tries to open it.
    if (mode != ScriptReader::Mode::CommandLine && !fileExists(name)) {
        print(io.err, notFound);
        return std::nullopt;
    }
    ScriptReader::Result read = ScriptReader::readFile(name, mode);
    if (read.ok)
        return std::move(read.lines);
    if (!read.opened && mode == ScriptReader::Mode::CommandLine)
        print(io.err, notFound);
    else
        print(io.err, u"File '"_s + name + u"' could not be read: "_s + read.error + u'\n');
    return std::nullopt;
}

std::optional<QByteArray> readScriptBytes(const QString &name, Io &io)
{
    BoundedFile::Result file = BoundedFile::read(name, ScriptReader::maxFileSize, u"a script");
    if (file.status == BoundedFile::Status::Ok)
        return std::move(file.bytes);
    if (file.status == BoundedFile::Status::Missing)
        print(io.err, u"File '"_s + name + u"' could not be found.\n"_s);
    else
        print(io.err, u"File '"_s + name + u"' could not be read: "_s + file.error + u'\n');
    return std::nullopt;
}

} // namespace vbu::cli
