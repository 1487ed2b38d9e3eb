#include "scripts/PlayerScript.h"

#include "effects/CompositorEffects.h"
#include "gui/GameGUI.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "world/AnimationMixer.h"
#include "world/CollisionProbe.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/PlayerCharacter.h"
#include "world/PlayerMesh.h"
#include "world/TerrainProbe.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Kelvo {

const char* const PlayerScript::kListenerName = "PlayerScript";

namespace {

const char* const kIdleAnimation = "all_idle";
const char* const kWalkAnimation = "all_walk";
const char* const kRunAnimation = "all_run";
const char* const kThrowAnimation = "all_throw_ball";

const char* const kThrowMessage = "PLAYER_THROW";
const char* const kAttackMessage = "PLAYER_ATTACK";
const char* const kOutroTrigger = "abspann";

// The sea accesses refuse with the sea lines, the locked cave and well with
// the valley lines.
struct ForbiddenZone {
    const char* trigger;
    int group;
};
const ForbiddenZone kForbiddenZones[] = {
    {"meerzugang_1_1", 0},
    {"meerzugang_1_2", 0},
    {"spider_eingang_lock", 1},
    {"brunnen_eingang_lock", 1},
};

const char* const kRefusalSoundNames[] = {
    "StopSoundMeer1", "StopSoundMeer2", "StopSoundMeer3", "StopSoundMeer4", "StopSoundTal1",
    "StopSoundTal2",  "StopSoundTal3",  "StopSoundTal4",  "StopSoundNein1", "StopSoundNein2",
};

// Target turn rates in degrees per second.
const float kRunBackTurn = 35.0f;
const float kRunTurnForward = 10.0f;
const float kRunTurnBack = 30.0f;
const float kRunTurn = 20.0f;
const float kWalkTurnForward = 15.0f;
const float kWalkTurnBack = 60.0f;
const float kWalkTurn = 30.0f;

const float kFreeFlightRise = 0.5f;
const float kFreeAcceleration = 40.0f;
const float kFreeBrakePerSecond = 0.1f;
const float kFreeTurnFadePerSecond = 0.0000001f;
const float kMovingSpeed = 0.5f;
const float kMovingTurn = 0.4f;
const float kFreeMovingSpeed = 0.1f;

// Fractions of the throw animation: the ball appears, leaves the hand, the
// hero is free again; a melee strike lands and ends at half the animation.
const float kThrowAppears = 0.01f;
const float kThrowReleases = 0.22f;
const float kThrowEnds = 0.4f;
const float kStrikeLands = 0.5f;
const float kActionBlendIn = 0.2f;
const float kThrowBlendOut = 0.2f;
const float kStrikeBlendOut = 0.1f;
const float kGaitBlend = 0.3f;
// The position line comes once a second, and sooner when the hero has
// walked or turned so far that a reader steering him by the log (the bot)
// would otherwise overshoot: at a run that is a few lines a second.
const float kPositionLogSeconds = 1.0f;
const float kPositionLogDistance = 4.0f;
const float kPositionLogDegrees = 5.0f;

// The hero's heading in degrees: his turn about the up axis from east (+X),
// growing as he turns left (A), towards north (-Z).
float headingDegrees(const Ogre::Vector3& facing)
{
    return Ogre::Math::ATan2(-facing.z, facing.x).valueDegrees();
}

} // namespace

