#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg press [--game quake|quake2] FILE KEY...: runs FILE as exec does, then presses and
// releases each KEY, and prints every command the game runs for it.
int runPress(const QStringList &args, Io &io);

} // namespace vbu::cli
