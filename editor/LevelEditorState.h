#pragma once

#include "editor/SplineRecorder.h"
#include "states/EditorPlaySession.h"
#include "states/GameState.h"

#include <OgrePrerequisites.h>
#include <OgreSingleton.h>

namespace CEGUI {
class Listbox;
}

namespace Kelvo {

class Application;
class EditCameraScript;
class EditorGUI;
class GameWorld;
class LevelEditControllScript;
class LevelEditGUIScript;
class MeshManager;
class RayPickingScript;
class SceneFader;
class ScriptManager;
class SkyDome;

// The level editor: the island's terrain under the sky with a free-flying
// camera, in which scene objects are picked and moved. Entered from the menu
// with space, left with escape back to the menu (after the unsaved-changes
// question when the loaded scene was changed). Every entry builds a fresh
// terrain scene manager, camera, world, the editor's windows (EditorGUI)
// and the four editor scripts (control, GUI, camera, picking: the order they
// run in, so the control script's messages reach the others in the same
// frame); the exit destroys them all.
//
// It also keeps the camera-spline recorder for the whole run: key 1 begins
// a spline, key 2 ends it, space writes the camera's pose as a key frame
// into "cutsecene.log". Created once by the entry point.
//
// F flies the camera to frame the selection. P (edit mode) plays the scene
// as it is, unsaved changes included, from a temporary copy in which the
// hero stands on the ground below the camera; the game's way out leads back
// here, and the play session brings back the scene (still unsaved if it
// was), the selection and the camera. Neither key acts while a window has
// the keyboard.
//
// M, R and T (edit mode) put the gizmo into move, rotate and scale mode, L
// switches its axes between the world's and the selection's, N snapping on
// and off, and G drops the selection onto the ground; none of them acts
// while a window has the keyboard.
class LevelEditorState : public GameState, public Ogre::Singleton<LevelEditorState> {
public:
    static const int kKeyEscape = 1;
    static const int kKeyBeginSpline = 2;  // 1
    static const int kKeyEndSpline = 3;    // 2
    static const int kKeyKeyFrame = 57;    // space
    static const int kKeyFrameSelection = 33;  // F
    static const int kKeyPlay = 25;            // P
    // The gizmo (edit mode): move, rotate, scale, local/world axes,
    // snapping on/off, drop to ground.
    static const int kKeyMoveMode = 50;    // M
    static const int kKeyRotateMode = 19;  // R
    static const int kKeyScaleMode = 20;   // T
    static const int kKeyLocalAxes = 38;   // L
    static const int kKeySnapping = 49;    // N
    static const int kKeyDropToGround = 34;  // G
    // The hero's ground is searched from this far above the camera, so a
    // camera sunk into a hillside still finds it.
    static constexpr float kGroundSearchHeight = 5000.0f;
    static const char* const kSplineFile;

    LevelEditorState();
    ~LevelEditorState() override;

    void enter() override;
    void exit() override;
    void pause() override {}
    void resume() override {}
    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent&) override { return true; }

    bool keyPressed(const OIS::KeyEvent& event) override;

    GameWorld* getWorld() const { return mWorld; }
    SplineRecorder& getSplineRecorder() { return mSplines; }
    EditorPlaySession& getPlaySession() { return mPlaySession; }

private:
    void setUpCamera();
    void buildWorld();
    void writeKeyFrame();
    void requestExit();
    void frameSelection();
    void playFromHere();
    // The gizmo keys; false for any other key.
    bool gizmoKey(int key);
    void refusePlaying(const std::string& title, const std::string& text);
    void comeBackFromPlaying();
    bool reopenSceneInWindow(const std::string& fileName);
    CEGUI::Listbox* sceneList() const;

    Application* mApplication = nullptr;
    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::RenderWindow* mRenderWindow = nullptr;
    Ogre::Viewport* mViewport = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::SceneNode* mCameraNode = nullptr;
    SceneFader* mFader = nullptr;
    SkyDome* mSkyDome = nullptr;
    GameWorld* mWorld = nullptr;
    ScriptManager* mScripts = nullptr;
    EditCameraScript* mCameraScript = nullptr;
    EditorGUI* mEditorGui = nullptr;
    LevelEditGUIScript* mGuiScript = nullptr;
    RayPickingScript* mPickingScript = nullptr;
    LevelEditControllScript* mControlScript = nullptr;
    MeshManager* mMeshes = nullptr;
    bool mExitRequested = false;
    // The fade-out that mExitRequested runs leads into the game, not the menu.
    bool mPlayRequested = false;
    EditorPlaySession mPlaySession;
    SplineRecorder mSplines;
};

} // namespace Kelvo