PlayerScript::PlayerScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
    , mCharacter(world->getPlayer())
{
    for (size_t i = 0; i < mRefusalSounds.size(); ++i) {
        mRefusalSounds[i] = kRefusalSoundNames[i];
    }
    listenToInput(this, kListenerName);
    mTerrain = world->getTerrainProbe();
    Ogre::Animation::setDefaultInterpolationMode(Ogre::Animation::IM_LINEAR);
    Ogre::Animation::setDefaultRotationInterpolationMode(Ogre::Animation::RIM_LINEAR);

    mPlayerMesh = mCharacter ? mCharacter->getMesh() : nullptr;
    Ogre::Entity* entity = mCharacter ? mCharacter->getEntity() : nullptr;
    mEntityNode = entity ? entity->getParentSceneNode() : nullptr;
    if (!mEntityNode) {
        logWarning("*****************NO PLAYER NODE*************");
        return;
    }
    mBodyNode = mEntityNode->getParentSceneNode();
    if (!mBodyNode) {
        logLine("*****************ERROR*************");
        return;
    }
    mHasPlayer = true;
    mGroundFollow = true;

    // The body node carries the hero from now on; the entity node only turns
    // the model round, since the mesh looks along +Z and the body's forward
    // is -Z.
    mBodyNode->setPosition(mEntityNode->getPosition());
    mEntityNode->setPosition(Ogre::Vector3::ZERO);
    mEntityNode->yaw(Ogre::Degree(180), Ogre::Node::TS_LOCAL);
    mCharacter->setPosition(mBodyNode->getPosition());

    mMixer = new AnimationMixer(entity);
    mMixer->start(kIdleAnimation);

    mOrientation = mBodyNode->getOrientation();
    mBodyNode->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    mFacing = mOrientation * Ogre::Vector3::UNIT_X;
    mFacing.y = 0;
    mFacing = mFacing.isZeroLength() ? Ogre::Vector3::UNIT_X : mFacing.normalisedCopy();
    mCharacter->setFacing(mFacing);
    mProbe = new CollisionProbe(mEntityNode, world->getSceneLoader());
    mEntityNode->setListener(&mEntityNodeWatch);
    mSavedPosition = mCharacter->getPosition();
    writePosition();
}

PlayerScript::~PlayerScript()
{
    if (mEntityNode && mEntityNode->getListener() == &mEntityNodeWatch) {
        mEntityNode->setListener(nullptr);
    }
    delete mMixer;
    delete mProbe;
}

void PlayerScript::onEntityNodeDestroyed()
{
    // Called from the engine's Node destructor, when the node is no longer a
    // scene node: nothing here may call into it. The probe gives its query
    // back through the scene manager it remembered.
    delete mProbe;
    mProbe = nullptr;
    // The entity and its animation states went just before.
    delete mMixer;
    mMixer = nullptr;
    mEntityNode = nullptr;
    mBodyNode = nullptr;
    mHasPlayer = false;
}

// --- input -------------------------------------------------------------------

bool PlayerScript::keyPressed(const OIS::KeyEvent& event)
{
    switch (event.key) {
    case OIS::KC_W:
    case OIS::KC_UP:
        mInput.z -= 1;
        mForward = true;
        break;
    case OIS::KC_S:
    case OIS::KC_DOWN:
        mInput.z += 1;
        mBack = true;
        break;
    case OIS::KC_A:
    case OIS::KC_LEFT:
        mInput.x -= 1;
        mLeft = true;
        break;
    case OIS::KC_D:
    case OIS::KC_RIGHT:
        mInput.x += 1;
        mRight = true;
        break;
    case OIS::KC_Q:
    case OIS::KC_PGUP:
        mInput.y += 1;
        break;
    case OIS::KC_E:
    case OIS::KC_PGDOWN:
        mInput.y -= 1;
        break;
    case OIS::KC_SPACE:
        mMaxSpeed = kRunSpeed;
        mRun = true;
        mSpeedTargetChanged = true;
        break;
    case OIS::KC_TAB:
        if (!isFrozen()) {
            mWorld->setFreeMode(!mWorld->isFreeMode());
            logLine(mWorld->isFreeMode() ? "PlayerScript: aim mode entered" : "PlayerScript: aim mode left");
        }
        break;
    case OIS::KC_5:
        mGroundFollow = !mGroundFollow;
        logLine(mGroundFollow ? "PlayerScript: ground follow on" : "PlayerScript: ground follow off");
        break;
    default:
        break;
    }
    return true;
}

