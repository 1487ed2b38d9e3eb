#include "platform/Environment.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace Kelvo {
namespace Platform {

const char* const kNoDisplayReason =
    "the DISPLAY variable is not set, so the game's window cannot be opened (start it in a desktop session)";

bool hasDisplay()
{
#ifdef _WIN32
    return true;
#else
    const char* display = std::getenv("DISPLAY");
    return display && *display;
#endif
}

bool canWriteFile(const std::string& path, std::string* reason)
{
    std::FILE* existing = std::fopen(path.c_str(), "r");
    const bool existed = existing != nullptr;
    if (existing) {
        std::fclose(existing);
    }
    std::FILE* probe = std::fopen(path.c_str(), "a");
    if (!probe) {
        if (reason) {
            *reason = std::strerror(errno);
        }
        return false;
    }
    std::fclose(probe);
    if (!existed) {
        std::remove(path.c_str());
    }
    return true;
}

void failOversizedWritesInsteadOfEnding()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace Platform
} // namespace Kelvo
