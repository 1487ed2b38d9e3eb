#pragma once

#include "scene/XMLDescription.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

// A spherical trigger volume: the <trigger> element. A point is inside when
// its distance from the trigger node's world position is at most the radius.
// The marker sphere shows the volume in the editor.
class TriggerDescription : public XMLDescription {
public:
    TriggerDescription(const std::string& name, Ogre::Real radius, const std::string& parent,
                       const std::string& attachedType, int rootIndex);

    std::string getTypeName() const override { return "Trigger"; }
    std::string toXml() const override;
    int getRootIndex() const override { return mRootIndex; }
    bool isInRoot(int rootIndex) const override { return mRootIndex == rootIndex; }
    void setRootIndex(int rootIndex) override { mRootIndex = rootIndex; }

    // Makes the marker and the node: under the parent entity's node when
    // given, else under the loader's root node.
    void realise(Ogre::SceneNode* parentEntityNode);
    void destroy();

    bool isInside(const Ogre::Vector3& point) const;

    const std::string& getName() const { return mName; }
    Ogre::Real getRadius() const { return mRadius; }
    const std::string& getParent() const { return mParent; }
    const std::string& getAttachedType() const { return mAttachedType; }
    const Ogre::Vector3& getPosition() const { return mPosition; }
    Ogre::Vector3 currentPosition() const;
    Ogre::SceneNode* getSceneNode() const { return mNode; }
    Ogre::Entity* getMarker() const { return mMarker; }

    void setPosition(const Ogre::Vector3& position);
    // A new radius makes the marker sphere again at the new size.
    void setRadius(Ogre::Real radius);
    void setParent(const std::string& parent) { mParent = parent; }
    void setAttachedType(const std::string& attachedType) { mAttachedType = attachedType; }

private:
    int mRootIndex;
    Ogre::Real mRadius;
    std::string mAttachedType;
    std::string mMeshName;
    std::string mName;
    Ogre::SceneNode* mNode = nullptr;
    std::string mParent;
    std::string mMarkerName;
    Ogre::Vector3 mPosition = Ogre::Vector3::ZERO;
    Ogre::Entity* mMarker = nullptr;
    Ogre::SceneNode* mParentEntityNode = nullptr;
};

} // namespace Kelvo
