#pragma once

#include "scripts/SpringStepper.h"
#include "states/OgreEventListener.h"
#include "world/ScriptAtom.h"

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>

namespace Ogre {
class Overlay;
}

namespace Kelvo {

class CineFader;
class PlayerMesh;
class TerrainProbe;

// Places the play camera. The engine camera hangs on "MAIN_CAMERA" in play
// and on "CUTSCENE_CAM" during cut-scenes and dialogue shots. In play it
// follows the hero in third person at a sprung distance, orbits with the
// mouse and stays above the terrain; in aim mode (the world's free-mode flag,
// the hero's TAB) it flies into the hero's head and shows the crosshair.
// It owns two camera flights: "CutScene1", played once per visit when the
// hero first enters "spider_eingang" (with its sound, the cinematic bars and
// the "Invert" and "Motion Blur" effects), and "CutScene2", the outro, which
// the play state starts and advances through getCutScene2State().
//
// Created by the play state right after the hero's script, run fourth every
// frame, listens to input as "CameraScript" by the rule in ScriptAtom.h.
// Frozen while its user data is set.
class CameraScript : public ScriptAtom, public OgreEventAdapter {
public:
    static const char* const kListenerName;
    static const char* const kCutScene1;
    static const char* const kCutScene2;

    static constexpr float kVerticalMouseFactor = 0.04f;
    static constexpr float kHorizontalMouseFactor = 0.05f;
    static constexpr float kFollowDistance = 8.0f;
    static constexpr float kHeadHeight = 4.0f;
    static constexpr float kMaxPitchDegrees = 40.0f;
    static constexpr float kAboveTerrain = 0.5f;
    static constexpr float kMaxFrameSeconds = 0.1f;

    CameraScript(GameWorld* world, ScriptManager* scripts);
    ~CameraScript() override;

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "CAMERA"; }

    bool mouseMoved(const OIS::MouseEvent& event) override;

    // Start (true) or stop (false) a cut-scene; starting a running one or
    // stopping one that does not run does nothing.
    void startCutScene1(bool on);
    void startCutScene2(bool on);
    // Moves the engine camera to the other of the two nodes.
    void swapCamera();
    void setCrosshairWanted(bool wanted);
    // The old man's dialogue shots: the first also puts the camera on the
    // cut-scene node, the second only moves that node.
    void showDialogueShot1();
    void showDialogueShot2();

    // The outro flight, advanced by the play state; null before it is built.
    Ogre::AnimationState* getCutScene2State() const { return mCutScene2State; }
    Ogre::AnimationState* getCutScene1State() const { return mCutScene1State; }

    bool isCutScene1Running() const { return mCutScene1Running; }
    bool isCutScene2Running() const { return mCutScene2Running; }
    bool isCameraOnCutSceneNode() const { return mOnCutSceneNode; }
    bool isCrosshairShown() const { return mCrosshairShown; }
    bool hasArrived() const { return mArrived; }
    const Ogre::Vector3& getCameraPosition() const { return mCameraPosition; }
    float getAimPitch() const { return mAimPitch; }
    Ogre::SceneNode* getCutSceneNode() const { return mCutSceneNode; }


private:
    bool isFrozen() { return getUserData() != nullptr; }
    Ogre::SceneNode* findOrCreateNode(const std::string& name);
    void runCutScene1(float dt);
    void aim(float dt);
    void follow(float dt);
    void keepAboveTerrain(float distance);
    // The terrain point in the camera's column (first terrain result of a
    // downward ray from above it); false where there is no terrain.
    bool terrainBelowCamera(Ogre::Vector3& ground);
    void stepFader(const Ogre::FrameEvent& event);
    void putCameraOn(bool cutSceneNode);
    void setTracking(bool on);
    void showCrosshair(bool shown);
    // Builds the named flight from the current play camera pose.
    Ogre::AnimationState* buildCutScene(const std::string& name);
    void playSound(const char* name, bool play);

    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::SceneNode* mCutSceneNode = nullptr;
    bool mOnCutSceneNode = false;
    bool mCutScene1Running = false;
    bool mCutScene2Running = false;
    bool mCrosshairWanted = true;
    bool mCrosshairShown = false;
    Ogre::AnimationState* mCutScene1State = nullptr;
    Ogre::AnimationState* mCutScene2State = nullptr;

    Ogre::SceneNode* mDummyNode = nullptr;
    Ogre::SceneNode* mMainNode = nullptr;
    PlayerMesh* mHero = nullptr;
    Ogre::SceneNode* mHeroNode = nullptr;

    float mMousePitchOffset = 0;
    float mAimPitchRate = 0;
    float mAimPitch = 0;

    Ogre::Vector3 mCameraPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 mDummyPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 mTarget = Ogre::Vector3::ZERO;
    // Where the target was the frame before: the follow steps move along
    // the way between.
    Ogre::Vector3 mPreviousTarget = Ogre::Vector3::ZERO;

    float mOrbitYawRate = 0;
    DistanceSpring mDistance;

    TerrainProbe* mTerrain = nullptr;

    bool mInAim = false;
    float mFlyInStart = 0;
    float mFlyInRemaining = 0;
    bool mArrived = false;
    bool mTracking = false;

    Ogre::Overlay* mCrosshair = nullptr;
    CineFader* mFader = nullptr;
    bool mFadeInPending = false;
    bool mFadeOutPending = false;
    bool mSpiderCutScenePlayed = false;
};

} // namespace Kelvo
