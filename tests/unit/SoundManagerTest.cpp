// The sound manager's rules: handles, the sound table, channel handles, the
// log texts and the listener update. The output device is OpenAL Soft's WAV
// writer (see SoundTestSupport), so nothing here needs a sound card.

#include "SoundTestSupport.h"

#include "SoundManager/SoundManager.h"
#include "audio/AudioSystem.h"

#include <Ogre.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace SoundTest;
using Kelvo::AudioChannel;
using Kelvo::AudioVector;
using Kelvo::SoundManager;

namespace {

const std::string kNotFound = "SoundManager::CreateSound could not find sound '";
const std::string kCouldNotLoad = "SoundManager::CreateSound could not load sound '";
const std::string kGrowth = "SoundManager::IncrementNextSoundInstanceIndex increasing size of soundInstanceVector to ";

class SoundManagerTest : public ::testing::Test {
protected:
    // Test files are written before the engine starts, so the "General"
    // group finds them in its first scan.
    void start()
    {
        mEngine.reset(new Engine());
        mManager.reset(new SoundManager());
        mManager->Initialize();
        ASSERT_EQ(1, mEngine->countLines("SoundManager Initialized"));
    }

    void TearDown() override
    {
        // The game's order: the engine goes first, the sound manager after.
        if (mEngine) {
            mEngine->shutdown();
        }
        mManager.reset();
        mEngine.reset();
    }

    AudioChannel* channel(int handle)
    {
        AudioChannel* found = nullptr;
        EXPECT_EQ(Kelvo::kAudioOk, mManager->getAudioSystem()->getChannel(handle, &found));
        return found;
    }

