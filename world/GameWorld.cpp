#include "world/GameWorld.h"

#include "app/Application.h"
#include "gui/GameGUI.h"
#include "scene/SceneLoader.h"
#include "world/FrameMessageManager.h"
#include "world/MeshManager.h"
#include "world/PlayerCharacter.h"
#include "world/PlayerMesh.h"

#include <OgreLogManager.h>

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

    if (mWithGui) {
        mGui = new GameGUI();
        Ogre::SceneManager* scene = mApplication ? mApplication->getSceneManager() : nullptr;
        if (!mGui->initialise(scene)) {
            // GameGUI has said why; the world runs on without windows.
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr()) {
                logs->logMessage("GameWorld: playing without the in-game GUI");
            }
            delete mGui;
            mGui = nullptr;
        }
    }
}

GameWorld::~GameWorld()
{
    if (mGui) {
        mGui->destroy();
        delete mGui;
        mGui = nullptr;
    }
    delete mMessages;
    delete mPlayer;
}

} // namespace Kelvo
