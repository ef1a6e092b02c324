#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg items [--command-line|--exact] FILE: the items the editor would list, one per line.
int runItems(const QStringList &args, Io &io);

} // namespace vbu::cli
