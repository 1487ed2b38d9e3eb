#include "SoundManager/SoundManager.h"

#include "audio/AudioSystem.h"
#include "platform/Log.h"

#include <OgreArchive.h>
#include <OgreException.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

template <> Kelvo::SoundManager* Ogre::Singleton<Kelvo::SoundManager>::msSingleton = nullptr;

namespace Kelvo {

namespace {

// The sound system's set-up.
const float kDopplerScale = 0.5f;
const float kDistanceFactor = 1.0f;
const float kRolloffScale = 0.5f;
const int kFileBlockAlign = 2048;
// Initialisation failures carry this exception number.
const int kInitErrorNumber = 9;

// How each sound type is made: streamed or loaded whole, and with which mode
// bits (3D types roll off linearly; the looped types loop).
struct SoundTypeMode {
    bool stream;
    AudioMode mode;
};

const SoundTypeMode kSoundTypeModes[] = {
    {false, kAudioModeDefault},
    {false, kAudioModeHardware | kAudioMode3D | kAudioMode3DLinearRolloff},
    {false, kAudioModeHardware | kAudioMode3D | kAudioMode3DLinearRolloff | kAudioModeLoopNormal},
    {true, kAudioModeDefault},
    {true, kAudioModeHardware | kAudioMode2D | kAudioModeLoopNormal},
};

AudioVector toAudio(const Ogre::Vector3& v)
{
    AudioVector out;
    out.x = v.x;
    out.y = v.y;
    out.z = v.z;
    return out;
}

// The sound system's file callbacks. The file key of every sound is its
// table entry, which names the file and its archive.
AudioResult openSoundFile(const void* fileKey, std::uint64_t* fileSize, void** handle)
{
    SoundInstance* entry = const_cast<SoundInstance*>(static_cast<const SoundInstance*>(fileKey));
    entry->stream.reset();
    if (entry->archive) {
        try {
            entry->stream = entry->archive->open(entry->fileName, true);
        } catch (const Ogre::Exception&) {
            entry->stream.reset();
        }
    }
    *fileSize = entry->stream ? entry->stream->size() : 0;
    *handle = entry;
    return *fileSize == 0 ? kAudioErrFileNotFound : kAudioOk;
}

AudioResult closeSoundFile(void*)
{
    // The stream stays with its entry until the entry is deleted.
    return kAudioOk;
}

AudioResult readSoundFile(void* handle, void* buffer, std::uint32_t sizeBytes, std::uint32_t* bytesRead)
{
    SoundInstance* entry = static_cast<SoundInstance*>(handle);
    *bytesRead = entry->stream ? static_cast<std::uint32_t>(entry->stream->read(buffer, sizeBytes)) : 0;
    return *bytesRead == 0 ? kAudioErrFileEof : kAudioOk;
}

AudioResult seekSoundFile(void* handle, std::uint64_t position)
{
    SoundInstance* entry = static_cast<SoundInstance*>(handle);
    if (entry->stream) {
        entry->stream->seek(static_cast<std::size_t>(position));
    }
    return kAudioOk;
}

} // namespace

const char* const SoundManager::kResourceGroup = "General";

void SoundInstance::clear()
{
    fileName.clear();
    archive = nullptr;
    stream.reset();
    soundType = 0;
    sound = nullptr;
}

SoundManager::SoundManager()
    : mChannelSlots(kChannelCount)
{
    mSoundInstances.reserve(kInitialTableSize);
    for (std::size_t i = 0; i < kInitialTableSize; ++i) {
        mSoundInstances.emplace_back(new SoundInstance());
    }
}

SoundManager::~SoundManager()
{
    // The sound system goes first, so that nothing of it can reach an entry
    // once the entry is gone. The engine is already shut down here: only the
    // streams are released, nothing asks the engine for anything.
    mSystem.reset();
    mSoundInstances.clear();
}

void SoundManager::Initialize()
{
    if (mSystem) {
        return;
    }
    std::unique_ptr<AudioSystem> system(new AudioSystem());
    auto fail = [](AudioResult result) {
        throw Ogre::Exception(kInitErrorNumber,
                              "FMOD error! (" + Ogre::StringConverter::toString(static_cast<int>(result)) +
                                  "): " + audioErrorString(result),
                              "SoundManager::Initialize");
    };
    AudioResult result = system->init(kChannelCount, kAudioInitNormal);
    if (result != kAudioOk) {
        fail(result);
    }
    system->set3DSettings(kDopplerScale, kDistanceFactor, kRolloffScale);
    AudioFileCallbacks callbacks;
    callbacks.open = openSoundFile;
    callbacks.close = closeSoundFile;
    callbacks.read = readSoundFile;
    callbacks.seek = seekSoundFile;
    result = system->setFileSystem(callbacks, kFileBlockAlign);
    if (result != kAudioOk) {
        fail(result);
    }
    if (system->usesSilentDevice()) {
        logWarning("SoundManager found no sound device: sounds play on a silent device");
    }
    mSystem = std::move(system);
    logLine("SoundManager Initialized");
}

Ogre::Archive* SoundManager::findArchive(const std::string& fileName) const
{
    Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!groups || !groups->resourceGroupExists(kResourceGroup)) {
        OGRE_EXCEPT(Ogre::Exception::ERR_ITEM_NOT_FOUND,
                    std::string("Cannot locate a resource group called '") + kResourceGroup + "'",
                    "ResourceGroupManager::openResource");
    }
    // The group's index names the location added last for a file that
    // several locations hold; searching from the back finds the same one.
    const Ogre::ResourceGroupManager::LocationList& locations = groups->getResourceLocationList(kResourceGroup);
    for (auto location = locations.rbegin(); location != locations.rend(); ++location) {
        if (location->archive && location->archive->exists(fileName)) {
            return location->archive;
        }
    }
    return nullptr;
}

