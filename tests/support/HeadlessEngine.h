#pragma once

// A real engine root without a render system or window: software hardware
// buffers and an initialised material manager, as the engine's own tests
// use. Meshes, skeletons, the scene graph and non-terrain ray queries work.
// The log is kept in memory and can be searched.

#include "LogCollector.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <gtest/gtest.h>

namespace KelvoTest {

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
