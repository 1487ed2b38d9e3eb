#pragma once

#include <OgreDataStream.h>
#include <OgreSingleton.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre {
class Archive;
class SceneNode;
}

namespace Kelvo {

class AudioSound;
class AudioSystem;

// One loaded sound file, an entry of the sound manager's table. The sound
// system is handed the entry itself as the sound's file, so the file
// callbacks find the archive and keep the open stream here.
struct SoundInstance {
    std::string fileName;
    Ogre::Archive* archive = nullptr;
    Ogre::DataStreamPtr stream;
    // One of SoundManager::SoundType; 0 while the entry is empty.
    int soundType = 0;
    AudioSound* sound = nullptr;

    void clear();
};

// What one channel's sound follows: the node (null when nothing) and where
// it was at the last update, for the velocity.
struct SoundChannelSlot {
    Ogre::SceneNode* node = nullptr;
    Ogre::Vector3 lastPosition = Ogre::Vector3::ZERO;
};

// The single owner of sound output. Loads sound files from the engine's
// "General" resource group and hands out small integer handles: a sound
// handle per loaded file and type (an index into the sound table, 0 = none)
// and a channel handle per playing sound (0 to 249, -1 = none). 3D sounds
// can follow a scene node. Created by the entry point, initialised right
// after the engine is up; the scene records play, stop and tune sounds
// through it. A state with a listener (play, the editor) calls
// UpdateListener once per frame, which moves the listener and the followed
// sounds; the state manager calls Update once every frame whatever the
// state, after the state's own frame, so streamed sounds (the menu's and the
// credits' music too) are refilled and never starve.
// Sounds are never freed before shut-down; loading the same file with the
// same type again gives the same handle.
class SoundManager : public Ogre::Singleton<SoundManager> {
public:
    enum SoundType {
        kSound3D = 1,
        kSound3DLooped = 2,
        kSound2D = 3,
        kSound2DLooped = 4,
    };

    static constexpr int kChannelCount = 250;
    static constexpr std::size_t kInitialTableSize = 100;
    static constexpr std::size_t kTableGrowth = 20;
    static constexpr int kNoChannel = -1;
    static const char* const kResourceGroup;

    SoundManager();
    ~SoundManager();

    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Starts the sound system; throws an Ogre::Exception when it cannot.
    // Without a sound device the game goes on with a silent one.
    void Initialize();

    // Returns the sound handle, or 0 when the file cannot be found or loaded
    // (logged). 3D types are loaded whole, 2D types are streamed.
    int CreateSound(const std::string& fileName, int soundType);
    int CreateSound2D(const std::string& fileName) { return CreateSound(fileName, kSound2D); }
    int CreateLoopedSound2D(const std::string& fileName) { return CreateSound(fileName, kSound2DLooped); }
    int CreateSound3D(const std::string& fileName) { return CreateSound(fileName, kSound3D); }
    int CreateLoopedSound3D(const std::string& fileName) { return CreateSound(fileName, kSound3DLooped); }

    // Starts the sound, following node when one is given, and returns its
    // channel through channelHandle (-1 when it could not play). A sound
    // that still plays for the same node on that channel is left alone.
    void PlaySound(int soundHandle, Ogre::SceneNode* node, int* channelHandle);
    void StopSound(int& channelHandle);
    void Set3DMinMaxDistance(int channelHandle, float minDistance, float maxDistance);
    void SetVolume(int channelHandle, float volume);
    bool IsPlaying(int channelHandle);

    // Once per frame in states with a listener: moves the listener to the
    // node and every followed sound to its node.
    void UpdateListener(Ogre::SceneNode* listenerNode, float elapsedSeconds);
    // Once every frame: lets the sound system mix and refill the streams.
    void Update();

    // For tests, tools and the editor's lists.
    AudioSystem* getAudioSystem() const { return mSystem.get(); }
    int getSoundCount() const { return mSoundInstanceCount; }
    std::size_t getSoundTableSize() const { return mSoundInstances.size(); }
    const SoundInstance* getSoundInstance(int soundHandle) const;
    Ogre::SceneNode* getFollowedNode(int channelHandle) const;
    // The number of channels playing now.
    int playingChannelCount() const;

private:
    void IncrementNextSoundInstanceIndex();
    Ogre::Archive* findArchive(const std::string& fileName) const;
    SoundChannelSlot* slotFor(int channelHandle);

    std::unique_ptr<AudioSystem> mSystem;
    Ogre::Vector3 mLastListenerPosition = Ogre::Vector3::ZERO;
    std::vector<std::unique_ptr<SoundInstance>> mSoundInstances;
    int mSoundInstanceCount = 0;
    std::vector<SoundChannelSlot> mChannelSlots;
};

} // namespace Kelvo