bool PlayerScript::keyReleased(const OIS::KeyEvent& event)
{
    switch (event.key) {
    case OIS::KC_W:
    case OIS::KC_UP:
        mInput.z += 1;
        mForward = false;
        break;
    case OIS::KC_S:
    case OIS::KC_DOWN:
        mInput.z -= 1;
        mBack = false;
        break;
    case OIS::KC_A:
    case OIS::KC_LEFT:
        mInput.x += 1;
        mLeft = false;
        break;
    case OIS::KC_D:
    case OIS::KC_RIGHT:
        mInput.x -= 1;
        mRight = false;
        break;
    case OIS::KC_Q:
    case OIS::KC_PGUP:
        mInput.y -= 1;
        break;
    case OIS::KC_E:
    case OIS::KC_PGDOWN:
        mInput.y += 1;
        break;
    case OIS::KC_SPACE:
        mMaxSpeed = kWalkSpeed;
        mRun = false;
        mSpeedTargetChanged = true;
        break;
    default:
        break;
    }
    return true;
}

bool PlayerScript::mouseMoved(const OIS::MouseEvent& event)
{
    if (!isFrozen() && mWorld->isFreeMode()) {
        mFreeTurnAngle -= event.state.X.rel * kMouseTurnFactor;
    }
    return true;
}

bool PlayerScript::mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID id)
{
    if (id != OIS::MB_Left || isFrozen()) {
        return true;
    }
    // Weapon 0 is the bare hand: the same swing, but it lands as a strike
    // instead of letting a ball go.
    const bool melee = mWorld->getSelectedWeapon() == 0 && !mBusy;
    startAction(kThrowAnimation);
    if (melee && mBusy) {
        mMeleePending = true;
    }
    return true;
}

// --- actions -------------------------------------------------------------------

void PlayerScript::startAction(const std::string& animation)
{
    if (mBusy || !mMixer) {
        return;
    }
    if (animation.rfind(kThrowAnimation, 0) == 0) {
        mActionTime = 0;
        mThrowPending = true;
        mReleasePending = true;
    }
    mBusy = true;
    mMixer->blend(animation, AnimationMixer::kBlendWhilePlaying, kActionBlendIn, false);
    Ogre::AnimationState* target = mMixer->getTarget();
    mActionLength = target ? target->getLength() : 0;
    logLine("PlayerScript: action " + animation);
}

void PlayerScript::blendLoop(const std::string& animation, float seconds)
{
    if (!mMixer) {
        return;
    }
    mLoopAnimation = animation;
    mMixer->blend(animation, AnimationMixer::kBlendWhilePlaying, seconds, true);
}

void PlayerScript::placeAt(const Ogre::Vector3& position, const Ogre::Quaternion& orientation)
{
    mCharacter->setPosition(position);
    mCharacter->setOrientation(orientation);
    // Walking turns the body to this facing every frame: without it he
    // would snap back to the way he faced before.
    mFacing = orientation * Ogre::Vector3::NEGATIVE_UNIT_Z;
    mFacing.y = 0;
    mFacing = mFacing.isZeroLength() ? Ogre::Vector3::UNIT_X : mFacing.normalisedCopy();
    mCharacter->setFacing(mFacing);
    mSpeed.speed = 0;
    mTurn.rate = 0;
    logLine("PlayerScript: placed at " + vectorText(position));
    // A frozen hero logs no positions: without this line a reader of the
    // log would keep him where he was before the game moved him.
    writePosition();
}

void PlayerScript::endAction(float blendSeconds)
{
    if (mMixer) {
        mMixer->blend(mLoopAnimation, AnimationMixer::kBlendWhilePlaying, blendSeconds, true);
    }
    mMeleePending = false;
    mThrowPending = false;
    mReleasePending = false;
    mActionTime = 0;
    mBusy = false;
}

void PlayerScript::startWounded(float seconds)
{
    mWoundedDuration = seconds;
    mWoundedElapsed = 0;
    if (CompositorEffects* effects = mWorld->getCompositors()) {
        effects->woundedOn();
    }
}

// --- per frame -------------------------------------------------------------------

