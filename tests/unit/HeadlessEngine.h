#pragma once

// A real engine root without a render system or window: software hardware
// buffers and an initialised material manager, as the engine's own tests
// use. Meshes, skeletons, the scene graph and non-terrain ray queries work.
// The log is kept in memory and can be searched.

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace KelvoTest {

// Collects every log line so tests can check what the game reported.
class LogCollector : public Ogre::LogListener {
public:
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&,
                       bool&) override
    {
        lines.push_back(message);
    }

    bool contains(const std::string& text) const
    {
        return std::any_of(lines.begin(), lines.end(),
                           [&text](const std::string& line) { return line.find(text) != std::string::npos; });
    }

    std::vector<std::string> lines;
};

// A log manager whose default log writes no file and reports to a collector.
class InMemoryLog {
public:
    InMemoryLog()
        : mManager(new Ogre::LogManager())
    {
        Ogre::Log* log = mManager->createLog("kelvo-test.log", true, false, true);
        log->addListener(&collector);
    }
    ~InMemoryLog() { delete mManager; }

    LogCollector collector;

private:
    Ogre::LogManager* mManager;
};

class HeadlessEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mLog = new InMemoryLog();
        mRoot = new Ogre::Root("", "", "");
        mBuffers = new Ogre::DefaultHardwareBufferManager();
        Ogre::MaterialManager::getSingleton().initialise();
    }

    void TearDown() override
    {
        delete mRoot;
        delete mBuffers;
        delete mLog;
    }

    const LogCollector& log() const { return mLog->collector; }

    InMemoryLog* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::DefaultHardwareBufferManager* mBuffers = nullptr;
};

} // namespace KelvoTest
