#include "world/CollisionProbe.h"

#include "scene/SceneLoader.h"

#include <OgreMovableObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSceneQuery.h>

namespace Kelvo {

CollisionProbe::CollisionProbe(Ogre::SceneNode* node, SceneLoader* sceneLoader)
    : mNode(node)
    , mSceneManager(node ? node->getCreator() : nullptr)
    , mSceneLoader(sceneLoader)
    , mNodeName(node ? node->getName() : std::string())
    , mRay(Ogre::Vector3::ZERO, Ogre::Vector3::NEGATIVE_UNIT_Y)
{
    if (mSceneManager) {
        mQuery = mSceneManager->createRayQuery(mRay, ~Ogre::uint32(0));
        // Only entities of the scene file block: following each ray across
        // the terrain as well found nothing that counts and took most of
        // the enemies' share of a frame.
        mQuery->setQueryTypeMask(Ogre::SceneManager::ENTITY_TYPE_MASK);
    }
}

CollisionProbe::~CollisionProbe()
{
    if (mQuery) {
        mSceneManager->destroyQuery(mQuery);
    }
}

float CollisionProbe::castRay(const Ogre::Vector3& origin, const Ogre::Vector3& direction)
{
    if (!mQuery || !mSceneLoader) {
        return kNothingInReach;
    }
    mRay.setDirection(direction);
    mRay.setOrigin(origin);
    mQuery->setRay(mRay);
    mQuery->setSortByDistance(true, 0);
    mQuery->setQueryMask(kSolidMask);

    for (const Ogre::RaySceneQueryResultEntry& result : mQuery->execute()) {
        if (!result.movable) {
            continue;
        }
        const std::string& name = result.movable->getName();
        if (name == mNodeName || (!mPassThroughName.empty() && name == mPassThroughName) ||
            !mSceneLoader->findEntity(name)) {
            continue;
        }
        if (result.distance < mNearestDistance) {
            mNearestName = name;
            mNearestDistance = result.distance;
        }
        return result.distance;
    }
    return kNothingInReach;
}

float CollisionProbe::freeGap(float hitDistance, float halfExtent) const
{
    // The sentinel passes through untouched: subtracting from it would turn
    // "nothing there" into a large but ordinary distance.
    if (hitDistance == 0 || hitDistance >= kNothingInReach) {
        return kNothingInReach;
    }
    return hitDistance - (halfExtent + kRayBackOffset);
}

void CollisionProbe::probe(const Ogre::Vector3& position)
{
    mNearestName.clear();
    mNearestDistance = kNothingInReach;
    if (!mNode || mNode->numAttachedObjects() == 0) {
        return;
    }
    mBox = mNode->getAttachedObject(0)->getBoundingBox();
    // An empty or endless box has no sides to measure from.
    if (!mBox.isFinite()) {
        return;
    }
    const Ogre::Vector3 scale = mNode->getScale();
    const Ogre::Vector3 centre = mBox.getCenter() * scale;
    const Ogre::Vector3 half = (mBox.getMaximum() - mBox.getMinimum()) * scale * 0.5f;

    const float hitPositiveX =
        castRay(position + Ogre::Vector3(centre.x - kRayBackOffset, half.y, centre.z), Ogre::Vector3::UNIT_X);
    const float hitNegativeX =
        castRay(position + Ogre::Vector3(centre.x + kRayBackOffset, half.y, centre.z), Ogre::Vector3::NEGATIVE_UNIT_X);
    const float hitPositiveZ =
        castRay(position + Ogre::Vector3(centre.x, half.y, centre.z - kRayBackOffset), Ogre::Vector3::UNIT_Z);
    const float hitNegativeZ =
        castRay(position + Ogre::Vector3(centre.x, half.y, centre.z + kRayBackOffset), Ogre::Vector3::NEGATIVE_UNIT_Z);

    mPositiveX = freeGap(hitPositiveX, half.x);
    mNegativeX = freeGap(hitNegativeX, half.x);
    mPositiveZ = freeGap(hitPositiveZ, half.z);
    mNegativeZ = freeGap(hitNegativeZ, half.z);
}

} // namespace Kelvo