void PlayerScript::update(Ogre::FrameEvent event)
{
    const float dt = std::min(event.timeSinceLastFrame, kMaxFrameSeconds);

    if (mMixer) {
        mMixer->advance(dt);
    }
    if (mWoundedDuration < mWoundedElapsed) {
        if (CompositorEffects* effects = mWorld->getCompositors()) {
            effects->woundedOff();
        }
    }
    mWoundedElapsed += dt;

    checkGameOver();

    if (!mHasPlayer || isFrozen()) {
        mFreeVelocity = Ogre::Vector3::ZERO;
        mTurn.velocity = 0;
        mSpeed.speed = 0;
        mSpeed.target = 0;
        return;
    }

    readTriggers(dt);

    mBarEnergy = mCharacter->getHealth() / PlayerCharacter::kFullHealth;
    mBarWritten = true;
    if (GameGUI* gui = mWorld->getGui()) {
        gui->setEnergy(mBarEnergy);
    }

    mSavedPosition = mCharacter->getPosition();
    mMaxSpeed = mRun ? kRunSpeed : kWalkSpeed;

    if (!mWorld->isFreeMode()) {
        walk(dt);
    } else {
        moveFree(dt);
    }
    mCharacter->setOrientation(mBodyNode->getOrientation());

    animate(dt);
    logPosition(dt);
}

void PlayerScript::checkGameOver()
{
    // The bar this script filled last frame: an empty bar is a dead hero.
    // What the GUI itself reads back is not trusted, since a GUI without its
    // toolbar reads 0 from the start.
    if (!mBarWritten || mBarEnergy > 0) {
        return;
    }
    mWorld->endInGameOver();
}

void PlayerScript::readTriggers(float dt)
{
    FrameMessageManager* messages = mWorld->getMessages();
    auto* outro = static_cast<FrameMessageTrigger*>(messages->find(kOutroTrigger, FrameMessage::kTrigger));
    if (outro && outro->value) {
        logLine("PlayerScript: outro trigger reached");
        mWorld->startOutro();
    }

    for (const ForbiddenZone& zone : kForbiddenZones) {
        auto* message = static_cast<FrameMessageTrigger*>(messages->find(zone.trigger, FrameMessage::kTrigger));
        if (!message) {
            continue;
        }
        if (message->value) {
            if (mBlockCounter == 0 && mRefusalTimer > kRefusalPause) {
                refuse(zone.group);
                mRefusalTimer = 0;
            }
            ++mBlockCounter;
        } else {
            --mBlockCounter;
        }
    }
    if (mBlockCounter > 0) {
        mCharacter->setPosition(mSavedPosition);
    }
    mRefusalTimer += dt;
}

void PlayerScript::refuse(int group)
{
    const int pick = std::rand() % 6;
    std::string name;
    if (pick < 4) {
        name = mRefusalSounds[static_cast<size_t>(group * 4 + pick)];
    } else {
        name = mRefusalSounds[static_cast<size_t>(4 + pick)];
    }
    logLine("PlayerScript: refusal " + name);
    if (SceneLoader* loader = mWorld->getSceneLoader()) {
        if (SoundDescription* sound = loader->findSound(name)) {
            sound->play();
        }
    }
}

