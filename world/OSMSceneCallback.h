#pragma once

#include "scene/SceneLoaderCallBack.h"

namespace Kelvo {

class MeshManager;

// Connects a scene load to the game: every entity the loader realises is
// offered to the MeshManager, which keeps those of a gameplay type. The play
// state and the editor hand it to SceneLoader::load; triggers need nothing
// here (the trigger script reads them from the loader).
class OSMSceneCallback : public SceneLoaderCallBack {
public:
    explicit OSMSceneCallback(MeshManager* meshes);

    void entityCreated(Ogre::Entity* entity, EntityDescription* description) override;

private:
    MeshManager* mMeshes;
};

} // namespace Kelvo
