#pragma once

#include <QString>

namespace vbu {

// True for a name that is not empty and names an existing regular file (following links).
bool fileExists(const QString &path);

} // namespace vbu
