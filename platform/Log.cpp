#include "platform/Log.h"

#include <OgreLogManager.h>
#include <OgreVector.h>

#include <cstdio>
#include <iomanip>
#include <sstream>

namespace Kelvo {

namespace {

bool sEchoWarnings = false;

class TerminalEcho : public Ogre::LogListener {
public:
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
};

void write(const std::string& line, Ogre::LogMessageLevel level)
{
    Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr();
    if (logs) {
        logs->logMessage(line, level);
    }
    if (!logs || (sEchoWarnings && level >= Ogre::LML_WARNING)) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

} // namespace

void logLine(const std::string& line)
{
    write(line, Ogre::LML_NORMAL);
}

void logWarning(const std::string& line)
{
    write(line, Ogre::LML_WARNING);
}

void logCritical(const std::string& line)
{
    write(line, Ogre::LML_CRITICAL);
}

void echoWarningsToTerminal(bool echo)
{
    sEchoWarnings = echo;
}

void echoWholeLogToTerminal()
{
    // One listener for the whole run; the log it listens to lives until
    // the end of the program.
    static TerminalEcho echo;
    Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr();
    if (!logs || !logs->getDefaultLog()) {
        return;
    }
    sEchoWarnings = false;
    logs->getDefaultLog()->addListener(&echo);
}

std::string vectorText(const Ogre::Vector3& v, NumberStyle style)
{
    std::ostringstream text;
    if (style == NumberStyle::TwoDecimals) {
        text << std::fixed << std::setprecision(2);
    } else {
        text << std::setprecision(6);
    }
    text << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    return text.str();
}

} // namespace Kelvo
