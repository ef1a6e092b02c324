#pragma once

#include "cli/Cli.h"

namespace vbu::cli {

// vbu-cfg update [--yes] [CATALOGUE]: the Command List's update check against VBU_UPDATE_URL,
// the outcome in one line. The catalogue is replaced only with --yes, and only by a list that
// arrived whole. Exit 0 when current or updated, 1 when not (the file then as it was), 2 for
// wrong usage.
int runUpdate(const QStringList &args, Io &io);

} // namespace vbu::cli
