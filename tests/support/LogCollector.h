#pragma once

// The one log collector of the tests: it keeps the engine's log lines (all
// of them, or those a filter accepts) so a test can ask what the game, the
// engine or a script reported. Attach it to a log with addListener; the
// engine calls it under the log's own lock, also from its worker threads.

#include <OgreLog.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace KelvoTest {

class LogCollector : public Ogre::LogListener {
public:
    // Decides whether a line is kept, from its text and its level.
    using Filter = std::function<bool(const std::string& line, Ogre::LogMessageLevel level)>;

    LogCollector() = default;
    explicit LogCollector(Filter filter);

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool maskDebug,
                       const Ogre::String& logName, bool& skipThisMessage) override;

    bool contains(const std::string& text) const;
    int count(const std::string& text) const;
    int countStartingWith(const std::string& prefix) const;
    // Kept lines that contain text, in order.
    std::vector<std::string> matching(const std::string& text) const;

    // The engine's worker threads log too (terrain pages are prepared on
    // them), so the kept lines are only reached under the lock: a copy of
    // them, their number, and emptying them.
    std::vector<std::string> lines() const;
    size_t size() const;
    void clear();

private:
    Filter mFilter;
    mutable std::mutex mMutex;
    std::vector<std::string> mLines;
};

// Filters for the engine's own complaints, which it logs instead of
// throwing: critical lines and lines that name an error, in any case.
bool isErrorLine(const std::string& line, Ogre::LogMessageLevel level);

} // namespace KelvoTest
