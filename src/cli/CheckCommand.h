#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg check [--game quake|quake2|both] FILE: tells what goes wrong when the game runs FILE,
// and which of its lines Open would not take back as they stand.
int runCheck(const QStringList &args, Io &io);

} // namespace vbu::cli
