#pragma once

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

class Application;
class FrameMessageManager;
class GameGUI;
class MeshManager;
class PlayerCharacter;
class SceneLoader;

// What every script of a running world shares: the message board, the hero,
// the scene objects, the camera and a few flags the scripts hand each other
// (input mode, free mode, selected weapon, the camera's position text). The
// play state and the level editor each build one on entry, after the scene
// has been loaded into the MeshManager, and delete it on exit after their
// scripts. Owns the message board and the PlayerCharacter.
class GameWorld {
public:
    static constexpr int kGuiInputMode = 2;

    // The hero is made from the scene object filed under "Player". With the
    // GUI flag (play, not the editor) the in-game windows are brought up on
    // "MainScene" and owned until the world goes; getGui() is null without
    // the flag or when they could not be brought up (no window to draw on),
    // and scripts skip the GUI when it is null.
    GameWorld(Ogre::Camera* camera, MeshManager* meshes, bool withGui);
    ~GameWorld();

    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    FrameMessageManager* getMessages() const { return mMessages; }
    PlayerCharacter* getPlayer() const { return mPlayer; }
    MeshManager* getMeshes() const { return mMeshes; }
    GameGUI* getGui() const { return mGui; }
    SceneLoader* getSceneLoader() const { return mSceneLoader; }
    Application* getApplication() const { return mApplication; }
    Ogre::Camera* getCamera() const { return mCamera; }
    bool hasGui() const { return mWithGui; }

    const std::string& getName() const { return mName; }
    void setName(const std::string& name) { mName = name; }
    int getInputMode() const { return mInputMode; }
    void setInputMode(int mode) { mInputMode = mode; }
    bool isFreeMode() const { return mFreeMode; }
    void setFreeMode(bool freeMode) { mFreeMode = freeMode; }
    int getSelectedWeapon() const { return mSelectedWeapon; }
    void setSelectedWeapon(int weapon) { mSelectedWeapon = weapon; }

private:
    std::string mName;
    int mInputMode = 0;
    bool mFreeMode = false;
    int mSelectedWeapon = 1;
    Application* mApplication;
    FrameMessageManager* mMessages;
    PlayerCharacter* mPlayer;
    MeshManager* mMeshes;
    Ogre::Camera* mCamera;
    GameGUI* mGui = nullptr;
    bool mWithGui;
    SceneLoader* mSceneLoader;
};

} // namespace Kelvo
