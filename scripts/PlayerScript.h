#pragma once

#include "scripts/SpringStepper.h"
#include "states/OgreEventListener.h"
#include "world/ScriptAtom.h"

#include <OgreNode.h>
#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <array>
#include <string>

namespace Kelvo {

class AnimationMixer;
class CollisionProbe;
class PlayerCharacter;
class PlayerMesh;
class TerrainProbe;

// Steers the hero. Hears keyboard and mouse as an input listener ("PlayerScript"),
// turns and speeds the hero up on two small springs, keeps him out of solid
// scene entities (collision probe) and on the terrain (downward ray queries,
// no step higher than 1.0), blends walk, run, idle and throw, announces throws
// ("PLAYER_THROW") and melee strikes ("PLAYER_ATTACK"), pushes him back out of
// forbidden trigger zones with a spoken refusal, writes the health to the GUI
// bar and ends the game (game over at an empty bar, the outro at "abspann").
//
// Created by the play state after the world, run third every frame; listens
// to input by the rule in ScriptAtom.h. Ends the play through the world's
// game-over and outro hooks. Frozen (does nothing but stand still) while its
// user data is set.
class PlayerScript : public ScriptAtom, public OgreEventAdapter {
public:
    static const char* const kListenerName;

    static constexpr float kMouseTurnFactor = 0.1f;
    static constexpr float kWalkSpeed = 5.0f;
    static constexpr float kRunSpeed = 30.0f;
    static constexpr float kStepHeight = 1.0f;
    static constexpr float kMaxFrameSeconds = 0.1f;
    static constexpr float kRefusalPause = 3.0f;

    PlayerScript(GameWorld* world, ScriptManager* scripts);
    ~PlayerScript() override;

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "PLAYER"; }

    // An enemy hurt the hero: the wounded tint shows for that long.
    void startWounded(float seconds);
    // Starts an action animation unless one runs; the old man's dialogue and
    // the left button use it.
    void startAction(const std::string& animation);
    // Blends the hero to an animation as his loop (the dialogue's talk/idle).
    void blendLoop(const std::string& animation, float seconds);
    // Puts the hero somewhere else, turned by the orientation (his forward
    // is the body's -Z), as the old man's dialogue places him; he walks on
    // from there facing that way.
    void placeAt(const Ogre::Vector3& position, const Ogre::Quaternion& orientation);

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

    // Read by tests and the log.
    bool hasPlayer() const { return mHasPlayer; }
    bool isBusy() const { return mBusy; }
    int getGait() const { return mGait; }
    float getSpeed() const { return mSpeed.speed; }
    float getTurnRate() const { return mTurn.rate; }
    const Ogre::Vector3& getFacing() const { return mFacing; }
    bool isGroundFollow() const { return mGroundFollow; }
    const std::string& getLoopAnimation() const { return mLoopAnimation; }
    AnimationMixer* getMixer() const { return mMixer; }

private:
    enum Gait { kIdle = 0, kWalk = 1, kRun = 2 };

    // Hears the hero's entity node go. The play state unloads the scene
    // before it deletes this script: the probe and the mixer go with the
    // node, and nothing touches the node from then on.
    class EntityNodeWatch : public Ogre::Node::Listener {
    public:
        explicit EntityNodeWatch(PlayerScript* owner)
            : mOwner(owner)
        {
        }
        void nodeDestroyed(const Ogre::Node*) override { mOwner->onEntityNodeDestroyed(); }

    private:
        PlayerScript* mOwner;
    };

    void onEntityNodeDestroyed();

    bool isFrozen() { return getUserData() != nullptr; }
    void checkGameOver();
    void readTriggers(float dt);
    void refuse(int group);
    void walk(float dt);
    void moveFree(float dt);
    // Collision, then ground follow (or the free flight without it): where
    // the hero ends up when he tries to get to the candidate this step,
    // which is that share of a sixtieth of a second.
    void moveTo(Ogre::Vector3 candidate, float frameShare);
    void animate(float dt);
    void endAction(float blendSeconds);
    // "PlayerScript: hero at (x, y, z) heading H", H in degrees (headingDegrees).
    void logPosition(float dt);
    void writePosition();

    PlayerCharacter* mCharacter;
    float mMaxSpeed = kWalkSpeed;
    Ogre::Vector3 mInput = Ogre::Vector3::ZERO;
    Ogre::Vector3 mFreeVelocity = Ogre::Vector3::ZERO;
    float mFreeTurnAngle = 0;
    bool mFreeModeEntered = false;

    bool mHasPlayer = false;
    PlayerMesh* mPlayerMesh = nullptr;
    Ogre::SceneNode* mBodyNode = nullptr;
    Ogre::SceneNode* mEntityNode = nullptr;

    bool mGroundFollow = false;
    bool mSpeedTargetChanged = false;
    bool mWasMoving = true;

    TerrainProbe* mTerrain = nullptr;

    AnimationMixer* mMixer = nullptr;
    std::string mLoopAnimation = "all_idle";
    int mGait = kIdle;

    bool mBusy = false;
    bool mMeleePending = false;
    bool mThrowPending = false;
    bool mReleasePending = false;
    float mActionLength = 0;
    float mActionTime = 0;

    bool mLeft = false;
    bool mRight = false;
    bool mForward = false;
    bool mBack = false;
    bool mRun = false;

    Ogre::Quaternion mOrientation = Ogre::Quaternion::IDENTITY;
    TurnSpring mTurn;
    Ogre::Vector3 mFacing = Ogre::Vector3::UNIT_X;
    SpeedSpring mSpeed;
    CollisionProbe* mProbe = nullptr;
    EntityNodeWatch mEntityNodeWatch{this};

    Ogre::Vector3 mSavedPosition = Ogre::Vector3::ZERO;
    int mBlockCounter = 0;
    float mRefusalTimer = 0;
    std::array<std::string, 10> mRefusalSounds;

    float mWoundedDuration = 0;
    float mWoundedElapsed = 0;

    // What the health bar was last given: the game ends when it reads 0.
    float mBarEnergy = 1;
    bool mBarWritten = false;
    float mPositionLogTimer = 0;
    Ogre::Vector3 mLoggedPosition = Ogre::Vector3::ZERO;
    float mLoggedHeading = 0;
};

} // namespace Kelvo
