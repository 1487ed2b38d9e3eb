#include "LogCollector.h"

#include <OgreStringConverter.h>

#include <algorithm>

namespace KelvoTest {

LogCollector::LogCollector(Filter filter)
    : mFilter(std::move(filter))
{
}

void LogCollector::messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool,
                                 const Ogre::String&, bool&)
{
    if (!mFilter || mFilter(message, level)) {
        lines.push_back(message);
    }
}

bool LogCollector::contains(const std::string& text) const
{
    return count(text) > 0;
}

int LogCollector::count(const std::string& text) const
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&text](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

int LogCollector::countStartingWith(const std::string& prefix) const
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&prefix](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    }));
}

std::vector<std::string> LogCollector::matching(const std::string& text) const
{
    std::vector<std::string> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [&text](const std::string& line) { return line.find(text) != std::string::npos; });
    return found;
}

bool isErrorLine(const std::string& line, Ogre::LogMessageLevel level)
{
    std::string lower = line;
    Ogre::StringUtil::toLowerCase(lower);
    return level >= Ogre::LML_CRITICAL || lower.find("error") != std::string::npos;
}

} // namespace KelvoTest
