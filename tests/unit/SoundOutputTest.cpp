// What is really heard: the sound manager plays through OpenAL Soft, whose
// WAV writer captures the mixed output (see SoundTestSupport), and the tests
// measure that capture. Each test records for about a second of real time.

#include "SoundTestSupport.h"

#include "SoundManager/SoundManager.h"
#include "audio/AudioSystem.h"

#include <Ogre.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

using namespace SoundTest;
using Kelvo::SoundManager;

namespace {

// A tone of amplitude 0.5 gives an RMS near 0.35 before panning; anything
// under this is no sound.
const double kSilence = 0.01;
// OpenAL Soft dithers its 16-bit output, so even silence is not quite 0.
const double kQuiet = 0.001;

class SoundOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeTone(workFolder() + "/media/tone.wav", FileKind::Wav, 0.4);
        writeTone(workFolder() + "/media/stereo.mp3", FileKind::Mp3, 0.4, 441.0, 0.5, 2);
        writeTone(workFolder() + "/media/short.wav", FileKind::Wav, 0.25);
        writeTone(workFolder() + "/media/short.mp3", FileKind::Mp3, 0.25);
        writeTone(workFolder() + "/media/shortfloat.wav", FileKind::FloatWav, 0.25);
        writeTone(workFolder() + "/media/second.wav", FileKind::Wav, 1.0);
        writeTone(workFolder() + "/media/second.mp3", FileKind::Mp3, 1.0, 441.0, 0.5, 2);
        writeTone(workFolder() + "/media/left.wav", FileKind::Wav, 0.4, 441.0, 0.5, 2, 0.0);
        mEngine.reset(new Engine());
        mManager.reset(new SoundManager());
        mManager->Initialize();
        mListener = mEngine->createNode(0, 0, 0);
    }

    void TearDown() override
    {
        finish();
        makeDeviceUsable();
    }

    // Closes the device, which completes the capture file.
    void finish()
    {
        if (mEngine) {
            mEngine->shutdown();
        }
        mManager.reset();
        mEngine.reset();
    }

    void frames(double seconds) { runFrames(*mManager, mListener, seconds); }

    std::unique_ptr<Engine> mEngine;
    std::unique_ptr<SoundManager> mManager;
    Ogre::SceneNode* mListener = nullptr;
};

TEST_F(SoundOutputTest, PlayedSoundIsHeardAfterSilenceForAsLongAsItLasts)
{
    ASSERT_FALSE(mManager->getAudioSystem()->usesSilentDevice());
    const int tone = mManager->CreateSound2D("tone.wav");
    frames(0.3);
    int channel = -1;
    mManager->PlaySound(tone, nullptr, &channel);
    frames(0.6);
    EXPECT_FALSE(mManager->IsPlaying(channel));
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(1u, heard.size());
    EXPECT_GE(heard[0].start, 0.25);
    EXPECT_NEAR(0.4, heard[0].length(), 0.03);
    EXPECT_GT(kQuiet, capture.rms(0.0, heard[0].start - 0.02));
    EXPECT_GT(kQuiet, capture.rms(heard[0].end + 0.02, capture.seconds()));
    EXPECT_GT(capture.rms(heard[0].middleFrom(), heard[0].middleTo()), 0.2);
}

TEST_F(SoundOutputTest, ThreeDSoundsArePannedToTheirSideMonoWavAndStereoMp3)
{
    for (const char* file : {"tone.wav", "stereo.mp3"}) {
        const int sound = mManager->CreateSound3D(file);
        ASSERT_GT(sound, 0) << file;
    }
    // The listener faces the engine's -z, as a camera does: +x is its right.
    Ogre::SceneNode* right = mEngine->createNode(5, 0, 0);
    Ogre::SceneNode* left = mEngine->createNode(-5, 0, 0);
    for (int sound : {1, 2}) {
        for (Ogre::SceneNode* node : {right, left}) {
            int channel = -1;
            mManager->PlaySound(sound, node, &channel);
            mManager->Set3DMinMaxDistance(channel, 1.0f, 100.0f);
            frames(0.55);
        }
    }
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(4u, heard.size());
    for (int i = 0; i < 4; ++i) {
        const double leftRms = capture.rmsLeft(heard[i].middleFrom(), heard[i].middleTo());
        const double rightRms = capture.rmsRight(heard[i].middleFrom(), heard[i].middleTo());
        const bool onTheRight = i % 2 == 0;
        EXPECT_GT(onTheRight ? rightRms : leftRms, 3.0 * (onTheRight ? leftRms : rightRms))
            << "sound " << i << " left " << leftRms << " right " << rightRms;
    }
}

