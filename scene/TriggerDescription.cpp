#include "scene/TriggerDescription.h"

#include "scene/SceneObjects.h"
#include "scene/SceneText.h"

#include <Ogre.h>

namespace Kelvo {

namespace {
const char* const kTriggerMaterial = "KELVO/Trigger";
} // namespace

TriggerDescription::TriggerDescription(const std::string& name, Ogre::Real radius, const std::string& parent,
                                       const std::string& attachedType, int rootIndex)
    : mRootIndex(rootIndex)
    , mRadius(radius)
    , mAttachedType(attachedType)
    , mMeshName(name + "_mesh")
    , mName(name)
    , mParent(parent)
    , mMarkerName(name + "_entity")
{
}

std::string TriggerDescription::toXml() const
{
    using namespace SceneText;
    std::string xml = "\t\t<trigger name=\"" + escape(mName) + "\" radius=\"" + real(mRadius) + "\" parent=\"" +
                      escape(mParent) + "\" attachedType=\"" + escape(mAttachedType) + "\">\n";
    xml += "\t\t\t<position" + xyz(currentPosition()) + " />\n";
    xml += "\t\t</trigger>\n";
    return xml;
}

Ogre::Vector3 TriggerDescription::currentPosition() const
{
    return mNode ? mNode->getPosition() : mPosition;
}

void TriggerDescription::realise(Ogre::SceneNode* parentEntityNode)
{
    mParentEntityNode = parentEntityNode;
    mMarker = SceneObjects::makeMarker(mMeshName, mMarkerName, mRadius, kTriggerMaterial);
    mNode = SceneObjects::placeNode(mName, parentEntityNode);
    if (!mNode) {
        return;
    }
    if (mMarker) {
        mNode->attachObject(mMarker);
    }
    mNode->setPosition(mPosition);
}

void TriggerDescription::destroy()
{
    if (mMarker && mMarker->isAttached()) {
        mMarker->detachFromParent();
    }
    SceneObjects::destroyEntity(mMarkerName);
    mMarker = nullptr;
    if (mNode) {
        mPosition = mNode->getPosition();
        SceneObjects::destroyNode(mNode);
        mNode = nullptr;
    }
}

bool TriggerDescription::isInside(const Ogre::Vector3& point) const
{
    if (!mNode) {
        return false;
    }
    return point.distance(mNode->_getDerivedPosition()) <= mRadius;
}

void TriggerDescription::setPosition(const Ogre::Vector3& position)
{
    mPosition = position;
    if (mNode) {
        mNode->setPosition(position);
    }
}

void TriggerDescription::setRadius(Ogre::Real radius)
{
    mRadius = radius;
    if (!mNode) {
        return;
    }
    if (mMarker && mMarker->isAttached()) {
        mMarker->detachFromParent();
    }
    mMarker = SceneObjects::makeMarker(mMeshName, mMarkerName, mRadius, kTriggerMaterial);
    if (mMarker) {
        mNode->attachObject(mMarker);
    }
}

} // namespace Kelvo
