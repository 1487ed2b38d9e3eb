#include "world/MeshManager.h"

#include "app/Application.h"
#include "effects/FresnelWater.h"
#include "scene/EntityDescription.h"
#include "world/NonPlayerMesh.h"
#include "world/PlayerMesh.h"
#include "world/TriggerMesh.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>

namespace Kelvo {

const char* const MeshManager::kPlayerKey = "Player";

namespace {

// The kind number every scene object made from a scene file gets.
constexpr int kSceneKind = 0;

} // namespace

MeshManager::MeshManager()
    : mApplication(Application::getSingletonPtr())
    , mWater(FresnelWater::getSingletonPtr())
{
}

MeshManager::~MeshManager()
{
    for (auto& entry : mMeshes) {
        delete entry.second;
    }
}

bool MeshManager::addFromScene(Ogre::Entity* entity, EntityDescription* description)
{
    // The loader reports records without a mesh with a null entity; there is
    // nothing to wrap.
    if (!entity || !description) {
        return false;
    }
    const std::string name = entity->getName();
    const std::string& type = description->getType();

    Mesh* mesh = nullptr;
    std::string key = name;
    if (type == "Player") {
        mesh = new PlayerMesh(entity, kSceneKind);
        key = kPlayerKey;
    } else if (type == "FresnelPlane") {
        // The plane only marks where the water goes; the water draws itself.
        // The reflective water is not part of the game yet, so the plane is
        // only hidden here.
        if (Ogre::SceneNode* node = entity->getParentSceneNode()) {
            node->setVisible(false, true);
        }
    } else if (type == "NPC" || type == "Spider") {
        mesh = new NonPlayerMesh(entity, kSceneKind);
    } else if (type == "Trigger") {
        mesh = new TriggerMesh(entity);
    }
    if (!mesh) {
        return false;
    }
    if (!mMeshes.emplace(key, mesh).second) {
        delete mesh;
        return false;
    }
    return true;
}

Mesh* MeshManager::find(const std::string& name) const
{
    auto found = mMeshes.find(name);
    return found == mMeshes.end() ? nullptr : found->second;
}

} // namespace Kelvo
