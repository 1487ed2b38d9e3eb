#pragma once

// Helpers of the sound tests: test sounds made on the spot, a headless engine
// with a "General" folder of its own, the mixed output of OpenAL Soft captured
// to a WAV file, and measurements on that capture.

#include "LogCollector.h"
#include "TestTone.h"

#include <OgreLog.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre {
class LogManager;
class Root;
class SceneManager;
class SceneNode;
}

namespace Kelvo {
class SoundManager;
}

namespace SoundTest {

// Every test process has its own folder; OpenAL Soft is pointed at a
// configuration there (set before main, since OpenAL reads it only once) that
// sends the mixed output to captureFile(). Removing the capture folder makes
// the device impossible to open, which stands for a machine with no sound.
const std::string& workFolder();
std::string captureFile();
void makeDeviceUnusable();
void makeDeviceUsable();

using KelvoTest::FileKind;
using KelvoTest::writeTone;
void writeBytes(const std::string& path, const std::string& bytes);
std::vector<unsigned char> readBytes(const std::string& path);

// The captured output, as floats in -1..1.
struct Capture {
    int sampleRate = 0;
    std::vector<float> left;
    std::vector<float> right;

    double seconds() const { return sampleRate ? static_cast<double>(left.size()) / sampleRate : 0.0; }
    double rmsLeft(double from, double to) const;
    double rmsRight(double from, double to) const;
    double rms(double from, double to) const { return std::max(rmsLeft(from, to), rmsRight(from, to)); }
};
Capture readCapture();

// Stretches of sound in the capture, by 10 ms windows louder than the
// threshold (RMS); two stretches are apart by at least one quiet window.
struct Segment {
    double start;
    double end;
    double length() const { return end - start; }
    double middleFrom() const { return start + 0.25 * length(); }
    double middleTo() const { return end - 0.25 * length(); }
};
std::vector<Segment> findSegments(const Capture& capture, double threshold = 0.01);

// A headless engine (no render system, no window) whose "General" group is
// mediaFolder(), with a scene manager for nodes and every log line kept.
class Engine {
public:
    Engine();
    ~Engine();

    // Shuts the engine down early, as the game does before it deletes the
    // sound manager.
    void shutdown();

    const std::string& mediaFolder() const { return mMediaFolder; }
    std::string mediaPath(const std::string& fileName) const { return mMediaFolder + "/" + fileName; }
    // Files written after the engine started need the group to look again.
    void rescanMedia();

    Ogre::SceneNode* createNode(float x, float y, float z);
    Ogre::SceneManager* sceneManager() const { return mSceneManager; }

    std::vector<std::string> lines() const { return mLog.lines(); }
    // Lines equal to the given one.
    int countLines(const std::string& line) const;
    int countLinesStartingWith(const std::string& prefix) const { return mLog.countStartingWith(prefix); }

private:
    std::string mMediaFolder;
    Ogre::LogManager* mLogManager = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::SceneManager* mSceneManager = nullptr;
    KelvoTest::LogCollector mLog;
};

// Calls UpdateListener about every 10 ms for that long, as frames would.
void runFrames(Kelvo::SoundManager& manager, Ogre::SceneNode* listener, double seconds);
void sleepSeconds(double seconds);

} // namespace SoundTest
