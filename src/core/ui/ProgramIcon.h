#pragma once

#include <QIcon>
#include <QImage>

namespace vbu::ProgramIcon {

// The program's picture: a key cap of worn metal with a glowing B, on a transparent ground.
QImage render(int size);
// The picture at the sizes window frames and task bars ask for.
QIcon icon();

} // namespace vbu::ProgramIcon