void PlayerScript::walk(float dt)
{
    if (mFreeModeEntered) {
        mFreeModeEntered = false;
        mFacing = mCharacter->getFacing();
        mTurn.target = 0;
        mTurn.rate = 0;
    }

    const bool wantsToMove = mForward || (mBack && mRun) || mLeft || mRight;
    mSpeed.target = wantsToMove && !mBusy ? mMaxSpeed : 0;
    if (mSpeed.target != mSpeed.previousTarget) {
        mSpeed.previousTarget = mSpeed.target;
        mSpeedTargetChanged = true;
    }

    float targetDegrees = 0;
    if (mRun && mBack && !mForward) {
        targetDegrees = mTurn.rate > 0 ? kRunBackTurn : -kRunBackTurn;
    }
    if (mForward && !mBack) {
        targetDegrees = 0;
    }
    const bool forwardOnly = mForward && !mBack;
    const bool backOnly = mBack && !mForward;
    float sideTurn = 0;
    if (mRun) {
        sideTurn = forwardOnly ? kRunTurnForward : backOnly ? kRunTurnBack : kRunTurn;
    } else {
        sideTurn = forwardOnly ? kWalkTurnForward : backOnly ? kWalkTurnBack : kWalkTurn;
    }
    if (mLeft && !mRight) {
        targetDegrees = sideTurn;
    }
    if (mRight && !mLeft) {
        targetDegrees = -sideTurn;
    }
    mTurn.target = Ogre::Degree(targetDegrees).valueRadians();

    const SubSteps steps(dt);
    for (int i = 0; i < steps.count; ++i) {
        mTurn.step(steps.seconds);
        mFacing.y = 0;
        mFacing.normalise();
        mFacing = Ogre::Quaternion(Ogre::Radian(mTurn.rate * steps.seconds), Ogre::Vector3::UNIT_Y) * mFacing;

        mSpeed.step(steps.seconds);
        const float stride = mSpeed.speed * steps.seconds;
        moveTo(mCharacter->getPosition() + mFacing * stride, steps.frameShare());
    }

    mBodyNode->setOrientation(Ogre::Quaternion::IDENTITY);
    mBodyNode->setDirection(mFacing, Ogre::Node::TS_LOCAL, Ogre::Vector3::NEGATIVE_UNIT_Z);
    mCharacter->setFacing(mFacing);
}

void PlayerScript::moveFree(float dt)
{
    if (!mFreeModeEntered) {
        mFreeModeEntered = true;
        mFreeVelocity = Ogre::Vector3::ZERO;
        mFreeTurnAngle = 0;
    }

    const SubSteps steps(dt);
    bool moving = false;
    for (int i = 0; i < steps.count; ++i) {
        const Ogre::Quaternion turn(Ogre::Degree(mFreeTurnAngle * steps.frameShare()), Ogre::Vector3::UNIT_Y);
        const Ogre::Quaternion orientation = mCharacter->getOrientation() * turn;
        mCharacter->setOrientation(orientation);
        mCharacter->setFacing(-(orientation * Ogre::Vector3::UNIT_Z));
        mFreeTurnAngle *= std::pow(kFreeTurnFadePerSecond, steps.seconds);

        for (int axis = 0; axis < 3; ++axis) {
            float& velocity = mFreeVelocity[axis];
            const float input = mInput[axis];
            if (std::fabs(velocity) < mMaxSpeed) {
                velocity += input * steps.seconds * kFreeAcceleration;
            }
            if (std::fabs(velocity) > std::fabs(mMaxSpeed * input)) {
                velocity *= std::pow(kFreeBrakePerSecond, steps.seconds);
            }
        }
        moving = std::fabs(mFreeVelocity.x) > kFreeMovingSpeed || std::fabs(mFreeVelocity.y) > kFreeMovingSpeed ||
                 std::fabs(mFreeVelocity.z) > kFreeMovingSpeed;
        moveTo(mCharacter->getPosition() + orientation * mFreeVelocity * steps.seconds, steps.frameShare());
    }
    mFacing = mCharacter->getFacing();

    // Only the animation reads these in free mode.
    mSpeed.speed = moving ? 1.0f : 0.0f;
    mTurn.velocity = moving ? 1.0f : 0.0f;
}

void PlayerScript::moveTo(Ogre::Vector3 candidate, float frameShare)
{
    const Ogre::Vector3 current = mCharacter->getPosition();
    if (!mGroundFollow) {
        // Free flight: no collision, and Q / E lift and lower the hero by a
        // fixed rise per (sixtieth of a second) frame.
        candidate.y += mInput.y * kFreeFlightRise * frameShare;
        mCharacter->setPosition(candidate);
        return;
    }

    mProbe->probe(candidate);
    if (mProbe->getDistancePositiveX() <= 0) {
        candidate.x += mProbe->getDistancePositiveX();
    }
    if (mProbe->getDistanceNegativeX() <= 0) {
        candidate.x -= mProbe->getDistanceNegativeX();
    }
    if (mProbe->getDistancePositiveZ() <= 0) {
        candidate.z += mProbe->getDistancePositiveZ();
    }
    if (mProbe->getDistanceNegativeZ() <= 0) {
        candidate.z -= mProbe->getDistanceNegativeZ();
    }

    Ogre::Vector3 chosen = current;
    Ogre::Vector3 ground;
    if (mTerrain->pointBelow(candidate, ground) && ground.y - current.y <= kStepHeight) {
        chosen = candidate;
    }
    if (mTerrain->pointBelow(chosen, ground)) {
        mCharacter->setPosition(ground);
    }
}

