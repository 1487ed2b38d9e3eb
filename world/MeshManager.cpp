#include "world/MeshManager.h"

#include "effects/FresnelWater.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "world/NonPlayerMesh.h"
#include "world/PlayerMesh.h"
#include "world/TriggerMesh.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace Kelvo {

const char* const MeshManager::kPlayerKey = "Player";

namespace {

// The kind number every scene object made from a scene file gets.
constexpr int kSceneKind = 0;

} // namespace

MeshManager::MeshManager(Ogre::SceneManager* sceneManager, FresnelWater* water)
    : mSceneManager(sceneManager)
    , mWater(water)
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
        // The plane only marks where the water goes; the water draws itself
        // at the plane's height, seen by the play camera.
        Ogre::SceneNode* node = entity->getParentSceneNode();
        if (node) {
            node->setVisible(false, true);
        }
        addWater(node ? node->_getDerivedPosition() : Ogre::Vector3::ZERO);
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

void MeshManager::addWater(const Ogre::Vector3& planePosition)
{
    if (!mWater || !mSceneManager) {
        return;
    }
    if (!mSceneManager->hasCamera("PrimaryCamera")) {
        logWarning("MeshManager: no camera \"PrimaryCamera\" to see the water with");
        return;
    }
    mWater->setUp(mSceneManager->getCamera("PrimaryCamera"), planePosition, kWaterSize);
}

Mesh* MeshManager::find(const std::string& name) const
{
    auto found = mMeshes.find(name);
    return found == mMeshes.end() ? nullptr : found->second;
}

} // namespace Kelvo
