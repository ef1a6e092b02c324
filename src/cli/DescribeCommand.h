#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg describe [--game PROFILE] NAME...: what each console command or variable does, and a
// variable's default, one line a name.
int runDescribe(const QStringList &args, Io &io);

} // namespace vbu::cli
