#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg catalogue FILE: the version line, then the tree, two blanks of indent a level.
int runCatalogue(const QStringList &args, Io &io);

} // namespace vbu::cli