TEST_F(SoundOutputTest, ThreeDSoundRollsOffLinearlyToSilenceAtMaxDistance)
{
    const int sound = mManager->CreateSound3D("tone.wav");
    // Minimum 1, maximum 21: full volume at 1, half at 11, nothing from 21.
    for (float distance : {1.0f, 11.0f, 21.5f, 40.0f}) {
        Ogre::SceneNode* node = mEngine->createNode(0, 0, -distance);
        int channel = -1;
        mManager->PlaySound(sound, node, &channel);
        mManager->Set3DMinMaxDistance(channel, 1.0f, 21.0f);
        frames(0.55);
    }
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(2u, heard.size());
    const double full = capture.rms(heard[0].middleFrom(), heard[0].middleTo());
    const double half = capture.rms(heard[1].middleFrom(), heard[1].middleTo());
    EXPECT_NEAR(0.5, half / full, 0.05);
    EXPECT_GT(kQuiet, capture.rms(heard[1].end + 0.05, capture.seconds()));
}

TEST_F(SoundOutputTest, HalfVolumeHalvesTheAmplitude)
{
    const int sound = mManager->CreateSound2D("tone.wav");
    for (float volume : {1.0f, 0.5f}) {
        int channel = -1;
        mManager->PlaySound(sound, nullptr, &channel);
        mManager->SetVolume(channel, volume);
        frames(0.55);
    }
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(2u, heard.size());
    const double full = capture.rms(heard[0].middleFrom(), heard[0].middleTo());
    const double half = capture.rms(heard[1].middleFrom(), heard[1].middleTo());
    EXPECT_NEAR(0.5, half / full, 0.03) << full << " " << half;
}

TEST_F(SoundOutputTest, TwoDSoundIsHeardTheSameWhereverTheListenerIs)
{
    const int sound = mManager->CreateSound2D("tone.wav");
    int channel = -1;
    mManager->PlaySound(sound, nullptr, &channel);
    frames(0.55);
    mListener->setPosition(500, 20, -300);
    mListener->yaw(Ogre::Degree(90));
    mManager->PlaySound(sound, nullptr, &channel);
    frames(0.55);
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(2u, heard.size());
    for (const Segment& segment : heard) {
        EXPECT_NEAR(capture.rmsLeft(segment.middleFrom(), segment.middleTo()),
                    capture.rmsRight(segment.middleFrom(), segment.middleTo()), 0.01);
    }
    EXPECT_NEAR(capture.rms(heard[0].middleFrom(), heard[0].middleTo()),
                capture.rms(heard[1].middleFrom(), heard[1].middleTo()), 0.01);
}

TEST_F(SoundOutputTest, TwoDStereoSoundKeepsItsChannelsAtFullVolume)
{
    const int sound = mManager->CreateSound2D("left.wav");
    int channel = -1;
    mManager->PlaySound(sound, nullptr, &channel);
    frames(0.55);
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(1u, heard.size());
    // The file's left channel: a sine of amplitude 0.5, RMS 0.354.
    EXPECT_NEAR(0.354, capture.rmsLeft(heard[0].middleFrom(), heard[0].middleTo()), 0.01);
    EXPECT_GT(kQuiet, capture.rmsRight(heard[0].middleFrom(), heard[0].middleTo()));
}

class LoopedStreamTest : public SoundOutputTest, public ::testing::WithParamInterface<const char*> {
};