    std::unique_ptr<Engine> mEngine;
    std::unique_ptr<SoundManager> mManager;
};

void expectVector(const AudioVector& actual, float x, float y, float z)
{
    EXPECT_NEAR(x, actual.x, 1e-4f);
    EXPECT_NEAR(y, actual.y, 1e-4f);
    EXPECT_NEAR(z, actual.z, 1e-4f);
}

TEST_F(SoundManagerTest, HandlesStartAtOneAndRepeatPerFileAndType)
{
    writeTone(workFolder() + "/media/hum.wav", FileKind::Wav, 0.1);
    writeTone(workFolder() + "/media/hum.mp3", FileKind::Mp3, 0.1);
    start();

    EXPECT_EQ(1, mManager->CreateSound3D("hum.wav"));
    EXPECT_EQ(1, mManager->CreateSound("hum.wav", SoundManager::kSound3D));
    EXPECT_EQ(2, mManager->CreateSound2D("hum.wav"));
    EXPECT_EQ(3, mManager->CreateLoopedSound3D("hum.wav"));
    EXPECT_EQ(4, mManager->CreateLoopedSound2D("hum.wav"));
    EXPECT_EQ(5, mManager->CreateSound3D("hum.mp3"));
    EXPECT_EQ(2, mManager->CreateSound2D("hum.wav"));
    EXPECT_EQ(5, mManager->getSoundCount());

    // 3D sounds are loaded whole and mixed to mono; 2D sounds stream.
    EXPECT_FALSE(mManager->getSoundInstance(1)->sound->isStream());
    EXPECT_TRUE(mManager->getSoundInstance(1)->sound->is3D());
    EXPECT_TRUE(mManager->getSoundInstance(2)->sound->isStream());
    EXPECT_FALSE(mManager->getSoundInstance(2)->sound->is3D());
    EXPECT_TRUE(mManager->getSoundInstance(4)->sound->isLooping());
    EXPECT_FALSE(mManager->getSoundInstance(2)->sound->isLooping());
}

TEST_F(SoundManagerTest, TableGrowsByTwentyWhenFullAndLogsTheNewSize)
{
    const int files = 141;
    for (int i = 1; i <= files; ++i) {
        writeTone(workFolder() + "/media/blip" + std::to_string(i) + ".wav", FileKind::Wav, 0.01);
    }
    start();
    EXPECT_EQ(SoundManager::kInitialTableSize, mManager->getSoundTableSize());

    for (int i = 1; i <= files; ++i) {
        ASSERT_EQ(i, mManager->CreateSound3D("blip" + std::to_string(i) + ".wav"));
        if (i == 99) {
            EXPECT_EQ(0, mEngine->countLinesStartingWith(kGrowth));
        }
        if (i == 100) {
            EXPECT_EQ(1, mEngine->countLines(kGrowth + "120"));
            EXPECT_EQ(120u, mManager->getSoundTableSize());
        }
    }
    EXPECT_EQ(1, mEngine->countLines(kGrowth + "140"));
    EXPECT_EQ(1, mEngine->countLines(kGrowth + "160"));
    EXPECT_EQ(3, mEngine->countLinesStartingWith(kGrowth));
    // Entries made before the table grew still reach their files.
    int channelHandle = -1;
    mManager->PlaySound(1, nullptr, &channelHandle);
    EXPECT_TRUE(mManager->IsPlaying(channelHandle));
    EXPECT_EQ("blip1.wav", mManager->getSoundInstance(1)->fileName);
    EXPECT_EQ("blip141.wav", mManager->getSoundInstance(141)->fileName);
}

TEST_F(SoundManagerTest, FilesThatCannotBeLoadedAreLoggedAndGiveZeroEveryTime)
{
    writeTone(workFolder() + "/media/good.wav", FileKind::Wav, 0.1);
    writeBytes(workFolder() + "/media/broken.wav", std::string(4000, 'x'));
    writeBytes(workFolder() + "/media/empty.mp3", "");
    start();

    EXPECT_EQ(0, mManager->CreateSound3D("missing.wav"));
    EXPECT_EQ(1, mEngine->countLines(kNotFound + "missing.wav'"));

    for (int attempt = 1; attempt <= 2; ++attempt) {
        EXPECT_EQ(0, mManager->CreateSound3D("broken.wav")) << "attempt " << attempt;
        EXPECT_EQ(0, mManager->CreateSound2D("broken.wav")) << "attempt " << attempt;
        EXPECT_EQ(0, mManager->CreateLoopedSound2D("empty.mp3")) << "attempt " << attempt;
        EXPECT_EQ(0, mManager->CreateSound("good.wav", 7)) << "attempt " << attempt;
        EXPECT_EQ(0, mManager->CreateSound("good.wav", 0)) << "attempt " << attempt;
    }
    EXPECT_EQ(4, mEngine->countLines(kCouldNotLoad + "broken.wav'  FMOD Error:" +
                                     Kelvo::audioErrorString(Kelvo::kAudioErrFormat)));
    EXPECT_EQ(2, mEngine->countLines(kCouldNotLoad + "empty.mp3'  FMOD Error:" +
                                     Kelvo::audioErrorString(Kelvo::kAudioErrFileNotFound)));
    EXPECT_EQ(4, mEngine->countLines(kCouldNotLoad + "good.wav' (invalid soundType)"));

    // No entry was used up by the failures.
    EXPECT_EQ(0, mManager->getSoundCount());
    EXPECT_EQ(1, mManager->CreateSound3D("good.wav"));
}

TEST_F(SoundManagerTest, ChannelHandleRules)
{
    writeTone(workFolder() + "/media/loop.wav", FileKind::Wav, 0.5);
    start();
    const int looped = mManager->CreateLoopedSound3D("loop.wav");
    ASSERT_GT(looped, 0);
    Ogre::SceneNode* bird = mEngine->createNode(3, 0, 0);
    Ogre::SceneNode* spider = mEngine->createNode(-3, 0, 0);

    // Handle -1 and handles that name nothing are harmless.
    int none = -1;
    mManager->PlaySound(0, bird, &none);
    mManager->PlaySound(999, bird, &none);
    mManager->PlaySound(-4, bird, &none);
    EXPECT_EQ(-1, none);
    mManager->StopSound(none);
    EXPECT_EQ(-1, none);
    mManager->SetVolume(-1, 0.5f);
    mManager->Set3DMinMaxDistance(-1, 1.0f, 2.0f);
    EXPECT_FALSE(mManager->IsPlaying(-1));
    EXPECT_FALSE(mManager->IsPlaying(SoundManager::kChannelCount));
    int outside = 400;
    mManager->StopSound(outside);
    EXPECT_EQ(-1, outside);

    int birdChannel = -1;
    mManager->PlaySound(looped, bird, &birdChannel);
    ASSERT_GE(birdChannel, 0);
    ASSERT_LT(birdChannel, SoundManager::kChannelCount);
    EXPECT_TRUE(mManager->IsPlaying(birdChannel));
    EXPECT_EQ(bird, mManager->getFollowedNode(birdChannel));
    AudioVector position;
    channel(birdChannel)->get3DAttributes(&position, nullptr);
    expectVector(position, 3, 0, 0);

    // Playing again for the same node leaves the running sound alone: a
    // restart would have set the volume back to 1.
    mManager->SetVolume(birdChannel, 0.3f);
    const int firstChannel = birdChannel;
    mManager->PlaySound(looped, bird, &birdChannel);
    EXPECT_EQ(firstChannel, birdChannel);
    float volume = 0.0f;
    channel(birdChannel)->getVolume(&volume);
    EXPECT_FLOAT_EQ(0.3f, volume);

    // For another node it is another channel.
    int spiderChannel = birdChannel;
    mManager->PlaySound(looped, spider, &spiderChannel);
    EXPECT_NE(birdChannel, spiderChannel);
    EXPECT_EQ(spider, mManager->getFollowedNode(spiderChannel));
    EXPECT_TRUE(mManager->IsPlaying(birdChannel));

    // The sound layer keeps volumes in 0..1.
    mManager->SetVolume(spiderChannel, 1.7f);
    channel(spiderChannel)->getVolume(&volume);
    EXPECT_FLOAT_EQ(1.0f, volume);
    mManager->SetVolume(spiderChannel, -0.2f);
    channel(spiderChannel)->getVolume(&volume);
    EXPECT_FLOAT_EQ(0.0f, volume);

    mManager->StopSound(birdChannel);
    EXPECT_EQ(-1, birdChannel);
    EXPECT_FALSE(mManager->IsPlaying(firstChannel));
    EXPECT_EQ(nullptr, mManager->getFollowedNode(firstChannel));
    EXPECT_TRUE(mManager->IsPlaying(spiderChannel));

    // A caller that keeps no handle still gets its sound.
    mManager->PlaySound(looped, nullptr, nullptr);
    EXPECT_EQ(2, mManager->getAudioSystem()->getChannelsPlaying());
}

TEST_F(SoundManagerTest, ListenerAndFollowedSoundsGetVelocityOnlyFromElapsedTime)
{
    writeTone(workFolder() + "/media/loop.wav", FileKind::Wav, 0.5);
    start();
    const int looped = mManager->CreateLoopedSound3D("loop.wav");
    Ogre::SceneNode* listener = mEngine->createNode(0, 0, 0);
    Ogre::SceneNode* source = mEngine->createNode(10, 0, 0);
    int channelHandle = -1;
    mManager->PlaySound(looped, source, &channelHandle);
    ASSERT_GE(channelHandle, 0);

    listener->translate(2, 0, 0);
    source->translate(0, 0, 4);
    mManager->UpdateListener(listener, 0.0f);
    AudioVector position;
    AudioVector velocity;
    AudioVector forward;
    AudioVector up;
    mManager->getAudioSystem()->get3DListenerAttributes(0, &position, &velocity, &forward, &up);
    expectVector(position, 2, 0, 0);
    expectVector(velocity, 0, 0, 0);
    channel(channelHandle)->get3DAttributes(&position, &velocity);
    expectVector(position, 10, 0, 4);
    expectVector(velocity, 0, 0, 0);

    // Half a second later, both have moved on; the listener has turned a
    // quarter to the left, so its forward (the node's z axis) is +x now.
    listener->translate(1, 0, 0);
    listener->yaw(Ogre::Degree(90));
    source->translate(0, 0, -2);
    mManager->UpdateListener(listener, 0.5f);
    mManager->getAudioSystem()->get3DListenerAttributes(0, &position, &velocity, &forward, &up);
    expectVector(position, 3, 0, 0);
    expectVector(velocity, 2, 0, 0);
    expectVector(forward, 1, 0, 0);
    expectVector(up, 0, 1, 0);
    channel(channelHandle)->get3DAttributes(&position, &velocity);
    expectVector(position, 10, 0, 2);
    expectVector(velocity, 0, 0, -4);
}

TEST_F(SoundManagerTest, EndedSoundStopsFollowingItsNode)
{
    writeTone(workFolder() + "/media/click.wav", FileKind::Wav, 0.05);
    start();
    const int click = mManager->CreateSound3D("click.wav");
    Ogre::SceneNode* listener = mEngine->createNode(0, 0, 0);
    Ogre::SceneNode* source = mEngine->createNode(1, 0, 0);
    int channelHandle = -1;
    mManager->PlaySound(click, source, &channelHandle);
    ASSERT_EQ(source, mManager->getFollowedNode(channelHandle));

    runFrames(*mManager, listener, 0.4);
    EXPECT_FALSE(mManager->IsPlaying(channelHandle));
    EXPECT_EQ(nullptr, mManager->getFollowedNode(channelHandle));
    // The node may now go with its scene; later frames do not touch it.
    mEngine->sceneManager()->destroySceneNode(source);
    mManager->UpdateListener(listener, 0.016f);
}

TEST(SoundManagerWithoutEngine, MissingGeneralGroupThrowsAndUninitialisedManagerIsQuiet)
{
    SoundManager manager;
    int channelHandle = -1;
    manager.PlaySound(1, nullptr, &channelHandle);
    EXPECT_EQ(-1, channelHandle);
    EXPECT_FALSE(manager.IsPlaying(0));
    manager.UpdateListener(nullptr, 0.1f);
    try {
        manager.CreateSound3D("any.wav");
        FAIL() << "no exception without a \"General\" group";
    } catch (const Ogre::Exception& e) {
        EXPECT_EQ("Cannot locate a resource group called 'General'", e.getDescription());
        EXPECT_EQ("ResourceGroupManager::openResource", e.getSource());
    }
}

} // namespace
