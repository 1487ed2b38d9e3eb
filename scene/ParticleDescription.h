#pragma once

#include "scene/PlacedDescription.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

// A particle system made from a template: the <particle> element. Its
// "scale" is no geometric scale: x is the default particle width, y the
// default particle height and z the speed factor.
class ParticleDescription : public PlacedDescription {
public:
    ParticleDescription(const std::string& name, const std::string& file, const std::string& parent);

    std::string getTypeName() const override { return "Particle"; }
    std::string toXml() const override;

    // Makes the marker, the node under the given parent (when null, the node
    // it was placed under) and the system.
    // A missing template leaves the marker without a system, with a log line.
    void realise(Ogre::SceneNode* parentNode);
    void destroy();

    const std::string& getFile() const { return mFile; }
    const Ogre::Vector3& getScale() const { return mScale; }
    Ogre::ParticleSystem* getParticleSystem() const { return mSystem; }

    void setScale(const Ogre::Vector3& scale);
    void setFile(const std::string& file) { mFile = file; }

private:
    void applyScale();

    Ogre::ParticleSystem* mSystem = nullptr;
    Ogre::Vector3 mScale = Ogre::Vector3::UNIT_SCALE;
    std::string mFile;
};

} // namespace Kelvo
