#include "world/NpcWalker.h"

#include "scene/EntityDescription.h"
#include "world/CollisionProbe.h"
#include "world/GameWorld.h"
#include "world/PlayerCharacter.h"
#include "world/TerrainProbe.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

namespace Kelvo {

NpcWalker::NpcWalker(EntityDescription* description, GameWorld* world)
    : mNode(description ? description->getSceneNode() : nullptr)
    , mTerrain(world->getTerrainProbe())
{
    if (!mNode) {
        return;
    }
    mProbe.reset(new CollisionProbe(mNode, world->getSceneLoader()));
    // The characters walk up to the hero and stop at their radius by
    // themselves. His box, made large enough for his arms' swings, would
    // hold them farther off than their reach along the axes the probe
    // looks along.
    const PlayerCharacter* hero = world->getPlayer();
    if (hero && hero->getEntity()) {
        mProbe->passThrough(hero->getEntity()->getName());
    }
    // Where the scene turned the character, without the standing up.
    Ogre::Vector3 looking = mNode->_getDerivedOrientation() * modelCorrection().Inverse() * Ogre::Vector3::UNIT_Z;
    looking.y = 0;
    if (!looking.isZeroLength()) {
        mHeading = headingAlong(looking.normalisedCopy());
    }
    mTarget = getPosition();
}

// The probe gives its query back to the scene manager it came from.
NpcWalker::~NpcWalker() = default;

Ogre::Quaternion NpcWalker::modelCorrection()
{
    return Ogre::Quaternion(Ogre::Degree(-90), Ogre::Vector3::UNIT_X) *
           Ogre::Quaternion(Ogre::Degree(180), Ogre::Vector3::UNIT_Z);
}

Ogre::Quaternion NpcWalker::headingAlong(const Ogre::Vector3& flatDirection)
{
    return Ogre::Quaternion(Ogre::Radian(std::atan2(flatDirection.x, flatDirection.z)), Ogre::Vector3::UNIT_Y);
}

Ogre::Vector3 NpcWalker::getPosition() const
{
    return mNode ? mNode->_getDerivedPosition() : Ogre::Vector3::ZERO;
}

Ogre::Vector3 NpcWalker::getForward() const
{
    Ogre::Vector3 forward = mHeading * Ogre::Vector3::UNIT_Z;
    forward.y = 0;
    return forward.isZeroLength() ? Ogre::Vector3::UNIT_Z : forward.normalisedCopy();
}

bool NpcWalker::arrived() const
{
    return mNode && getPosition().distance(mTarget) <= mRadius;
}

float NpcWalker::strikeFactor(const Ogre::Vector3& point) const
{
    if (!mNode) {
        return 0;
    }
    const Ogre::Vector3 to = point - getPosition();
    const float distance = to.length();
    const Ogre::Vector3 forward = getForward();
    const Ogre::Vector3 direction = distance > 0 ? to / distance : forward;
    float fallOff = 1;
    if (distance >= 2 * mRadius) {
        fallOff = 0;
    } else if (distance > mRadius) {
        fallOff = (2 * mRadius - distance) / mRadius;
    }
    return std::max(0.0f, forward.dotProduct(direction)) * fallOff;
}

void NpcWalker::update(float dt)
{
    if (!mNode) {
        return;
    }
    const int steps = std::max(1, static_cast<int>(std::ceil(dt / kMaxStep - 1e-3f)));
    const float step = dt / static_cast<float>(steps);
    const float turnShare = 1.0f - std::exp(-kTurnRate * step);

    Ogre::Vector3 place = getPosition();
    bool moved = false;
    for (int i = 0; i < steps; ++i) {
        Ogre::Vector3 to = mTarget - place;
        mDistance = to.length();
        to.y = 0;
        if (!to.isZeroLength()) {
            mHeading = Ogre::Quaternion::Slerp(turnShare, mHeading, headingAlong(to.normalisedCopy()), true);
            mHeading.normalise();
        }
        if (mDistance <= mRadius && !mForceMove) {
            continue;
        }
        place += getForward() * (mSpeed * step);
        mForceMove = false;
        moved = true;
    }
    mNode->_setDerivedOrientation(mHeading * modelCorrection());
    if (!moved) {
        return;
    }
    stepOutOfObstacles(place);
    Ogre::Vector3 ground;
    if (mTerrain && mTerrain->pointBelow(place, ground)) {
        place = ground;
    }
    mNode->_setDerivedPosition(place);
}

void NpcWalker::stepOutOfObstacles(Ogre::Vector3& place)
{
    if (!mProbe) {
        return;
    }
    mProbe->probe(place);
    if (mProbe->getDistancePositiveX() <= 0) {
        place.x += mProbe->getDistancePositiveX();
    }
    if (mProbe->getDistanceNegativeX() <= 0) {
        place.x -= mProbe->getDistanceNegativeX();
    }
    if (mProbe->getDistancePositiveZ() <= 0) {
        place.z += mProbe->getDistancePositiveZ();
    }
    if (mProbe->getDistanceNegativeZ() <= 0) {
        place.z -= mProbe->getDistanceNegativeZ();
    }
}

} // namespace Kelvo
