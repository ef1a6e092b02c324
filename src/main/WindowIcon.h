#pragma once

#include <QIcon>

namespace vbu::WindowIcon {

// The program's picture at the sizes window frames and task bars ask for, read from the copies
// the build rendered: drawing it takes a font, and the first font is slow to come.
QIcon icon();

} // namespace vbu::WindowIcon
