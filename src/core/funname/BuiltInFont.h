#pragma once

#include "core/funname/ConsoleFont.h"

namespace vbu {

// Our own drawing of a console font, used when no game is installed: the 128 by 128 sheet of
// palette indices the games keep, so it goes through the same glyph cutting as theirs.
class BuiltInFont final
{
public:
    static ConsoleFont::Sheet sheet();
};

} // namespace vbu
