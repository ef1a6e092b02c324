#pragma once

#include "core/check/ScriptChecker.h"
#include "core/script/ScriptLines.h"

#include <array>

namespace vbu {

// Which keys the list binds, read from its bind lines as the check reads them: a key is bound
// when a bind at the top level of the list holds at its end, and bound twice when, besides, the
// check finds it bound again somewhere while an earlier bind of it held.
class KeyMapBindings final
{
public:
    enum class Use { Free, Bound, BoundTwice };
    // By the game's key number.
    using Uses = std::array<Use, 256>;

    // Quake or Quake 2; the lines as Save writes them.
    static Uses read(const ScriptLines &lines, CheckGame game);
};

} // namespace vbu
