#pragma once

#include "cli/Cli.h"
#include "core/script/ScriptReader.h"

#include <optional>

namespace vbu::cli {

// Loads a script the way the editor does for the given path: Open's, Open Exactly's or the
// command line's.
// On failure tells why on io.err and returns nothing.
std::optional<ScriptLines> loadScript(const QString &name, ScriptReader::Mode mode, Io &io);

// The file's own bytes, as the game's exec reads them; on failure tells why on io.err.
std::optional<QByteArray> readScriptBytes(const QString &name, Io &io);

} // namespace vbu::cli
