#pragma once

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <memory>

namespace Kelvo {

class CollisionProbe;
class EntityDescription;
class GameWorld;
class TerrainProbe;

// Walks a character of the scene (an enemy, the old man) to a target over
// the terrain: turns its heading towards the target, walks along the heading
// at the speed it is given until it is within its arrival radius, is pushed
// back out of solid scene entities (collision probe; the hero is not one:
// the walk stops at the radius) and keeps its feet on the ground (the
// world's terrain probe). The characters' meshes lie along +Y with +Z up;
// the model correction stands them up, looking along the heading.
//
// Frame rate: the heading closes 1 - e^(-3 dt) of the angle left in a frame
// and the walk is stepped in sixtieths of a second, each step checking the
// arrival, so a character takes the same way and stops at the same place at
// 60 and at 10 frames a second. The collision shift and the ground snap come
// once a frame, at the frame's end.
//
// Owned by the script that walks the character, which sets target and speed
// and calls update() once a frame. Walks the node of the entity's record
// without owning it; the script stops calling update() once the node is
// gone.
class NpcWalker {
public:
    static constexpr float kTurnRate = 3.0f;
    static constexpr float kDefaultRadius = 1.0f;
    static constexpr float kMaxStep = 1.0f / 60.0f;

    // The character stands where and as the scene placed it: its heading is
    // taken from the node's orientation.
    NpcWalker(EntityDescription* description, GameWorld* world);
    ~NpcWalker();

    NpcWalker(const NpcWalker&) = delete;
    NpcWalker& operator=(const NpcWalker&) = delete;

    void setTarget(const Ogre::Vector3& target) { mTarget = target; }
    void setSpeed(float unitsPerSecond) { mSpeed = unitsPerSecond; }
    void setRadius(float radius) { mRadius = radius; }
    // Within the arrival radius of the target now.
    bool arrived() const;
    // The distance to the target the last update measured.
    float distance() const { return mDistance; }
    // How hard a strike at the point lands: 1 for a point straight ahead
    // within the radius, falling off with the angle (nothing behind the
    // character's side) and linearly with the distance to 0 at twice the
    // radius.
    float strikeFactor(const Ogre::Vector3& point) const;
    void update(float dt);

    Ogre::SceneNode* getNode() const { return mNode; }
    Ogre::Vector3 getPosition() const;
    // The way the character looks (y is 0).
    Ogre::Vector3 getForward() const;
    const Ogre::Quaternion& getHeading() const { return mHeading; }
    const Ogre::Vector3& getTarget() const { return mTarget; }
    float getSpeed() const { return mSpeed; }
    float getRadius() const { return mRadius; }

    // A quarter turn back about X after a half turn about Z: a mesh lying
    // along +Y with +Z up stands up looking along +Z.
    static Ogre::Quaternion modelCorrection();

private:
    // The turn about UNIT_Y that looks along the flat direction.
    static Ogre::Quaternion headingAlong(const Ogre::Vector3& flatDirection);
    // Shifts the place back out of what the probe finds solid around it.
    void stepOutOfObstacles(Ogre::Vector3& place);

    Ogre::SceneNode* mNode = nullptr;
    TerrainProbe* mTerrain = nullptr;
    std::unique_ptr<CollisionProbe> mProbe;
    Ogre::Quaternion mHeading = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 mTarget = Ogre::Vector3::ZERO;
    float mSpeed = 0;
    float mRadius = kDefaultRadius;
    float mDistance = 0;
    // The first update always moves, so the character is put on the
    // ground even when it starts at its target.
    bool mForceMove = true;
};

} // namespace Kelvo
