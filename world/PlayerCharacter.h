#pragma once

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Kelvo {

class PlayerMesh;

// The hero as every script sees it: where it stands, which way it faces and
// how much health it has left. Moving it moves the body node that carries the
// hero's entity node, so the camera and the collision probe follow. Owned by
// the GameWorld; the player script steers it, enemies damage it, the camera
// and trigger scripts read it.
class PlayerCharacter {
public:
    static constexpr float kFullHealth = 100.0f;

    // Without a player scene object the hero stands at the origin, unturned,
    // and moving it changes only the stored values.
    explicit PlayerCharacter(PlayerMesh* mesh);

    Ogre::Vector3 getPosition() const { return mPosition; }
    Ogre::Quaternion getOrientation() const { return mOrientation; }
    void setPosition(const Ogre::Vector3& position);
    void setOrientation(const Ogre::Quaternion& orientation);

    const Ogre::Vector3& getFacing() const { return mFacing; }
    void setFacing(const Ogre::Vector3& facing) { mFacing = facing; }

    float getHealth() const { return mHealth; }
    // Health never drops below 0: the GUI bar and the game-over test read 0.
    void damage(float amount);

    Ogre::Entity* getEntity() const { return mEntity; }
    PlayerMesh* getMesh() const { return mMesh; }

private:
    // The node carrying the hero: the parent of the entity's own node.
    Ogre::SceneNode* bodyNode() const;

    Ogre::Vector3 mFacing = Ogre::Vector3::UNIT_X;
    Ogre::Entity* mEntity = nullptr;
    PlayerMesh* mMesh;
    float mHealth = kFullHealth;
    Ogre::Vector3 mPosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion mOrientation = Ogre::Quaternion::IDENTITY;
};

} // namespace Kelvo
