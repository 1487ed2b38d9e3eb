#include "world/OSMSceneCallback.h"

#include "world/MeshManager.h"

namespace Kelvo {

OSMSceneCallback::OSMSceneCallback(MeshManager* meshes)
    : mMeshes(meshes)
{
}

void OSMSceneCallback::entityCreated(Ogre::Entity* entity, EntityDescription* description)
{
    if (mMeshes) {
        mMeshes->addFromScene(entity, description);
    }
}

} // namespace Kelvo
