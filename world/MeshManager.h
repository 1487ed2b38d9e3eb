#pragma once

#include <OgreVector.h>

#include <map>
#include <string>

namespace Ogre {
class Entity;
class SceneManager;
}

namespace Kelvo {

class EntityDescription;
class FresnelWater;
class Mesh;

// The game's registry of scene objects, filled by the scene callback while a
// scene loads: the hero under "Player", the characters and trigger volumes
// under their entity names. Scripts look objects up here by name. Owns the
// scene objects (not their entities); the play state and the level editor
// create it before loading the scene and delete it after their scripts.
class MeshManager {
public:
    using MeshMap = std::map<std::string, Mesh*>;

    static const char* const kPlayerKey;

    // The "FresnelPlane" entity becomes the water, seen by the scene's
    // "PrimaryCamera"; without a scene manager or water the plane is only
    // hidden.
    explicit MeshManager(Ogre::SceneManager* sceneManager = nullptr, FresnelWater* water = nullptr);
    ~MeshManager();

    MeshManager(const MeshManager&) = delete;
    MeshManager& operator=(const MeshManager&) = delete;

    // Makes the scene object the entity's scene type asks for and files it.
    // False when the type makes none, or the key is already taken (a second
    // hero, a name used twice): the first one stays.
    bool addFromScene(Ogre::Entity* entity, EntityDescription* description);
    Mesh* find(const std::string& name) const;

    const MeshMap& meshes() const { return mMeshes; }

private:
    static constexpr float kWaterSize = 3000.0f;

    void addWater(const Ogre::Vector3& planePosition);

    MeshMap mMeshes;
    Ogre::SceneManager* mSceneManager;
    FresnelWater* mWater;
};

} // namespace Kelvo
