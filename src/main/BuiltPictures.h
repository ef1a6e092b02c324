#pragma once

#include <QIcon>
#include <QImage>

namespace vbu::BuiltPictures {

// The pictures the program shows before its main window, read from the copies the build
// rendered: drawing them takes fonts, which are slow to come the first time, and the splash's
// worn metal takes tens of milliseconds to work out.

// The program's picture at the sizes window frames and task bars ask for.
QIcon windowIcon();
// The splash's picture; null when the build left it out.
QImage splash();

} // namespace vbu::BuiltPictures
