#include "scripts/CameraScript.h"

#include "app/Application.h"
#include "effects/CineFader.h"
#include "effects/CompositorEffects.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "platform/Log.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/PlayerCharacter.h"
#include "world/PlayerMesh.h"
#include "world/TerrainProbe.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreOverlay.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

namespace Kelvo {

const char* const CameraScript::kListenerName = "CameraScript";
const char* const CameraScript::kCutScene1 = "CutScene1";
const char* const CameraScript::kCutScene2 = "CutScene2";

namespace {

const char* const kCutSceneNodeName = "CUTSCENE_CAM";
const char* const kDummyNodeName = "MAIN_CAMERA_DUMMY";
const char* const kMainNodeName = "MAIN_CAMERA";
const char* const kCrosshairName = "Kelvo/CrossHair";
const char* const kSpiderTrigger = "spider_eingang";
const char* const kCutScene1Sound = "CutSceneSound1";
const char* const kCutScene2Sound = "outro_sound";

const Ogre::Vector3 kOverheadPosition(0, 2000, 0);
const float kArrivalDistance = 2.5f;
const float kFlyInSpeed = 0.8f;
const float kAimPitchSpeed = 80.0f;
const float kAimPitchFadePerSecond = 0.0000001f;
const float kOrbitFadePerSecond = 0.0001f;
const float kTerrainRayHeight = 10.0f;

// The first cut-scene's effects by its clock: the vision inverts, then the
// flight blurs.
const float kInvertFrom = 12.4f;
const float kInvertUntil = 14.6f;
const float kEffectsQuietUntil = 21.5f;
const float kMotionBlurUntil = 27.7f;

struct KeyFrame {
    float time;
    Ogre::Vector3 position;
    // w, x, y, z
    Ogre::Quaternion orientation;
};

// The flight over the spider valley. Its first and last key frames are the
// play camera's pose at the start.
const float kCutScene1Length = 46.81f;
const KeyFrame kCutScene1Frames[] = {
    {6.26f, {-82.2338f, 99.2625f, -302.653f}, {0.936663f, -0.156743f, -0.308865f, -0.0516863f}},
    {7.84762f, {81.2668f, 52.5762f, -505.015f}, {0.882633f, -0.0231125f, -0.469305f, -0.0122891f}},
    {9.43524f, {270.626f, 51.4394f, -548.605f}, {0.73726f, 0.00321699f, -0.675574f, 0.00294783f}},
    {11.0229f, {424.544f, 54.7272f, -551.054f}, {0.483137f, -0.0401455f, -0.871602f, -0.0724245f}},
    {12.6105f, {481.649f, 42.9606f, -482.462f}, {0.275255f, -0.0144255f, -0.959929f, -0.0503077f}},
    {14.1981f, {492.295f, 41.6679f, -431.587f}, {0.165044f, 1.40646e-08f, -0.986268f, 8.40467e-08f}},
    {15.7857f, {463.867f, 57.3758f, -352.644f}, {-0.368996f, -0.033906f, -0.924896f, 0.0849861f}},
    {17.3733f, {410.396f, 67.2734f, -329.342f}, {-0.691079f, 0.024133f, -0.721909f, -0.0252096f}},
    {18.961f, {268.066f, 54.5929f, -302.415f}, {-0.654991f, 0.037193f, -0.75348f, -0.0427856f}},
    {20.5486f, {177.373f, 51.3524f, -262.275f}, {-0.308258f, 0.0215555f, -0.948719f, -0.0663408f}},
    {22.1362f, {157.266f, 47.4296f, -230.458f}, {-4.9425e-07f, 3.45613e-08f, -0.997541f, -0.0697548f}},
    {23.7238f, {139.799f, 45.7179f, -213.518f}, {0.364955f, -0.0335346f, -0.926492f, -0.0851326f}},
    {25.3114f, {143.418f, 45.7179f, -163.523f}, {0.949303f, -0.0914074f, -0.299314f, -0.0288207f}},
    {26.899f, {187.795f, 45.7179f, -162.662f}, {0.921995f, -0.0806641f, 0.377198f, 0.0330005f}},
    {28.4867f, {211.026f, 45.7179f, -186.781f}, {0.995943f, -0.0783823f, 0.0434837f, 0.00342224f}},
    {30.0743f, {226.033f, 42.3885f, -253.829f}, {0.975307f, -0.00425554f, -0.22069f, -0.000962931f}},
    {31.6619f, {336.395f, 45.0426f, -340.673f}, {0.890949f, 0.00777525f, -0.453961f, 0.00396169f}},
    {33.2495f, {389.449f, 50.5677f, -330.633f}, {0.865597f, -0.0264463f, -0.499753f, -0.0152688f}},
    {34.8371f, {504.554f, 47.5032f, -436.118f}, {0.857109f, -0.00747985f, 0.515003f, 0.00449434f}},
    {36.4248f, {254.58f, 54.1853f, -511.3f}, {0.746035f, 3.23087e-08f, 0.665862f, -2.88366e-08f}},
    {38.0124f, {100.049f, 55.0867f, -484.803f}, {0.438341f, -0.00382533f, 0.898733f, 0.00784308f}},
    {39.6f, {-34.004f, 50.6631f, -349.308f}, {0.341892f, -0.00895275f, 0.939341f, 0.0245975f}},
};

// The outro: from the play camera out over the bay to the ship. It ends on
// its last key frame; the play state's outro pictures take over from there.
const float kCutScene2Length = 13.5f;
const KeyFrame kCutScene2Frames[] = {
    {1.92857f, {-403.918f, 45.4738f, 486.573f}, {0.562716f, -0.00982227f, 0.82646f, 0.0144259f}},
    {3.85714f, {-450.573f, 44.3665f, 502.998f}, {0.591301f, -0.00258007f, 0.806433f, 0.00351878f}},
    {5.78571f, {-504.994f, 44.0873f, 520.136f}, {0.321326f, -0.00841424f, 0.946599f, 0.0247876f}},
    {7.71429f, {-544.47f, 49.1589f, 505.163f}, {-0.210239f, 0.0286122f, 0.968297f, 0.131779f}},
    {9.64286f, {-574.101f, 54.3333f, 540.701f}, {-0.703543f, 0.070843f, 0.703542f, 0.0708429f}},
    {11.5714f, {-602.067f, 60.5315f, 562.215f}, {-0.811312f, 0.0674148f, 0.578702f, 0.0480864f}},
    {13.5f, {-592.342f, 75.7872f, 603.493f}, {-0.898018f, 0.122215f, 0.418752f, 0.0569896f}},
};

// The old man's two dialogue shots.
const Ogre::Vector3 kDialogue1Position(-281.389f, 44.0376f, -30.2306f);
const Ogre::Quaternion kDialogue1Orientation(-0.78f, 0.158693f, -0.593125f, -0.120673f);
const Ogre::Vector3 kDialogue2Position(360.178f, 44.6534f, 214.641f);
const Ogre::Quaternion kDialogue2Orientation(0.891073f, -0.165151f, 0.415513f, 0.0770107f);

} // namespace

CameraScript::CameraScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
{
    listenToInput(this, kListenerName);
    mSceneManager = world->getSceneManager();
    mTerrain = world->getTerrainProbe();
    mFader = world->getCineFader();
    if (Application* application = world->getApplication()) {
        mCrosshair = application->findOverlay(kCrosshairName);
    }
    if (!mSceneManager) {
        logWarning("CameraScript: no scene manager");
        return;
    }

    mCutSceneNode = findOrCreateNode(kCutSceneNodeName);
    mCutSceneNode->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    mDummyNode = findOrCreateNode(kDummyNodeName);
    mMainNode = findOrCreateNode(kMainNodeName);

    MeshManager* meshes = world->getMeshes();
    mHero = meshes ? dynamic_cast<PlayerMesh*>(meshes->find(MeshManager::kPlayerKey)) : nullptr;
    Ogre::Entity* heroEntity = mHero ? mHero->getEntity() : nullptr;
    mHeroNode = heroEntity ? heroEntity->getParentSceneNode() : nullptr;
    if (!mHeroNode) {
        mHero = nullptr;
        // Nothing to follow: look straight down on the island from high up.
        for (Ogre::SceneNode* node : {mDummyNode, mMainNode}) {
            node->setPosition(kOverheadPosition);
            node->setOrientation(Ogre::Quaternion::IDENTITY);
            node->pitch(Ogre::Degree(-90));
        }
        mCameraPosition = kOverheadPosition;
        logLine("CameraScript: no hero, overhead camera");
        return;
    }

    mTarget = world->getPlayer()->getPosition() + Ogre::Vector3(0, kHeadHeight, 0);
    mPreviousTarget = mTarget;
    mCameraPosition = mTarget + Ogre::Vector3(-kFollowDistance, kHeadHeight, 0);
    mDummyPosition = mCameraPosition;
    mDummyNode->setPosition(mDummyPosition);
    mMainNode->setPosition(mCameraPosition);
    mDummyNode->setAutoTracking(true, mHeroNode, Ogre::Vector3::NEGATIVE_UNIT_Z, Ogre::Vector3(0, kHeadHeight, 0));
    mDummyNode->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    mMainNode->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    setTracking(true);
}

CameraScript::~CameraScript() = default;

Ogre::SceneNode* CameraScript::findOrCreateNode(const std::string& name)
{
    if (mSceneManager->hasSceneNode(name)) {
        return mSceneManager->getSceneNode(name);
    }
    return mSceneManager->getRootSceneNode()->createChildSceneNode(name, Ogre::Vector3::ZERO,
                                                                   Ogre::Quaternion::IDENTITY);
}

// --- input -------------------------------------------------------------------

bool CameraScript::mouseMoved(const OIS::MouseEvent& event)
{
    if (isFrozen()) {
        return true;
    }
    if (mWorld->isFreeMode()) {
        mAimPitchRate -= event.state.Y.rel * kVerticalMouseFactor;
    } else {
        mMousePitchOffset += event.state.Y.rel * kVerticalMouseFactor;
        mOrbitYawRate -= event.state.X.rel * kHorizontalMouseFactor;
    }
    return true;
}

// --- per frame -------------------------------------------------------------------

void CameraScript::update(Ogre::FrameEvent event)
{
    if (!mHero || isFrozen()) {
        return;
    }

    if (mCutScene1Running) {
        runCutScene1(event.timeSinceLastFrame);
    } else {
        auto* spider = static_cast<FrameMessageTrigger*>(
            mWorld->getMessages()->find(kSpiderTrigger, FrameMessage::kTrigger));
        if (spider && spider->value && !mSpiderCutScenePlayed) {
            startCutScene1(true);
            mSpiderCutScenePlayed = true;
        }

        const float dt = std::min(event.timeSinceLastFrame, kMaxFrameSeconds);
        mPreviousTarget = mTarget;
        mTarget = mWorld->getPlayer()->getPosition() + Ogre::Vector3(0, kHeadHeight, 0);
        if (mWorld->isFreeMode()) {
            aim(dt);
        } else {
            follow(dt);
        }
    }

    mMainNode->setPosition(mCameraPosition);
    mWorld->setName(vectorText(mCameraPosition, NumberStyle::SixSignificant));
    stepFader(event);
}

void CameraScript::runCutScene1(float dt)
{
    if (!mCutScene1State) {
        return;
    }
    mCutScene1State->addTime(dt);
    const float t = mCutScene1State->getTimePosition();
    CompositorEffects* effects = mWorld->getCompositors();
    if (t >= kInvertFrom && t < kInvertUntil) {
        if (effects) {
            effects->invertOn();
        }
    } else if (t < kEffectsQuietUntil) {
        if (effects) {
            effects->invertOff();
        }
    } else if (t < kMotionBlurUntil) {
        if (effects) {
            effects->motionBlurOn();
        }
    } else if (t < mCutScene1State->getLength()) {
        if (effects) {
            effects->motionBlurOff();
        }
    } else {
        if (effects) {
            effects->invertOff();
            effects->motionBlurOff();
        }
        startCutScene1(false);
    }
}

void CameraScript::aim(float dt)
{
    if (!mInAim) {
        mInAim = true;
        mFlyInStart = mCameraPosition.distance(mTarget);
        mFlyInRemaining = mFlyInStart;
        mAimPitch = 0;
        mAimPitchRate = 0;
    }
    const float distance = mCameraPosition.distance(mTarget);
    const SubSteps steps(dt);

    if (!mArrived && distance > kArrivalDistance) {
        Ogre::Vector3 away = mCameraPosition - mTarget;
        away.normalise();
        float current = distance;
        for (int i = 0; i < steps.count && current > kArrivalDistance; ++i) {
            const float r = mFlyInStart > 0 ? current / mFlyInStart : 0;
            mFlyInRemaining -= (2 - 5 * (r - 0.5f) * (r - 0.5f)) * steps.seconds * mFlyInStart * kFlyInSpeed;
            // A long fly-in must not shoot through the hero to his far side.
            mFlyInRemaining = std::max(mFlyInRemaining, 0.0f);
            current = mFlyInRemaining;
        }
        mCameraPosition = mTarget + away * mFlyInRemaining;
        return;
    }

    if (!mArrived) {
        mArrived = true;
        // The camera sits in the hero's head: tracking the head point from
        // there would turn it towards a rounding error.
        setTracking(false);
        logLine("CameraScript: aim camera arrived");
    }
    mCameraPosition = mTarget;
    mMainNode->setOrientation(mWorld->getPlayer()->getOrientation());
    for (int i = 0; i < steps.count; ++i) {
        const float pitch = mAimPitch + mAimPitchRate * steps.seconds * kAimPitchSpeed;
        if (std::fabs(pitch) < kMaxPitchDegrees) {
            mAimPitch = pitch;
        }
        mAimPitchRate *= std::pow(kAimPitchFadePerSecond, steps.seconds);
    }
    mMainNode->pitch(Ogre::Degree(mAimPitch), Ogre::Node::TS_LOCAL);
    showCrosshair(mCrosshairWanted);
}

void CameraScript::follow(float dt)
{
    if (mInAim) {
        const Ogre::Vector3 behind = mTarget - mWorld->getPlayer()->getFacing();
        mDummyPosition = behind;
        mCameraPosition = behind;
        mInAim = false;
        mArrived = false;
        setTracking(true);
    }
    showCrosshair(false);

    // The hero moved during the frame: each step follows him part of the
    // way, as a frame of that length would.
    const SubSteps steps(dt);
    const Ogre::Vector3 from = mPreviousTarget;
    const Ogre::Real maxPitch = Ogre::Degree(kMaxPitchDegrees).valueRadians();
    float distance = kFollowDistance;
    for (int i = 0; i < steps.count; ++i) {
        const Ogre::Vector3 target = from + (mTarget - from) * (static_cast<float>(i + 1) / steps.count);

        Ogre::Vector3 fromTarget = mDummyPosition - target;
        distance = fromTarget.length();
        if (distance == 0) {
            distance = 0.1f;
            fromTarget = -mWorld->getPlayer()->getFacing();
        }
        fromTarget.normalise();
        distance = mDistance.step(distance, steps.seconds);
        mDummyPosition = target + fromTarget * distance;
        mDummyPosition.y = target.y;

        Ogre::Vector3 direction = mCameraPosition - target;
        if (direction.isZeroLength()) {
            direction = -mWorld->getPlayer()->getFacing();
        }
        direction.normalise();
        direction = Ogre::Quaternion(Ogre::Degree(mOrbitYawRate * steps.frameShare()), Ogre::Vector3::UNIT_Y) *
                    direction;
        Ogre::Real elevation = std::asin(Ogre::Math::Clamp<Ogre::Real>(direction.y, -1, 1));
        Ogre::Vector3 horizontal(direction.x, 0, direction.z);
        if (horizontal.isZeroLength()) {
            horizontal = -mWorld->getPlayer()->getFacing();
            horizontal.y = 0;
        }
        horizontal.normalise();
        elevation += Ogre::Degree(mMousePitchOffset * steps.frameShare()).valueRadians();
        elevation = Ogre::Math::Clamp(elevation, -maxPitch, maxPitch);
        direction = Ogre::Vector3(horizontal.x * std::cos(elevation), std::sin(elevation),
                                  horizontal.z * std::cos(elevation));
        mCameraPosition = target + direction * distance;

        const Ogre::Real fade = std::pow(kOrbitFadePerSecond, steps.seconds);
        mOrbitYawRate *= fade;
        mMousePitchOffset *= fade;
    }
    mDummyNode->setPosition(mDummyPosition);
    keepAboveTerrain(distance);
}

void CameraScript::keepAboveTerrain(float distance)
{
    Ogre::Vector3 ground;
    if (!terrainBelowCamera(ground) || mCameraPosition.y >= ground.y + kAboveTerrain) {
        return;
    }
    if (ground.y <= mTarget.y) {
        mCameraPosition = ground + Ogre::Vector3(0, kAboveTerrain, 0);
        return;
    }
    // Ground higher than the hero's head: lift the camera on its orbit until
    // the head sees over it.
    Ogre::Vector3 horizontal(mCameraPosition.x - mTarget.x, 0, mCameraPosition.z - mTarget.z);
    const Ogre::Real reach = horizontal.length();
    if (reach == 0) {
        mCameraPosition = ground + Ogre::Vector3(0, kAboveTerrain, 0);
        return;
    }
    horizontal /= reach;
    const Ogre::Real elevation = std::atan2(ground.y - mTarget.y, reach);
    mCameraPosition = mTarget + Ogre::Vector3(horizontal.x * std::cos(elevation), std::sin(elevation),
                                              horizontal.z * std::cos(elevation)) *
                                    distance;
    // Lifted on its orbit the camera also comes closer, and where the ground
    // rises towards the hero (a cliff at his back) it can still be inside it
    // there.
    if (terrainBelowCamera(ground) && mCameraPosition.y < ground.y + kAboveTerrain) {
        mCameraPosition.y = ground.y + kAboveTerrain;
    }
}

bool CameraScript::terrainBelowCamera(Ogre::Vector3& ground)
{
    return mTerrain->pointBelow(mCameraPosition, ground, kTerrainRayHeight);
}

void CameraScript::stepFader(const Ogre::FrameEvent& event)
{
    if (!mFader) {
        mFadeInPending = false;
        mFadeOutPending = false;
        return;
    }
    if (mFadeInPending && mFader->showBars(event) >= 1) {
        mFader->reset();
        mFadeInPending = false;
    }
    if (mFadeOutPending && mFader->hideBars(event) <= 0) {
        mFader->reset();
        mFadeOutPending = false;
    }
}

// --- cut-scenes -------------------------------------------------------------------

Ogre::AnimationState* CameraScript::buildCutScene(const std::string& name)
{
    if (mSceneManager->hasAnimationState(name)) {
        mSceneManager->destroyAnimationState(name);
    }
    if (mSceneManager->hasAnimation(name)) {
        mSceneManager->destroyAnimation(name);
    }
    const bool first = name == kCutScene1;
    const float length = first ? kCutScene1Length : kCutScene2Length;
    Ogre::Animation* animation = mSceneManager->createAnimation(name, length);
    animation->setInterpolationMode(Ogre::Animation::IM_SPLINE);
    animation->setRotationInterpolationMode(Ogre::Animation::RIM_LINEAR);
    Ogre::NodeAnimationTrack* track = animation->createNodeTrack(0, mCutSceneNode);

    const Ogre::Vector3 startPosition = mMainNode->getPosition();
    const Ogre::Quaternion startOrientation = mMainNode->getOrientation();
    auto addKey = [track](float time, const Ogre::Vector3& position, const Ogre::Quaternion& orientation) {
        Ogre::TransformKeyFrame* key = track->createNodeKeyFrame(time);
        key->setTranslate(position);
        key->setRotation(orientation);
    };
    addKey(0, startPosition, startOrientation);
    if (first) {
        for (const KeyFrame& frame : kCutScene1Frames) {
            addKey(frame.time, frame.position, frame.orientation);
        }
        // The flight comes home to where it left.
        addKey(kCutScene1Length, startPosition, startOrientation);
    } else {
        for (const KeyFrame& frame : kCutScene2Frames) {
            addKey(frame.time, frame.position, frame.orientation);
        }
    }
    // The track moves the node relative to its initial state: that must be
    // the origin, whatever a dialogue shot left there.
    mCutSceneNode->setPosition(Ogre::Vector3::ZERO);
    mCutSceneNode->setOrientation(Ogre::Quaternion::IDENTITY);
    mCutSceneNode->setInitialState();

    Ogre::AnimationState* state = mSceneManager->createAnimationState(name);
    state->setLoop(false);
    return state;
}

void CameraScript::playSound(const char* name, bool play)
{
    SceneLoader* loader = mWorld->getSceneLoader();
    SoundDescription* sound = loader ? loader->findSound(name) : nullptr;
    if (!sound) {
        return;
    }
    if (play) {
        sound->play();
    } else {
        sound->stop();
    }
}

void CameraScript::startCutScene1(bool on)
{
    if (!mSceneManager || on == mCutScene1Running) {
        return;
    }
    if (on) {
        if (mCrosshairWanted) {
            showCrosshair(false);
        }
        putCameraOn(true);
        mCutScene1Running = true;
        mCutScene1State = buildCutScene(kCutScene1);
        mCutScene1State->setEnabled(true);
        playSound(kCutScene1Sound, true);
        mFadeInPending = true;
        logLine("CameraScript: CutScene1 started");
        return;
    }
    mCutScene1Running = false;
    if (mCutScene1State) {
        mCutScene1State->setEnabled(false);
        mCutScene1State->setTimePosition(0);
    }
    if (CompositorEffects* effects = mWorld->getCompositors()) {
        effects->invertOff();
        effects->motionBlurOff();
    }
    playSound(kCutScene1Sound, false);
    putCameraOn(false);
    // Bars still coming in go out from where they are.
    mFadeInPending = false;
    mFadeOutPending = true;
    if (mCrosshairWanted && mWorld->isFreeMode()) {
        showCrosshair(true);
    }
    logLine("CameraScript: CutScene1 stopped");
}

void CameraScript::startCutScene2(bool on)
{
    if (!mSceneManager || on == mCutScene2Running) {
        return;
    }
    if (on) {
        showCrosshair(false);
        putCameraOn(true);
        mCutScene2Running = true;
        mCutScene2State = buildCutScene(kCutScene2);
        mCutScene2State->setEnabled(true);
        playSound(kCutScene2Sound, true);
        mFadeInPending = true;
        logLine("CameraScript: CutScene2 started");
        return;
    }
    mCutScene2Running = false;
    if (mCutScene2State) {
        mCutScene2State->setEnabled(false);
        mCutScene2State->setTimePosition(0);
    }
    playSound(kCutScene2Sound, false);
    putCameraOn(false);
    mFadeInPending = false;
    mFadeOutPending = true;
    if (mCrosshairWanted && mWorld->isFreeMode()) {
        showCrosshair(true);
    }
    logLine("CameraScript: CutScene2 stopped");
}

void CameraScript::swapCamera()
{
    putCameraOn(!mOnCutSceneNode);
}

void CameraScript::putCameraOn(bool cutSceneNode)
{
    Ogre::Camera* camera = mWorld->getCamera();
    Ogre::SceneNode* to = cutSceneNode ? mCutSceneNode : mMainNode;
    mOnCutSceneNode = cutSceneNode;
    if (!camera || !to || camera->getParentSceneNode() == to) {
        return;
    }
    if (Ogre::SceneNode* from = camera->getParentSceneNode()) {
        from->detachObject(camera);
    }
    to->attachObject(camera);
    // The engine still keeps an orientation of the camera's own on top of
    // its node's; a turn left there by anyone would skew both views.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    camera->setOrientation(Ogre::Quaternion::IDENTITY);
#pragma GCC diagnostic pop
}

void CameraScript::showDialogueShot1()
{
    if (!mCutSceneNode) {
        return;
    }
    putCameraOn(true);
    mCutSceneNode->setPosition(kDialogue1Position);
    mCutSceneNode->setOrientation(kDialogue1Orientation);
}

void CameraScript::showDialogueShot2()
{
    if (!mCutSceneNode) {
        return;
    }
    mCutSceneNode->setPosition(kDialogue2Position);
    mCutSceneNode->setOrientation(kDialogue2Orientation);
}

// --- crosshair and tracking ---------------------------------------------------------

void CameraScript::setCrosshairWanted(bool wanted)
{
    mCrosshairWanted = wanted;
    showCrosshair(wanted);
}

void CameraScript::showCrosshair(bool shown)
{
    if (shown == mCrosshairShown) {
        return;
    }
    mCrosshairShown = shown;
    if (mCrosshair) {
        if (shown) {
            mCrosshair->show();
        } else {
            mCrosshair->hide();
        }
    }
    logLine(shown ? "CameraScript: crosshair shown" : "CameraScript: crosshair hidden");
}

void CameraScript::setTracking(bool on)
{
    if (!mMainNode || !mHeroNode || on == mTracking) {
        return;
    }
    mTracking = on;
    if (on) {
        mMainNode->setAutoTracking(true, mHeroNode, Ogre::Vector3::NEGATIVE_UNIT_Z,
                                   Ogre::Vector3(0, kHeadHeight, 0));
    } else {
        mMainNode->setAutoTracking(false);
    }
}

} // namespace Kelvo
