#pragma once

#include <QImage>

namespace vbu::SplashPicture {

inline constexpr QSize size{517, 259};

// The title card shown while the program starts: product name, what it is for and the version,
// on riveted, worn metal. Drawn the same way on every run.
QImage render();

} // namespace vbu::SplashPicture
