#include "scene/PlacedDescription.h"

#include "scene/SceneObjects.h"

#include <OgreEntity.h>
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

bool PlacedDescription::placeMarkedNode(Ogre::SceneNode* parentNode, const std::string& markerMesh,
                                        const std::string& markerEntity, float radius, const std::string& material)
{
    mMarker = mObjects->makeMarker(markerMesh, markerEntity, radius, material);
    mNode = mObjects->placeNode(getName(), chooseParentNode(parentNode));
    if (!mNode) {
        return false;
    }
    if (mMarker) {
        mNode->attachObject(mMarker);
    }
    mNode->setPosition(mPosition);
    return true;
}

void PlacedDescription::destroyMarkedNode(const std::string& markerEntity)
{
    if (mMarker && mMarker->isAttached()) {
        mMarker->detachFromParent();
    }
    mObjects->destroyMarker(markerEntity);
    mMarker = nullptr;
    destroyNode();
}

} // namespace Kelvo
