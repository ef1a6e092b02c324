#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg check [--game PROFILE] FILE: tells what goes wrong when the game (quake, quake2, both,
// or a source port's profile) runs FILE, and which of its lines Open would not take back as they stand.
int runCheck(const QStringList &args, Io &io);

} // namespace vbu::cli
