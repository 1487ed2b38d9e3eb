#include "scripts/BirdScript.h"

#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "world/AnimationMixer.h"

#include <Ogre.h>

#include <cmath>

namespace Kelvo {

namespace {

const char* const kFlyingAnimation = "flying";

} // namespace

BirdScript::BirdScript(GameWorld* world, ScriptManager* scripts, EntityDescription* description)
    : ScriptAtom(world, scripts)
    , mName("Bird_" + description->getName())
    , mDescription(description)
{
    // Node animations of the whole world (the cut-scenes' flights) read
    // smoother without spline overshoot on the birds' keyframes.
    Ogre::Animation::setDefaultInterpolationMode(Ogre::Animation::IM_LINEAR);
    Ogre::Animation::setDefaultRotationInterpolationMode(Ogre::Animation::RIM_LINEAR);

    if (Ogre::Entity* entity = description->getEntity()) {
        mMixer = std::make_unique<AnimationMixer>(entity);
        if (entity->hasSkeleton() && entity->getSkeleton()->hasAnimation(kFlyingAnimation)) {
            mMixer->start(kFlyingAnimation);
        } else {
            logLine("BirdScript: '" + description->getName() +
                    "' has no animation '" + kFlyingAnimation + "'");
        }
        mNode = entity->getParentSceneNode();
    }
    if (mNode) {
        mCentre = mNode->getPosition();
    }
}

BirdScript::~BirdScript() = default;

void BirdScript::update(Ogre::FrameEvent event)
{
    const float dt = event.timeSinceLastFrame;
    // The angle is kept in radians but wraps at 360, as the birds always
    // have: after about ten minutes a bird skips to another point of its
    // circle, which nobody watching it fly notices.
    mAngle += dt * kAngularSpeed;
    if (mAngle > 360.0f) {
        mAngle = 0.0f;
    }
    if (mNode) {
        mNode->setPosition(std::cos(mAngle) * mRadius + mCentre.x, mCentre.y,
                           std::sin(mAngle) * mRadius + mCentre.z);
    }
    if (mMixer) {
        mMixer->advance(dt);
    }
}

} // namespace Kelvo