int SoundManager::CreateSound(const std::string& fileName, int soundType)
{
    // Only used entries are searched: an empty one would match a request
    // with an empty name and type 0.
    for (int index = 1; index <= mSoundInstanceCount; ++index) {
        const SoundInstance& entry = *mSoundInstances[static_cast<std::size_t>(index)];
        if (entry.soundType == soundType && entry.fileName == fileName) {
            return index;
        }
    }

    Ogre::Archive* archive = findArchive(fileName);
    if (!archive) {
        logCritical("SoundManager::CreateSound could not find sound '" + fileName + "'");
        return 0;
    }

    IncrementNextSoundInstanceIndex();
    const int index = mSoundInstanceCount;
    SoundInstance& entry = *mSoundInstances[static_cast<std::size_t>(index)];
    entry.fileName = fileName;
    entry.archive = archive;
    entry.soundType = soundType;

    // A failed load gives its entry back, so that the next request for the
    // same file fails again instead of finding an entry with no sound.
    auto giveBack = [this, &entry]() {
        entry.clear();
        --mSoundInstanceCount;
        return 0;
    };

    if (soundType < kSound3D || soundType > kSound2DLooped) {
        logCritical("SoundManager::CreateSound could not load sound '" + fileName + "' (invalid soundType)");
        return giveBack();
    }
    if (!mSystem) {
        logCritical("SoundManager::CreateSound could not load sound '" + fileName + "'  FMOD Error:" +
                    audioErrorString(kAudioErrUninitialized));
        return giveBack();
    }
    const SoundTypeMode& how = kSoundTypeModes[soundType];
    AudioSound* sound = nullptr;
    const AudioResult result = how.stream ? mSystem->createStream(&entry, how.mode, &sound)
                                          : mSystem->createSound(&entry, how.mode, &sound);
    if (result != kAudioOk) {
        logCritical("SoundManager::CreateSound could not load sound '" + fileName + "'  FMOD Error:" +
                    audioErrorString(result));
        return giveBack();
    }
    entry.sound = sound;
    return index;
}

void SoundManager::IncrementNextSoundInstanceIndex()
{
    ++mSoundInstanceCount;
    if (static_cast<std::size_t>(mSoundInstanceCount) < mSoundInstances.size()) {
        return;
    }
    const std::size_t newSize = mSoundInstances.size() + kTableGrowth;
    logLine("SoundManager::IncrementNextSoundInstanceIndex increasing size of soundInstanceVector to " +
            Ogre::StringConverter::toString(newSize));
    // The table holds pointers, so the entries themselves never move: the
    // sound system keeps the address of each as its file key.
    while (mSoundInstances.size() < newSize) {
        mSoundInstances.emplace_back(new SoundInstance());
    }
}

const SoundInstance* SoundManager::getSoundInstance(int soundHandle) const
{
    if (soundHandle <= 0 || soundHandle > mSoundInstanceCount) {
        return nullptr;
    }
    return mSoundInstances[static_cast<std::size_t>(soundHandle)].get();
}

SoundChannelSlot* SoundManager::slotFor(int channelHandle)
{
    if (channelHandle < 0 || channelHandle >= kChannelCount) {
        return nullptr;
    }
    return &mChannelSlots[static_cast<std::size_t>(channelHandle)];
}

Ogre::SceneNode* SoundManager::getFollowedNode(int channelHandle) const
{
    if (channelHandle < 0 || channelHandle >= kChannelCount) {
        return nullptr;
    }
    return mChannelSlots[static_cast<std::size_t>(channelHandle)].node;
}

int SoundManager::playingChannelCount() const
{
    return mSystem ? mSystem->getChannelsPlaying() : 0;
}

