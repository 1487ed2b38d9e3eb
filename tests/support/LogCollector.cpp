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
        std::lock_guard<std::mutex> lock(mMutex);
        mLines.push_back(message);
    }
}

std::vector<std::string> LogCollector::lines() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLines;
}

size_t LogCollector::size() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLines.size();
}

void LogCollector::clear()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mLines.clear();
}

bool LogCollector::contains(const std::string& text) const
{
    return count(text) > 0;
}

int LogCollector::count(const std::string& text) const
{
    const std::vector<std::string> kept = lines();
    return static_cast<int>(std::count_if(kept.begin(), kept.end(), [&text](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

int LogCollector::countStartingWith(const std::string& prefix) const
{
    const std::vector<std::string> kept = lines();
    return static_cast<int>(std::count_if(kept.begin(), kept.end(), [&prefix](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    }));
}

std::vector<std::string> LogCollector::matching(const std::string& text) const
{
    const std::vector<std::string> kept = lines();
    std::vector<std::string> found;
    std::copy_if(kept.begin(), kept.end(), std::back_inserter(found),
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
