#pragma once

#include "world/ScriptAtom.h"

#include <OgreVector.h>

#include <memory>
#include <string>

namespace Kelvo {

class AnimationMixer;
class EntityDescription;

// A bird of the scene (entity type "Bird") flying circles of radius 100
// around the place the level put it, flapping all the way. The play state
// makes one per bird after the other scripts; they run last.
class BirdScript : public ScriptAtom {
public:
    static constexpr float kAngularSpeed = 0.6f;  // radians per second: a circle every 10.5 s
    static constexpr float kRadius = 100.0f;
    static constexpr float kStartAngle = 90.0f;

    BirdScript(GameWorld* world, ScriptManager* scripts, EntityDescription* description);
    ~BirdScript() override;

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return mName; }

    float getAngle() const { return mAngle; }
    const Ogre::Vector3& getCentre() const { return mCentre; }

private:
    std::unique_ptr<AnimationMixer> mMixer;
    std::string mName;
    EntityDescription* mDescription;
    Ogre::SceneNode* mNode = nullptr;
    float mAngle = kStartAngle;
    float mRadius = kRadius;
    Ogre::Vector3 mCentre = Ogre::Vector3::ZERO;
};

} // namespace Kelvo