void SoundManager::PlaySound(int soundHandle, Ogre::SceneNode* node, int* channelHandle)
{
    const SoundInstance* entry = getSoundInstance(soundHandle);
    if (!mSystem || !entry || !entry->sound) {
        return;
    }

    const int current = channelHandle ? *channelHandle : kNoChannel;
    if (current != kNoChannel) {
        SoundChannelSlot* slot = slotFor(current);
        AudioChannel* channel = nullptr;
        bool playing = false;
        if (slot && slot->node && mSystem->getChannel(current, &channel) == kAudioOk &&
            channel->isPlaying(&playing) == kAudioOk && playing && slot->node == node) {
            return;
        }
    }

    AudioChannel* channel = nullptr;
    const AudioResult result = mSystem->playSound(AudioSystem::kFreeChannel, entry->sound, true, &channel);
    if (result != kAudioOk) {
        logWarning(std::string("SoundManager::PlaySound could not play sound  FMOD Error:") + audioErrorString(result));
        if (channelHandle) {
            *channelHandle = kNoChannel;
        }
        return;
    }

    const int index = channel->getIndex();
    SoundChannelSlot& slot = mChannelSlots[static_cast<std::size_t>(index)];
    slot.node = node;
    if (node) {
        slot.lastPosition = node->_getDerivedPosition();
        const AudioVector position = toAudio(slot.lastPosition);
        channel->set3DAttributes(&position, nullptr);
    }
    channel->setVolume(1.0f);
    channel->setPaused(false);
    if (channelHandle) {
        *channelHandle = index;
    }
}

void SoundManager::StopSound(int& channelHandle)
{
    if (channelHandle == kNoChannel) {
        return;
    }
    AudioChannel* channel = nullptr;
    if (mSystem && mSystem->getChannel(channelHandle, &channel) == kAudioOk) {
        channel->stop();
    }
    if (SoundChannelSlot* slot = slotFor(channelHandle)) {
        slot->node = nullptr;
    }
    channelHandle = kNoChannel;
}

void SoundManager::Set3DMinMaxDistance(int channelHandle, float minDistance, float maxDistance)
{
    AudioChannel* channel = nullptr;
    if (channelHandle == kNoChannel || !mSystem || mSystem->getChannel(channelHandle, &channel) != kAudioOk) {
        return;
    }
    channel->set3DMinMaxDistance(minDistance, maxDistance);
}

void SoundManager::SetVolume(int channelHandle, float volume)
{
    AudioChannel* channel = nullptr;
    if (!mSystem || mSystem->getChannel(channelHandle, &channel) != kAudioOk) {
        return;
    }
    channel->setVolume(volume);
}

bool SoundManager::IsPlaying(int channelHandle)
{
    AudioChannel* channel = nullptr;
    bool playing = false;
    if (!mSystem || mSystem->getChannel(channelHandle, &channel) != kAudioOk) {
        return false;
    }
    channel->isPlaying(&playing);
    return playing;
}

void SoundManager::Update()
{
    if (mSystem) {
        mSystem->update();
    }
}

void SoundManager::UpdateListener(Ogre::SceneNode* listenerNode, float elapsedSeconds)
{
    if (!mSystem || !listenerNode) {
        return;
    }
    const Ogre::Vector3 position = listenerNode->_getDerivedPosition();
    const Ogre::Vector3 velocity =
        elapsedSeconds > 0.0f ? (position - mLastListenerPosition) / elapsedSeconds : Ogre::Vector3::ZERO;
    const Ogre::Quaternion orientation = listenerNode->_getDerivedOrientation();
    const AudioVector audioPosition = toAudio(position);
    const AudioVector audioVelocity = toAudio(velocity);
    const AudioVector forward = toAudio(orientation.zAxis().normalisedCopy());
    const AudioVector up = toAudio(orientation.yAxis().normalisedCopy());
    mSystem->set3DListenerAttributes(0, &audioPosition, &audioVelocity, &forward, &up);
    mLastListenerPosition = position;

    for (int index = 0; index < kChannelCount; ++index) {
        SoundChannelSlot& slot = mChannelSlots[static_cast<std::size_t>(index)];
        if (!slot.node) {
            continue;
        }
        AudioChannel* channel = nullptr;
        bool playing = false;
        if (mSystem->getChannel(index, &channel) != kAudioOk || channel->isPlaying(&playing) != kAudioOk ||
            !playing) {
            // The sound has ended: its node may be gone with its scene by
            // now, so it is not looked at again.
            slot.node = nullptr;
            continue;
        }
        const Ogre::Vector3 nodePosition = slot.node->_getDerivedPosition();
        const Ogre::Vector3 nodeVelocity =
            elapsedSeconds > 0.0f ? (nodePosition - slot.lastPosition) / elapsedSeconds : Ogre::Vector3::ZERO;
        const AudioVector channelPosition = toAudio(nodePosition);
        const AudioVector channelVelocity = toAudio(nodeVelocity);
        channel->set3DAttributes(&channelPosition, &channelVelocity);
        slot.lastPosition = nodePosition;
    }
}

} // namespace Kelvo
