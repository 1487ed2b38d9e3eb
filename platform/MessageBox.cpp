#include "platform/MessageBox.h"

#include <OgreLogManager.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace Kelvo {
namespace Platform {

const char* const kExceptionCaption = "An exception\thas\toccurred!";

void showMessageBox(const std::string& text, const std::string& caption, unsigned style)
{
#ifdef _WIN32
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
#else
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr()) {
        // Critical, so the box is written even while a scene load has
        // turned the engine's log detail down.
        log->logMessage("MessageBox [" + caption + "]: " + text, Ogre::LML_CRITICAL);
    }
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
#endif
}

void showExceptionBox(const std::string& description)
{
    showMessageBox(description, kExceptionCaption, kMessageBoxTaskModal | kMessageBoxIconError);
}

} // namespace Platform
} // namespace Kelvo
