#pragma once

namespace Kelvo {

// The whole life of the program: start-up, the game and shut-down, in the
// order the game's singletons depend on. Returns the process exit code.
int runGame();

} // namespace Kelvo
