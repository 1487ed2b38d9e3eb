#include "world/GameWorld.h"

#include "gui/GameGUI.h"
#include "platform/Log.h"
#include "world/FrameMessageManager.h"
#include "world/MeshManager.h"
#include "world/PlayerCharacter.h"
#include "world/PlayerMesh.h"
#include "world/TerrainProbe.h"

#include <OgreCamera.h>

namespace Kelvo {

GameWorld::GameWorld(const WorldParts& parts)
    : mParts(parts)
    , mMessages(new FrameMessageManager())
{
    if (!mParts.sceneManager && mParts.camera) {
        mParts.sceneManager = mParts.camera->getSceneManager();
    }
    mTerrainProbe.reset(new TerrainProbe(mParts.sceneManager));

    // Checked, not assumed: an NPC entity named "Player" would be filed under
    // the same key when the scene has no hero.
    Mesh* hero = mParts.meshes ? mParts.meshes->find(MeshManager::kPlayerKey) : nullptr;
    mPlayer = new PlayerCharacter(dynamic_cast<PlayerMesh*>(hero));

    if (mParts.withGui) {
        mGui = new GameGUI();
        if (!mGui->initialise(mParts.sceneManager)) {
            // GameGUI has said why; the world runs on without windows.
            logLine("GameWorld: playing without the in-game GUI");
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

void GameWorld::endInGameOver()
{
    if (mGameOverHook) {
        mGameOverHook();
    } else {
        logLine("GameWorld: game over (nobody ends the play here)");
    }
}

void GameWorld::startOutro()
{
    if (mOutroHook) {
        mOutroHook();
    } else {
        logLine("GameWorld: outro (nobody ends the play here)");
    }
}

} // namespace Kelvo
