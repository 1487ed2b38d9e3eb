#include "SoundTestSupport.h"

#include "TemporaryFolder.h"

#include "SoundManager/SoundManager.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace SoundTest {

namespace {

namespace fs = std::filesystem;

const char* const kCaptureFolder = "capture";

// Made before main: OpenAL Soft reads its configuration once, at the first
// call, and the game library makes that call only inside tests.
struct WorkFolder {
    KelvoTest::TemporaryFolder folder{"kelvo-sound-test"};
    const std::string path = folder.path();

    WorkFolder()
    {
        fs::create_directories(path + "/" + kCaptureFolder);
        fs::create_directories(path + "/media");
        const std::string config = path + "/alsoft.conf";
        std::ofstream out(config);
        out << "[general]\n"
               "drivers = wave\n"
               "frequency = 44100\n"
               "channels = stereo\n"
               "sample-type = int16\n"
               "hrtf = false\n"
               "[wave]\n"
               "file = "
            << path << "/" << kCaptureFolder << "/output.wav\n";
        out.close();
        setenv("ALSOFT_CONF", config.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
    }
};

WorkFolder& folder()
{
    static WorkFolder instance;
    return instance;
}

// Forces the folder (and so the configuration) into being before main.
const bool kConfigured = !folder().path.empty();

double rmsOf(const std::vector<float>& samples, int rate, double from, double to)
{
    const std::size_t begin = std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, from) * rate));
    const std::size_t end = std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, to) * rate));
    if (end <= begin) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / static_cast<double>(end - begin));
}

} // namespace

const std::string& workFolder()
{
    return folder().path;
}

std::string captureFile()
{
    return workFolder() + "/" + kCaptureFolder + "/output.wav";
}

void makeDeviceUnusable()
{
    fs::remove_all(workFolder() + "/" + kCaptureFolder);
}

void makeDeviceUsable()
{
    fs::create_directories(workFolder() + "/" + kCaptureFolder);
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::vector<unsigned char> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double Capture::rmsLeft(double from, double to) const
{
    return rmsOf(left, sampleRate, from, to);
}

double Capture::rmsRight(double from, double to) const
{
    return rmsOf(right, sampleRate, from, to);
}

Capture readCapture()
{
    Capture capture;
    SF_INFO info = {};
    SNDFILE* file = sf_open(captureFile().c_str(), SFM_READ, &info);
    if (!file) {
        ADD_FAILURE() << "no capture at " << captureFile() << ": " << sf_strerror(nullptr);
        return capture;
    }
    std::vector<float> samples(static_cast<std::size_t>(info.frames) * info.channels);
    const sf_count_t frames = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    capture.sampleRate = info.samplerate;
    for (sf_count_t frame = 0; frame < frames; ++frame) {
        capture.left.push_back(samples[frame * info.channels]);
        capture.right.push_back(samples[frame * info.channels + (info.channels > 1 ? 1 : 0)]);
    }
    return capture;
}

std::vector<Segment> findSegments(const Capture& capture, double threshold)
{
    std::vector<Segment> segments;
    const double window = 0.01;
    bool inside = false;
    for (double at = 0.0; at + window <= capture.seconds(); at += window) {
        const bool loud = capture.rms(at, at + window) > threshold;
        if (loud && !inside) {
            segments.push_back(Segment{at, at + window});
        } else if (loud) {
            segments.back().end = at + window;
        }
        inside = loud;
    }
    return segments;
}

Engine::Engine()
{
    mMediaFolder = workFolder() + "/media";
    mLogManager = new Ogre::LogManager();
    Ogre::Log* log = mLogManager->createLog("sound-test.log", true, false, true);
    log->addListener(&mLog);
    mRoot = new Ogre::Root("", "", "");
    // Ogre's own tests run like this: software buffers, no render system.
    new Ogre::DefaultHardwareBufferManager();
    Ogre::ResourceGroupManager::getSingleton().addResourceLocation(mMediaFolder, "FileSystem",
                                                                   Kelvo::SoundManager::kResourceGroup);
    mSceneManager = mRoot->createSceneManager();
}

Engine::~Engine()
{
    shutdown();
    if (mLogManager) {
        mLogManager->getDefaultLog()->removeListener(&mLog);
        delete mLogManager;
    }
}

void Engine::shutdown()
{
    if (!mRoot) {
        return;
    }
    mRoot->destroySceneManager(mSceneManager);
    mSceneManager = nullptr;
    delete Ogre::HardwareBufferManager::getSingletonPtr();
    delete mRoot;
    mRoot = nullptr;
}

void Engine::rescanMedia()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.removeResourceLocation(mMediaFolder, Kelvo::SoundManager::kResourceGroup);
    groups.addResourceLocation(mMediaFolder, "FileSystem", Kelvo::SoundManager::kResourceGroup);
}

Ogre::SceneNode* Engine::createNode(float x, float y, float z)
{
    return mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(x, y, z));
}

int Engine::countLines(const std::string& line) const
{
    const std::vector<std::string> kept = mLog.lines();
    return static_cast<int>(std::count(kept.begin(), kept.end(), line));
}

void sleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void runFrames(Kelvo::SoundManager& manager, Ogre::SceneNode* listener, double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - last).count();
        last = now;
        manager.UpdateListener(listener, static_cast<float>(elapsed));
        manager.Update();
        if (std::chrono::duration<double>(now - start).count() >= seconds) {
            break;
        }
        sleepSeconds(0.01);
    }
}

} // namespace SoundTest
