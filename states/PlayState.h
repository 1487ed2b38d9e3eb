#pragma once

#include "states/GameState.h"

#include <OgrePrerequisites.h>
#include <OgreSingleton.h>

#include <string>

#include <vector>

namespace Ogre {
class Overlay;
}

namespace Kelvo {

class Application;
class BirdScript;
class CameraScript;
class EnergieBallScript;
class CompositorEffects;
class CineFader;
class EditorPlaySession;
class GameWorld;
class GeometricTriggerScript;
class GUIScript;
class IntroFader;
class MeshManager;
class OSMSceneCallback;
class OldmanScript;
class PlayerScript;
class SceneFader;
class ScriptManager;
class SkyDome;
class SoundScript;
class StandartEnemyScript;

// The state in which the game is played. On entry it puts the terrain scene
// manager in place, loads "world.qormscene", creates the world's scripts and
// starts the ambient sounds; every frame it runs the world and, on top of it,
// the intro, outro or game-over picture sequence. Escape, the end of the
// outro and the end of the game over lead back to the menu; every visit
// starts from scratch with the intro.
//
// Started from the level editor (playFromEditor before the change of state)
// it plays the editor's temporary scene file instead, skips the intro, and
// all three ways out lead back to the editor; the session is forgotten on
// exit, so the next game from the menu is the usual one.
class PlayState : public GameState, public Ogre::Singleton<PlayState> {
public:
    // OIS key codes of the play state's keys.
    static const int kKeyEscape = 1;
    static const int kKeyDebugOverlay = 2;   // 1
    static const int kKeyWireframe = 3;      // 2
    static const int kKeyScreenshot = 4;     // 3
    static const int kKeyCutScene = 5;       // 4
    static const int kKeyStopCutScenes = 6;  // 5
    static const int kKeyOutro = 7;          // 6
    static const int kKeyMelee = 8;          // 7
    static const int kKeyWeapon = 9;         // 8
    static const int kKeySkipIntro = 57;     // space

    PlayState();
    ~PlayState() override;

    void enter() override;
    void exit() override;
    void pause() override {}
    void resume() override {}
    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override { return true; }

    bool keyPressed(const OIS::KeyEvent& event) override;

    // The next entry plays the session's scene file and returns to its state.
    void playFromEditor(EditorPlaySession* session) { mEditorSession = session; }

    // The hero reached the ship (or key 6): the outro's flight and pictures.
    void startOutro();
    // The hero's health reached zero: the game-over picture, then the menu.
    void startGameOver();

    // The screenshot file name for a time of day: "screenshot_%.00i_%.00i_%.00i.png",
    // where a zero field prints as nothing.
    static std::string screenshotName(int hour, int minute, int second);
    // The intro picture and its cross-fade time for a sequence clock; empty
    // once the last picture's time has passed.
    static const char* introPicture(float clock, float* crossFadeSeconds);

    GameWorld* getWorld() const { return mWorld; }
    CameraScript* getCameraScript() const { return mCameraScript; }
    bool isIntroRunning() const { return mIntroRunning; }

private:
    void setUpCamera();
    void loadWorld();
    void createEnemyAndBirdScripts();
    void playAmbientSounds();
    void playSceneSound(const char* name);
    void stopSceneSound(const char* name);
    void runIntro(const Ogre::FrameEvent& event);
    void runNormalPlay(const Ogre::FrameEvent& event);
    void runGameOver(const Ogre::FrameEvent& event);
    void runOutro(const Ogre::FrameEvent& event);
    void updateDebugStatistics();
    void setOverlayCaption(const char* element, const std::string& caption);
    void writeScreenshot();
    void skipIntro();
    void startWithoutIntro();
    void leaveToMenu();
    void changeToNextState();
    void deleteScripts();

    Application* mApplication = nullptr;
    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::RenderWindow* mRenderWindow = nullptr;
    Ogre::Viewport* mViewport = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::SceneNode* mCameraNode = nullptr;
    Ogre::Overlay* mDebugOverlay = nullptr;

    bool mOutroRunning = false;
    bool mSequenceComplete = false;
    bool mGameOverRunning = false;
    bool mLeaveToMenu = false;
    bool mIntroSkipped = false;
    bool mWireframe = false;
    bool mDebugOverlayShown = false;
    bool mIntroDone = false;

    CineFader* mCineFader = nullptr;
    SceneFader* mSceneFader = nullptr;
    IntroFader* mIntroFader = nullptr;
    SkyDome* mSkyDome = nullptr;
    CompositorEffects* mCompositors = nullptr;

    GameWorld* mWorld = nullptr;
    ScriptManager* mScripts = nullptr;
    MeshManager* mMeshes = nullptr;
    OSMSceneCallback* mSceneCallback = nullptr;
    GUIScript* mGuiScript = nullptr;
    GeometricTriggerScript* mTriggerScript = nullptr;
    PlayerScript* mPlayerScript = nullptr;
    CameraScript* mCameraScript = nullptr;
    EnergieBallScript* mEnergieBallScript = nullptr;
    OldmanScript* mOldmanScript = nullptr;
    SoundScript* mSoundScript = nullptr;
    std::vector<StandartEnemyScript*> mEnemyScripts;
    std::vector<BirdScript*> mBirdScripts;
    Ogre::SceneNode* mListenerNode = nullptr;
    EditorPlaySession* mEditorSession = nullptr;

    bool mIntroRunning = false;
    bool mIntroFinished = false;
    float mClock = 0.0f;
    // The picture sequence only logs a picture the first time it is asked for.
    std::string mLoggedPicture;
};

} // namespace Kelvo