void PlayerScript::animate(float dt)
{
    if (mBusy) {
        FrameMessageManager* messages = mWorld->getMessages();
        const int weapon = mWorld->getSelectedWeapon();
        if (weapon == 1 || weapon == 2) {
            if (mThrowPending && mActionTime > mActionLength * kThrowAppears) {
                messages->post(new FrameMessageTrigger(kThrowMessage, true, false));
                mThrowPending = false;
            }
            if (mReleasePending && mActionTime > mActionLength * kThrowReleases) {
                messages->post(new FrameMessageTrigger(kThrowMessage, false, false));
                mReleasePending = false;
            }
            if (mActionTime > mActionLength * kThrowEnds) {
                endAction(kThrowBlendOut);
            } else {
                mActionTime += dt;
            }
        } else if (weapon == 0) {
            if (mMeleePending && mActionTime > mActionLength * kStrikeLands) {
                messages->post(new FrameMessageTrigger(kAttackMessage, true, false));
                mMeleePending = false;
                logLine("PlayerScript: strike");
            }
            if (mActionTime > mActionLength * kStrikeLands) {
                endAction(kStrikeBlendOut);
            } else {
                mActionTime += dt;
            }
        } else {
            endAction(kStrikeBlendOut);
        }
        return;
    }

    const bool moving = mSpeed.speed > kMovingSpeed || mTurn.velocity > kMovingTurn;
    if (moving) {
        if (mSpeedTargetChanged) {
            mWasMoving = true;
            const bool walking = mSpeed.target <= kWalkSpeed;
            const int gait = walking ? kWalk : kRun;
            mLoopAnimation = walking ? kWalkAnimation : kRunAnimation;
            if (gait != mGait) {
                mGait = gait;
                if (mMixer) {
                    mMixer->blend(mLoopAnimation, AnimationMixer::kBlendWhilePlaying, kGaitBlend, true);
                }
                logLine("PlayerScript: gait " + mLoopAnimation);
            }
            mSpeedTargetChanged = false;
        }
        return;
    }

    mGait = kIdle;
    if (mWasMoving) {
        mSpeedTargetChanged = true;
        mLoopAnimation = kIdleAnimation;
        if (mMixer) {
            mMixer->blend(mLoopAnimation, AnimationMixer::kBlendWhilePlaying, kGaitBlend, true);
        }
        logLine("PlayerScript: gait all_idle");
        mWasMoving = false;
    }
}

void PlayerScript::logPosition(float dt)
{
    mPositionLogTimer += dt;
    const float walked = mCharacter->getPosition().distance(mLoggedPosition);
    const float turned = std::fabs(std::remainder(headingDegrees(mCharacter->getFacing()) - mLoggedHeading, 360.0f));
    if (mPositionLogTimer < kPositionLogSeconds && walked < kPositionLogDistance && turned < kPositionLogDegrees) {
        return;
    }
    writePosition();
}

void PlayerScript::writePosition()
{
    mPositionLogTimer = 0;
    mLoggedPosition = mCharacter->getPosition();
    mLoggedHeading = headingDegrees(mCharacter->getFacing());
    char heading[32];
    std::snprintf(heading, sizeof(heading), " heading %.1f", mLoggedHeading);
    logLine("PlayerScript: hero at " + vectorText(mLoggedPosition) + heading);
}

} // namespace Kelvo
