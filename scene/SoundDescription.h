#pragma once

#include "scene/PlacedDescription.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

class SoundManager;

// A sound source of the scene: the <sound> element. Holds the sound manager's
// handles (both -1 in a new record): the sound is loaded when the record is
// realised, through the sound manager the loader was handed, and plays on a
// channel when asked. 3D sounds follow the node.
class SoundDescription : public PlacedDescription {
public:
    static const char* const kDefaultType;

    explicit SoundDescription(const std::string& name);
    SoundDescription(const std::string& name, const std::string& type, const std::string& file, Ogre::Real volume,
                     Ogre::Real maxDistance, Ogre::Real minDistance, const std::string& parent);

    std::string getTypeName() const override { return "Sound"; }
    std::string toXml() const override;

    // Makes the marker and node under the given parent node (when null, the
    // node it was placed under) and loads the sound through the sound manager.
    void realise(Ogre::SceneNode* parentNode);
    void destroy();

    void play();
    void stop();
    bool isPlaying() const;

    const std::string& getFile() const { return mFile; }
    const std::string& getType() const { return mType; }
    Ogre::Real getVolume() const { return mVolume; }
    Ogre::Real getMinDistance() const { return mMinDistance; }
    Ogre::Real getMaxDistance() const { return mMaxDistance; }
    int getSoundHandle() const { return mSoundHandle; }
    int getChannelHandle() const { return mChannelHandle; }

    void setFile(const std::string& file) { mFile = file; }
    void setType(const std::string& type) { mType = type; }
    // Clamped to 0..1, applied to a playing channel at once.
    void setVolume(Ogre::Real volume);
    void setMinDistance(Ogre::Real minDistance);
    void setMaxDistance(Ogre::Real maxDistance);

private:
    // The manager that made the handles; none until the record is realised.
    SoundManager* mSoundManager = nullptr;
    std::string mFile;
    std::string mType = kDefaultType;
    int mChannelHandle = -1;
    int mSoundHandle = -1;
    Ogre::Real mVolume = 1;
    Ogre::Real mMinDistance = 1;
    Ogre::Real mMaxDistance = 100;
};

} // namespace Kelvo
