#pragma once

#include <thread>

namespace vbu {

// Fontconfig reads its whole configuration the first time any text is measured: several
// milliseconds of parsing, on the window's thread, before the first window can be built. Made
// before the application object, this reads it on another core while Qt starts up.
class FontConfigPreload
{
public:
    FontConfigPreload();
    ~FontConfigPreload() = default;
    FontConfigPreload(const FontConfigPreload &) = delete;
    FontConfigPreload &operator=(const FontConfigPreload &) = delete;
    FontConfigPreload(FontConfigPreload &&) = delete;
    FontConfigPreload &operator=(FontConfigPreload &&) = delete;

    // Until the configuration is read; called before the first window, so that Qt does not read
    // it a second time beside this.
    void wait();

private:
    std::jthread m_reader;
};

} // namespace vbu
