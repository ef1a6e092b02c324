#include "gui/app/FontConfigPreload.h"

#include <fontconfig/fontconfig.h>

namespace vbu {

// Fontconfig is safe to start from any thread; Qt's own first call then finds it ready.
FontConfigPreload::FontConfigPreload() : m_reader([] { FcInit(); }) {}

void FontConfigPreload::wait()
{
    if (m_reader.joinable())
        m_reader.join();
}

} // namespace vbu
