#pragma once

#include "scene/XMLDescription.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

class SceneObjects;

// What every record placed in the scene graph has in common (entities,
// triggers, lights, sounds, particle systems): a name that is also its scene
// node's name, the name of the entity it hangs on (empty: none), a position
// kept in the record while there is no node, the node while realised, and
// the node it was placed under. Records the editor adds are given their new
// block's node here before they are realised; realising with no node then
// puts them there.
class PlacedDescription : public XMLDescription {
public:
    PlacedDescription(const std::string& name, const std::string& parent, int rootIndex = 0)
        : XMLDescription(rootIndex)
        , mName(name)
        , mParent(parent)
    {
    }

    const std::string& getName() const { return mName; }
    const std::string& getParent() const { return mParent; }
    void setParent(const std::string& parent) { mParent = parent; }

    const Ogre::Vector3& getPosition() const { return mPosition; }
    // The live node's position, or the stored one without a node.
    Ogre::Vector3 currentPosition() const;
    void setPosition(const Ogre::Vector3& position);

    Ogre::SceneNode* getSceneNode() const { return mNode; }
    // The small mesh that shows the editor where a trigger, light, sound or
    // particle system is (entities have none).
    Ogre::Entity* getMarker() const { return mMarker; }
    Ogre::SceneNode* getParentNode() const { return mParentNode; }
    void setParentNode(Ogre::SceneNode* parentNode) { mParentNode = parentNode; }

    // Where the record makes its engine objects; the loader hands it its
    // own when it files the record. A record without one is never realised.
    void setSceneObjects(SceneObjects* objects) { mObjects = objects; }

protected:
    // The node to realise under: the one given, else the one placed under
    // before (the loader's root when neither exists). Remembered.
    Ogre::SceneNode* chooseParentNode(Ogre::SceneNode* given);
    Ogre::SceneManager* sceneManager() const;
    // Keeps the node's last place in the record and destroys the node, so a
    // destroyed record that is written or realised again stays where it was.
    void destroyNode();
    // The record's node under the chosen parent, at the record's position,
    // carrying its marker (a sphere of the radius, under the mesh and entity
    // names given). False when there is no scene to place it in.
    bool placeMarkedNode(Ogre::SceneNode* parentNode, const std::string& markerMesh,
                         const std::string& markerEntity, float radius, const std::string& material);
    // The marker taken off the node and destroyed; then the node.
    void destroyMarkedNode(const std::string& markerEntity);

    Ogre::Vector3 mPosition = Ogre::Vector3::ZERO;
    Ogre::SceneNode* mNode = nullptr;
    Ogre::Entity* mMarker = nullptr;
    SceneObjects* mObjects = nullptr;

private:
    std::string mName;
    std::string mParent;
    Ogre::SceneNode* mParentNode = nullptr;
};

} // namespace Kelvo
