#pragma once

#include <QString>

namespace vbu {

// True for a name that is not empty and names an existing ordinary file that is not hidden.
bool fileExists(const QString &path);

} // namespace vbu
