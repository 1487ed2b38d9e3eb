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
    : PlacedDescription(name, parent, rootIndex)
    , mRadius(radius)
    , mAttachedType(attachedType)
    , mMeshName(name + "_mesh")
    , mMarkerName(name + "_entity")
{
}

std::string TriggerDescription::toXml() const
{
    using namespace SceneText;
    std::string xml = "\t\t<trigger name=\"" + escape(getName()) + "\" radius=\"" + real(mRadius) + "\" parent=\"" +
                      escape(getParent()) + "\" attachedType=\"" + escape(mAttachedType) + "\">\n";
    xml += "\t\t\t<position" + xyz(currentPosition()) + " />\n";
    xml += "\t\t</trigger>\n";
    return xml;
}

void TriggerDescription::realise(Ogre::SceneNode* parentEntityNode)
{
    if (!mObjects) {
        return;
    }
    placeMarkedNode(parentEntityNode, mMeshName, mMarkerName, mRadius, kTriggerMaterial);
}

void TriggerDescription::destroy()
{
    if (!mObjects) {
        return;
    }
    destroyMarkedNode(mMarkerName);
}

bool TriggerDescription::isInside(const Ogre::Vector3& point) const
{
    if (!mNode) {
        return false;
    }
    return point.distance(mNode->_getDerivedPosition()) <= mRadius;
}

void TriggerDescription::setRadius(Ogre::Real radius)
{
    mRadius = radius;
    if (!mNode || !mObjects) {
        return;
    }
    if (mMarker && mMarker->isAttached()) {
        mMarker->detachFromParent();
    }
    mMarker = mObjects->makeMarker(mMeshName, mMarkerName, mRadius, kTriggerMaterial);
    if (mMarker) {
        mNode->attachObject(mMarker);
    }
}

} // namespace Kelvo
