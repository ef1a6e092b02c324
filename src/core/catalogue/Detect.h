#pragma once

#include <functional>

namespace vbu::Detect {

// Whether the computer looks connected. Asks the system's network information (reachability)
// where a backend is available; without one the answer is true, and the transfer itself tells.
// Only a definite "disconnected" gives false: an unknown or local-only state lets the check go on.
bool isRemoteConnected();

// Replaces the system's answer, for tests; an empty function puts the system's back.
void setOverride(std::function<bool()> answer);

} // namespace vbu::Detect
