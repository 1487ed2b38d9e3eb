#pragma once

#include <string>
#include <vector>

namespace Kelvo {

// The whole life of the program: start-up, the game and shut-down, in the
// order the game's singletons depend on. Returns the process exit code.
// The command line is empty for the game; "--demo" and its switches run the
// timed demo instead of the menu (see DemoOptions).
int runGame(const std::vector<std::string>& arguments = {});

} // namespace Kelvo
