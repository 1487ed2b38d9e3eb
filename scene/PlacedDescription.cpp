#include "scene/PlacedDescription.h"

#include "scene/SceneObjects.h"

#include <OgreSceneNode.h>

namespace Kelvo {

Ogre::Vector3 PlacedDescription::currentPosition() const
{
    return mNode ? mNode->getPosition() : mPosition;
}

void PlacedDescription::setPosition(const Ogre::Vector3& position)
{
    mPosition = position;
    if (mNode) {
        mNode->setPosition(position);
    }
}

Ogre::SceneManager* PlacedDescription::sceneManager() const
{
    return mObjects ? mObjects->sceneManager() : nullptr;
}

Ogre::SceneNode* PlacedDescription::chooseParentNode(Ogre::SceneNode* given)
{
    if (given) {
        mParentNode = given;
    }
    return mParentNode;
}

void PlacedDescription::destroyNode()
{
    if (!mNode) {
        return;
    }
    mPosition = mNode->getPosition();
    if (mObjects) {
        mObjects->destroyNode(mNode);
    }
    mNode = nullptr;
}

} // namespace Kelvo
