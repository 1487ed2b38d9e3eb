#pragma once

#include "scene/PlacedDescription.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

// A spherical trigger volume: the <trigger> element. A point is inside when
// its distance from the trigger node's world position is at most the radius.
// The marker sphere shows the volume in the editor.
class TriggerDescription : public PlacedDescription {
public:
    TriggerDescription(const std::string& name, Ogre::Real radius, const std::string& parent,
                       const std::string& attachedType, int rootIndex);

    std::string getTypeName() const override { return "Trigger"; }
    std::string toXml() const override;

    // Makes the marker and the node: under the parent entity's node when
    // given, else under the node it was placed under, else under the
    // loader's root node.
    void realise(Ogre::SceneNode* parentEntityNode);
    void destroy();

    bool isInside(const Ogre::Vector3& point) const;

    Ogre::Real getRadius() const { return mRadius; }
    const std::string& getAttachedType() const { return mAttachedType; }

    // A new radius makes the marker sphere again at the new size.
    void setRadius(Ogre::Real radius);
    void setAttachedType(const std::string& attachedType) { mAttachedType = attachedType; }

private:
    Ogre::Real mRadius;
    std::string mAttachedType;
    std::string mMeshName;
    std::string mMarkerName;
};

} // namespace Kelvo
