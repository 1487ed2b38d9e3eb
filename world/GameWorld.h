#pragma once

#include "world/RandomGenerator.h"

#include <OgrePrerequisites.h>

#include <functional>
#include <memory>
#include <string>

namespace Kelvo {

class Application;
class CineFader;
class CompositorEffects;
class FrameMessageManager;
class GameGUI;
class InputListeners;
class MeshManager;
class PlayerCharacter;
class SceneFader;
class SceneLoader;
class SoundManager;
class TerrainProbe;

// What the state running a world hands it; anything left null is simply
// missing (a headless test has no application, the editor no GUI) and the
// scripts skip what needs it.
struct WorldParts {
    Application* application = nullptr;
    // Where scripts register to hear input (the application in the game).
    InputListeners* inputListeners = nullptr;
    SceneLoader* sceneLoader = nullptr;
    // Plays the sounds scripts make of their own (the energy balls').
    SoundManager* soundManager = nullptr;
    // The scene the world lives in; the terrain probe asks it. Without one
    // the camera's scene manager is taken.
    Ogre::SceneManager* sceneManager = nullptr;
    Ogre::Camera* camera = nullptr;
    MeshManager* meshes = nullptr;
    CompositorEffects* compositors = nullptr;
    CineFader* cineFader = nullptr;
    // Fades the whole picture to black and back (the old man's move to the
    // well); the running state advances it every frame, scripts only start
    // fades and read where it stands.
    SceneFader* sceneFader = nullptr;
    // Bring up the in-game windows (play, not the editor).
    bool withGui = false;
};

// What every script of a running world shares, and the one way scripts reach
// anything outside themselves: the application, the scene loader, the screen
// effects, the terrain probe, the random numbers, the message board, the
// hero, the scene objects, the camera, a few flags the scripts hand each
// other (input mode, free mode, selected weapon), and the two ways a script
// ends the play (game over, the outro) as hooks the running state sets. The
// play state and the level editor each build one on entry, after the scene
// has been loaded into the MeshManager, and delete it on exit after their
// scripts. Owns the message board, the PlayerCharacter, the terrain probe,
// the random generator and the in-game windows.
class GameWorld {
public:
    static constexpr int kGuiInputMode = 2;

    // The hero is made from the scene object filed under "Player". With the
    // GUI flag the in-game windows are brought up on the scene manager and
    // owned until the world goes; getGui() is null without the flag or when
    // they could not be brought up (no window to draw on), and scripts skip
    // the GUI when it is null.
    explicit GameWorld(const WorldParts& parts);
    ~GameWorld();

    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    FrameMessageManager* getMessages() const { return mMessages; }
    PlayerCharacter* getPlayer() const { return mPlayer; }
    MeshManager* getMeshes() const { return mParts.meshes; }
    GameGUI* getGui() const { return mGui; }
    SceneLoader* getSceneLoader() const { return mParts.sceneLoader; }
    SoundManager* getSoundManager() const { return mParts.soundManager; }
    Application* getApplication() const { return mParts.application; }
    InputListeners* getInputListeners() const { return mParts.inputListeners; }
    Ogre::SceneManager* getSceneManager() const { return mParts.sceneManager; }
    Ogre::Camera* getCamera() const { return mParts.camera; }
    CompositorEffects* getCompositors() const { return mParts.compositors; }
    CineFader* getCineFader() const { return mParts.cineFader; }
    SceneFader* getSceneFader() const { return mParts.sceneFader; }
    // Never null; without a scene manager it finds no terrain anywhere.
    TerrainProbe* getTerrainProbe() const { return mTerrainProbe.get(); }
    bool hasGui() const { return mParts.withGui; }
    RandomGenerator& getRandom() { return mRandom; }

    // Set by the running state; a world without them (the editor, tests)
    // only logs that the play would end.
    void setGameOverHook(std::function<void()> hook) { mGameOverHook = std::move(hook); }
    void setOutroHook(std::function<void()> hook) { mOutroHook = std::move(hook); }
    // Called by scripts: the hero died, the hero reached the ship.
    void endInGameOver();
    void startOutro();

    const std::string& getName() const { return mName; }
    void setName(const std::string& name) { mName = name; }
    int getInputMode() const { return mInputMode; }
    void setInputMode(int mode) { mInputMode = mode; }
    bool isFreeMode() const { return mFreeMode; }
    void setFreeMode(bool freeMode) { mFreeMode = freeMode; }
    int getSelectedWeapon() const { return mSelectedWeapon; }
    void setSelectedWeapon(int weapon) { mSelectedWeapon = weapon; }

private:
    WorldParts mParts;
    std::string mName;
    int mInputMode = 0;
    bool mFreeMode = false;
    int mSelectedWeapon = 1;
    FrameMessageManager* mMessages;
    PlayerCharacter* mPlayer;
    std::unique_ptr<TerrainProbe> mTerrainProbe;
    RandomGenerator mRandom;
    GameGUI* mGui = nullptr;
    std::function<void()> mGameOverHook;
    std::function<void()> mOutroHook;
};

} // namespace Kelvo
