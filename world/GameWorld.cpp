#include "world/GameWorld.h"

#include "app/Application.h"
#include "scene/SceneLoader.h"
#include "world/FrameMessageManager.h"
#include "world/MeshManager.h"
#include "world/PlayerCharacter.h"
#include "world/PlayerMesh.h"

namespace Kelvo {

GameWorld::GameWorld(Ogre::Camera* camera, MeshManager* meshes, bool withGui)
    : mApplication(Application::getSingletonPtr())
    , mMessages(new FrameMessageManager())
    , mMeshes(meshes)
    , mCamera(camera)
    , mWithGui(withGui)
    , mSceneLoader(SceneLoader::getSingletonPtr())
{
    // Checked, not assumed: an NPC entity named "Player" would be filed under
    // the same key when the scene has no hero.
    Mesh* hero = meshes ? meshes->find(MeshManager::kPlayerKey) : nullptr;
    mPlayer = new PlayerCharacter(dynamic_cast<PlayerMesh*>(hero));
}

GameWorld::~GameWorld()
{
    delete mMessages;
    delete mPlayer;
}

} // namespace Kelvo
