#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg resave [--exact] IN OUT: opens IN as the editor's Open (or Open Exactly) does and
// saves the list as OUT.
int runResave(const QStringList &args, Io &io);

} // namespace vbu::cli
