#pragma once

#include <QImage>

namespace vbu::ProgramIcon {

// The program's picture: a key cap of worn metal with a glowing B, on a transparent ground.
QImage render(int size);

} // namespace vbu::ProgramIcon
