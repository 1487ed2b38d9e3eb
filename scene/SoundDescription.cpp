#include "scene/SoundDescription.h"

#include "SoundManager/SoundManager.h"
#include "scene/SceneObjects.h"
#include "scene/SceneText.h"

#include <Ogre.h>

#include <algorithm>

namespace Kelvo {

namespace {
const float kMarkerRadius = 3.0f;
const char* const kMarkerMaterial = "KELVO/Sound";
} // namespace

const char* const SoundDescription::kDefaultType = "2D_SOUND";

SoundDescription::SoundDescription(const std::string& name)
    : PlacedDescription(name, "")
{
}

SoundDescription::SoundDescription(const std::string& name, const std::string& type, const std::string& file,
                                   Ogre::Real volume, Ogre::Real maxDistance, Ogre::Real minDistance,
                                   const std::string& parent)
    : PlacedDescription(name, parent)
    , mFile(file)
    , mType(type)
    , mVolume(volume)
    , mMinDistance(minDistance)
    , mMaxDistance(maxDistance)
{
}

std::string SoundDescription::toXml() const
{
    using namespace SceneText;
    std::string xml = "\t\t<sound name=\"" + escape(getName()) + "\" type=\"" + escape(mType) + "\" file=\"" +
                      escape(mFile) + "\" volume=\"" + real(mVolume) + "\" maxDistance=\"" + real(mMaxDistance) +
                      "\" minDistance=\"" + real(mMinDistance) + "\" parent=\"" + escape(getParent()) + "\">\n";
    xml += "\t\t\t<position" + xyz(currentPosition()) + " />\n";
    xml += "\t\t</sound>\n";
    return xml;
}

void SoundDescription::realise(Ogre::SceneNode* parentNode)
{
    if (!mObjects) {
        return;
    }
    if (!placeMarkedNode(parentNode, getName() + "_sound_mesh", getName() + "_sound_entity", kMarkerRadius,
                         kMarkerMaterial)) {
        return;
    }

    mSoundManager = mObjects->soundManager();
    if (!mSoundManager) {
        return;
    }
    if (mFile.empty()) {
        // A sound the designer has just made has no file yet: it stays
        // silent until one is chosen, which is no fault of the sound system.
        mSoundHandle = 0;
        Ogre::LogManager::getSingleton().logMessage("Scene: sound '" + getName() +
                                                    "' has no file yet and stays silent");
        return;
    }
    if (mType == "2D_SOUND") {
        mSoundHandle = mSoundManager->CreateSound2D(mFile);
    } else if (mType == "2D_SOUND_LOOPED") {
        mSoundHandle = mSoundManager->CreateLoopedSound2D(mFile);
    } else if (mType == "3D_SOUND") {
        mSoundHandle = mSoundManager->CreateSound3D(mFile);
    } else if (mType == "3D_SOUND_LOOPED") {
        mSoundHandle = mSoundManager->CreateLoopedSound3D(mFile);
    } else {
        SceneObjects::logProblem("Scene: sound '" + getName() + "' has the unknown type '" + mType + "'");
    }
}

void SoundDescription::destroy()
{
    if (!mObjects) {
        return;
    }
    stop();
    destroyMarkedNode(getName() + "_sound_entity");
}

void SoundDescription::play()
{
    if (!mSoundManager || mSoundHandle <= 0) {
        return;
    }
    mSoundManager->PlaySound(mSoundHandle, mNode, &mChannelHandle);
    mSoundManager->Set3DMinMaxDistance(mChannelHandle, mMinDistance, mMaxDistance);
    mSoundManager->SetVolume(mChannelHandle, mVolume);
}

void SoundDescription::stop()
{
    if (!mSoundManager || mSoundHandle <= 0) {
        return;
    }
    mSoundManager->StopSound(mChannelHandle);
}

bool SoundDescription::isPlaying() const
{
    return mSoundManager && mSoundManager->IsPlaying(mChannelHandle);
}

void SoundDescription::setVolume(Ogre::Real volume)
{
    mVolume = std::min<Ogre::Real>(1, std::max<Ogre::Real>(0, volume));
    if (mSoundManager && mSoundHandle > 0) {
        mSoundManager->SetVolume(mChannelHandle, mVolume);
    }
}

void SoundDescription::setMinDistance(Ogre::Real minDistance)
{
    mMinDistance = minDistance;
    if (mSoundManager && mSoundHandle > 0) {
        mSoundManager->Set3DMinMaxDistance(mChannelHandle, mMinDistance, mMaxDistance);
    }
}

void SoundDescription::setMaxDistance(Ogre::Real maxDistance)
{
    mMaxDistance = maxDistance;
    if (mSoundManager && mSoundHandle > 0) {
        mSoundManager->Set3DMinMaxDistance(mChannelHandle, mMinDistance, mMaxDistance);
    }
}

} // namespace Kelvo
