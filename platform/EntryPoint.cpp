// The operating system's entry point. All the game's start-up and shut-down
// lives in Kelvo::runGame; this file only adapts the platform's signature.
#include "app/GameMain.h"

#ifdef _WIN32
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return Kelvo::runGame();
}
#else
int main(int argc, char** argv)
{
    return Kelvo::runGame(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