TEST_P(LoopedStreamTest, KeepsPlayingPastItsLengthWithoutGapsUntilStopped)
{
    const int sound = mManager->CreateLoopedSound2D(GetParam());
    ASSERT_GT(sound, 0);
    ASSERT_TRUE(mManager->getSoundInstance(sound)->sound->isStream());
    int channel = -1;
    mManager->PlaySound(sound, nullptr, &channel);
    frames(1.2);
    EXPECT_TRUE(mManager->IsPlaying(channel));
    mManager->StopSound(channel);
    EXPECT_EQ(-1, channel);
    frames(0.3);
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(1u, heard.size());
    // Nearly five times the file's 0.25 s, in one piece, as loud as a
    // mono tone of amplitude 0.5 plays in the middle.
    EXPECT_NEAR(1.2, heard[0].length(), 0.1);
    EXPECT_NEAR(0.21, capture.rms(heard[0].middleFrom(), heard[0].middleTo()), 0.01);
    EXPECT_GT(kQuiet, capture.rms(heard[0].end + 0.05, capture.seconds()));
}

TEST_P(LoopedStreamTest, StarvedByLateFramesStartsAgain)
{
    const int sound = mManager->CreateLoopedSound2D(GetParam());
    int channel = -1;
    mManager->PlaySound(sound, nullptr, &channel);
    frames(0.2);
    // A long frame (a scene loading): the queued buffers run out.
    sleepSeconds(1.3);
    EXPECT_TRUE(mManager->IsPlaying(channel));
    frames(0.5);
    EXPECT_TRUE(mManager->IsPlaying(channel));
    finish();

    const Capture capture = readCapture();
    const std::vector<Segment> heard = findSegments(capture, kSilence);
    ASSERT_EQ(2u, heard.size());
    EXPECT_NEAR(0.5, heard[1].length(), 0.1);
}

INSTANTIATE_TEST_SUITE_P(FileKinds, LoopedStreamTest, ::testing::Values("short.wav", "short.mp3", "shortfloat.wav"));

// No usable device: the game goes on with a silent one that still takes
// each sound's time.
class SilentDeviceTest : public SoundOutputTest {
protected:
    void SetUp() override
    {
        makeDeviceUnusable();
        SoundOutputTest::SetUp();
    }
};

TEST_F(SilentDeviceTest, OneSecondSoundPlaysForAboutASecond)
{
    ASSERT_TRUE(mManager->getAudioSystem()->usesSilentDevice());
    EXPECT_EQ(1, mEngine->countLines("SoundManager found no sound device: sounds play on a silent device"));

    for (const char* file : {"second.wav", "second.mp3"}) {
        const int streamed = mManager->CreateSound2D(file);
        const int loaded = mManager->CreateSound3D(file);
        int streamedChannel = -1;
        int loadedChannel = -1;
        mManager->PlaySound(streamed, nullptr, &streamedChannel);
        mManager->PlaySound(loaded, mListener, &loadedChannel);
        const auto start = std::chrono::steady_clock::now();
        double streamedEnd = 0.0;
        double loadedEnd = 0.0;
        while (streamedEnd == 0.0 || loadedEnd == 0.0) {
            mManager->UpdateListener(mListener, 0.01f);
            mManager->Update();
            const double now = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (streamedEnd == 0.0 && !mManager->IsPlaying(streamedChannel)) {
                streamedEnd = now;
            }
            if (loadedEnd == 0.0 && !mManager->IsPlaying(loadedChannel)) {
                loadedEnd = now;
            }
            ASSERT_LT(now, 3.0) << file << " never ended";
            sleepSeconds(0.01);
        }
        EXPECT_NEAR(1.0, streamedEnd, 0.15) << file;
        EXPECT_NEAR(1.0, loadedEnd, 0.15) << file;
    }
}

TEST_F(SilentDeviceTest, LoopedStreamKeepsPlaying)
{
    const int sound = mManager->CreateLoopedSound2D("short.mp3");
    int channel = -1;
    mManager->PlaySound(sound, nullptr, &channel);
    frames(0.8);
    EXPECT_TRUE(mManager->IsPlaying(channel));
    mManager->StopSound(channel);
    EXPECT_EQ(0, mManager->getAudioSystem()->getChannelsPlaying());
}

} // namespace
