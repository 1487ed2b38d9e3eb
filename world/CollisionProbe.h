#pragma once

#include <OgreAxisAlignedBox.h>
#include <OgrePrerequisites.h>
#include <OgreRay.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

class SceneLoader;

// Measures how far a character could move along +X, -X, +Z and -Z before its
// box meets a solid entity of the loaded scene. The player script probes at
// the candidate position each frame and pushes the hero back by any gap that
// came out zero or negative; the enemy walker does the same. Only entities the
// scene loader created from the scene file block: projectiles, the sky dome
// and the character's own entity never do. Owns its ray query, which it gives
// back to the scene manager it came from: the probe may be deleted while its
// node is being destroyed (the hero's script hears its node go), so the
// destructor never touches the node. The node is the script's.
class CollisionProbe {
public:
    // Reported when nothing blocks a direction.
    static constexpr float kNothingInReach = 4000000000.0f;
    // Rays start this far behind the box centre, so an obstacle touching the
    // box side is still in front of the ray's origin.
    static constexpr float kRayBackOffset = 2.0f;
    // Query mask of the blocking scene entities.
    static constexpr Ogre::uint32 kSolidMask = 8;

    // The loader tells which entities came from the scene file; without one
    // nothing blocks.
    CollisionProbe(Ogre::SceneNode* node, SceneLoader* sceneLoader);
    ~CollisionProbe();

    CollisionProbe(const CollisionProbe&) = delete;
    CollisionProbe& operator=(const CollisionProbe&) = delete;

    // Recomputes the four free gaps as if the node stood at the position.
    // Without an attached object the previous gaps stay.
    void probe(const Ogre::Vector3& position);
    // Distance along the ray to the first blocking entity, or kNothingInReach.
    float castRay(const Ogre::Vector3& origin, const Ogre::Vector3& direction);
    // One more entity that never blocks, as the node's own never does.
    void passThrough(const std::string& entityName) { mPassThroughName = entityName; }

    float getDistancePositiveX() const { return mPositiveX; }
    float getDistancePositiveZ() const { return mPositiveZ; }
    float getDistanceNegativeX() const { return mNegativeX; }
    float getDistanceNegativeZ() const { return mNegativeZ; }
    const std::string& getNearestName() const { return mNearestName; }
    float getNearestDistance() const { return mNearestDistance; }

private:
    // A hit at distance 0 (ray starting inside a box) counts as free; a real
    // hit leaves the gap between the box side and the obstacle.
    float freeGap(float hitDistance, float halfExtent) const;

    Ogre::SceneNode* mNode;
    Ogre::SceneManager* mSceneManager;
    SceneLoader* mSceneLoader;
    std::string mNodeName;
    std::string mPassThroughName;
    Ogre::Ray mRay;
    Ogre::RaySceneQuery* mQuery = nullptr;
    Ogre::AxisAlignedBox mBox;
    float mPositiveX = kNothingInReach;
    float mPositiveZ = kNothingInReach;
    float mNegativeX = kNothingInReach;
    float mNegativeZ = kNothingInReach;
    std::string mNearestName;
    float mNearestDistance = kNothingInReach;
};

} // namespace Kelvo
