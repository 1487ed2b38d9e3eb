#include "world/PlayerCharacter.h"

#include "world/PlayerMesh.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>

namespace Kelvo {

PlayerCharacter::PlayerCharacter(PlayerMesh* mesh)
    : mMesh(mesh)
{
    mEntity = mesh ? mesh->getEntity() : nullptr;
    if (!mEntity || !mEntity->getParentSceneNode()) {
        return;
    }
    mPosition = mEntity->getParentSceneNode()->getPosition();
    if (Ogre::SceneNode* body = bodyNode()) {
        mOrientation = body->getOrientation();
    }
}

Ogre::SceneNode* PlayerCharacter::bodyNode() const
{
    if (!mEntity || !mEntity->getParentSceneNode()) {
        return nullptr;
    }
    return mEntity->getParentSceneNode()->getParentSceneNode();
}

void PlayerCharacter::setPosition(const Ogre::Vector3& position)
{
    mPosition = position;
    if (Ogre::SceneNode* body = bodyNode()) {
        body->setPosition(position);
    }
}

void PlayerCharacter::setOrientation(const Ogre::Quaternion& orientation)
{
    mOrientation = orientation;
    if (Ogre::SceneNode* body = bodyNode()) {
        body->setOrientation(orientation);
    }
}

void PlayerCharacter::damage(float amount)
{
    mHealth -= amount;
    if (mHealth < 0) {
        mHealth = 0;
    }
}

} // namespace Kelvo
