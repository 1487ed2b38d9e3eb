#pragma once

#include "scene/XMLDescription.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

// A particle system made from a template: the <particle> element. Its
// "scale" is no geometric scale: x is the default particle width, y the
// default particle height and z the speed factor.
class ParticleDescription : public XMLDescription {
public:
    ParticleDescription(const std::string& name, const std::string& file, const std::string& parent);

    std::string getTypeName() const override { return "Particle"; }
    std::string toXml() const override;
    int getRootIndex() const override { return mRootIndex; }
    bool isInRoot(int rootIndex) const override { return mRootIndex == rootIndex; }
    void setRootIndex(int rootIndex) override { mRootIndex = rootIndex; }

    // Makes the marker, the node under the given parent and the system.
    // A missing template leaves the marker without a system, with a log line.
    void realise(Ogre::SceneNode* parentNode);
    void destroy();

    const std::string& getName() const { return mName; }
    const std::string& getFile() const { return mFile; }
    const std::string& getParent() const { return mParent; }
    const Ogre::Vector3& getPosition() const { return mPosition; }
    Ogre::Vector3 currentPosition() const;
    const Ogre::Vector3& getScale() const { return mScale; }
    Ogre::ParticleSystem* getParticleSystem() const { return mSystem; }
    Ogre::SceneNode* getSceneNode() const { return mNode; }
    Ogre::Entity* getMarker() const { return mMarker; }

    void setPosition(const Ogre::Vector3& position);
    void setScale(const Ogre::Vector3& scale);
    void setParent(const std::string& parent) { mParent = parent; }
    void setFile(const std::string& file) { mFile = file; }

private:
    void applyScale();

    int mRootIndex = 0;
    std::string mParent;
    Ogre::ParticleSystem* mSystem = nullptr;
    Ogre::SceneNode* mNode = nullptr;
    Ogre::Vector3 mPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 mScale = Ogre::Vector3::UNIT_SCALE;
    std::string mFile;
    std::string mName;
    Ogre::Entity* mMarker = nullptr;
};

} // namespace Kelvo
